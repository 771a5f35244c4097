// Commands of the audio tools that work on WAV files alone: their layout and the vocal remover.

#include "audiotools/VocalRemover.h"
#include "audiotools/WaveFile.h"
#include "cli/CliCommand.h"
#include "cli/PassesOption.h"

namespace {

// Prints the WaveErrors class name as JSON and fails naming the file.
[[noreturn]] void failWave(const std::string& path, const std::string& errorName) {
    CliContext::printJson({{"error", errorName}});
    throw CliFailure(path + ": not a usable WAV file (" + errorName + "), left unchanged");
}

int wavInfo(const std::vector<std::string>& raw, CliContext&) {
    const CliArgs args(raw, {}, {});
    args.expectPositionals(1, 1);
    const std::string& path = args.positional(0, "FILE");
    nlohmann::json info;
    std::string errorName;
    const bool opened = catchWaveErrors(
        [&] {
            const WaveFile wave(path);
            info = {{"dataOffset", wave.dataOffset()}, {"dataBytes", wave.sampleBytes()}};
        },
        &errorName);
    if (!opened) {
        failWave(path, errorName);
    }
    CliContext::printJson(info);
    return 0;
}

int removeVocals(const std::vector<std::string>& raw, CliContext&) {
    const CliArgs args(raw, {"--passes"}, {});
    args.expectPositionals(1, 1);
    const std::string& path = args.positional(0, "FILE.wav");
    const int passes = passesOption(args);
    std::string errorName;
    if (!VocalRemover().RemoveVocals(path, passes, &errorName)) {
        failWave(path, errorName);
    }
    return 0;
}

const CliRegistration kWavInfo({"wav-info", "FILE",
                                "Prints where a WAV file's samples start and how many bytes "
                                "they take, as the vocal remover sees them.",
                                wavInfo});
const CliRegistration kRemoveVocals({"remove-vocals", "FILE.wav [--passes P]",
                                     "Removes the centre voice of a 16-bit stereo WAV file in "
                                     "place, smoothing P times (default 2).",
                                     removeVocals});

}  // namespace
