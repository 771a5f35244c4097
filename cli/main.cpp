// vocalia-cli: the core commands; every other command runs in vocalia-cli-media, which this
// program hands the command line to.

#include "cli/CliProgram.h"
#include "cli/MediaHandOff.h"

DurationProbe otherSongFilesProbe() {
    return [](const std::string& path) -> int {
        throw CliNeedsMedia(path + " is measured by the media engine");
    };
}

int main(int argc, char** argv) {
    return runCommandLine(argc, argv, handToMediaProgram);
}
