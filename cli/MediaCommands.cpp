// Commands of the media engine: measuring, playing, the live microphone monitor, recording.

#include <iostream>

#include "cli/CliCommand.h"
#include "media/MediaProbe.h"

namespace {

int probe(const std::vector<std::string>& raw, CliContext&) {
    const CliArgs args(raw, {}, {});
    args.expectPositionals(1, 1);
    const std::string& file = args.positional(0, "FILE");
    const auto seconds = probeDurationSeconds(file);
    if (!seconds) {
        throw CliFailure(file + ": cannot open the media file");
    }
    CliContext::printJson({{"durationSeconds", *seconds}});
    return 0;
}

const CliRegistration kProbe({"probe", "FILE",
                              "Prints the length of a media file in whole seconds as the song "
                              "list measures it (0 when it cannot be measured).",
                              probe});

}  // namespace
