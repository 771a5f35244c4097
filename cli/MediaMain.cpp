// vocalia-cli-media: every command of vocalia-cli, the media ones included. vocalia-cli starts
// it in its own place for the commands it does not have.

#include "cli/CliProgram.h"
#include "media/MediaProbe.h"

DurationProbe otherSongFilesProbe() {
    return [](const std::string& path) { return probeDurationSeconds(path).value_or(0); };
}

int main(int argc, char** argv) {
    return runCommandLine(argc, argv, nullptr);
}
