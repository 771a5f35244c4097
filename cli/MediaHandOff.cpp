#include "cli/MediaHandOff.h"

#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iostream>

#include "shell/ProgramFolder.h"

namespace {

constexpr const char* kMediaProgram = "vocalia-cli-media";

}  // namespace

std::vector<std::string> mediaProgramCandidates() {
    const std::string folder = ProgramFolder::executableFolder();
    const std::filesystem::path installed =
        std::filesystem::path(folder + VOCALIA_LIBEXEC_FROM_BIN) / kMediaProgram;
    return {folder + kMediaProgram, installed.lexically_normal().string()};
}

int handToMediaProgram(char** argv, const std::string& homeOption, const std::string& command) {
    // The media program may live in another folder, where it would resolve another program
    // folder: it gets the one this program resolves.
    if (homeOption.empty() && !std::getenv(ProgramFolder::HomeEnvironmentVariable)) {
        setenv(ProgramFolder::HomeEnvironmentVariable, ProgramFolder::resolve("").c_str(), 1);
    }
    std::cout.flush();
    const std::vector<std::string> candidates = mediaProgramCandidates();
    for (const std::string& path : candidates) {
        execv(path.c_str(), argv);
        if (errno != ENOENT) {
            std::cerr << "vocalia-cli: " << command << " needs " << path
                      << ", which cannot be started: " << std::strerror(errno) << "\n";
            return 1;
        }
    }
    std::cerr << "vocalia-cli: " << command << " needs " << kMediaProgram
              << ", which is missing: neither " << candidates.front() << " nor "
              << candidates.back() << " exists\n";
    return 1;
}
