#include "cli/ToneOptions.h"

#include "media/ToneStage.h"

int keyOption(const CliArgs& args) {
    const long long semitones = args.number("--key", 0);
    if (semitones < PlaybackTone::kMinKey || semitones > PlaybackTone::kMaxKey) {
        throw CliUsageError("--key must be a whole number of semitones from -6 to 6");
    }
    return static_cast<int>(semitones);
}

int tempoOption(const CliArgs& args) {
    const long long percent = args.number("--tempo", PlaybackTone::kOriginalTempo);
    if (percent < PlaybackTone::kMinTempo || percent > PlaybackTone::kMaxTempo ||
        !PlaybackTone::validTempo(static_cast<int>(percent))) {
        throw CliUsageError("--tempo must be a percentage from 80 to 120 in steps of 5");
    }
    return static_cast<int>(percent);
}
