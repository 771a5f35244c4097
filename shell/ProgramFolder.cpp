#include "shell/ProgramFolder.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "shell/Settings.h"

namespace fs = std::filesystem;

namespace {

std::string withSlash(std::string folder) {
    if (folder.empty() || folder.back() != '/') {
        folder += '/';
    }
    return folder;
}

// Every path of the player is built from the folder, and other processes (the lyric editor)
// read it from the configuration file, so a relative one is made absolute here.
std::string absoluteFolder(const std::string& folder) {
    std::error_code ec;
    const fs::path absolute = fs::absolute(folder, ec);
    return withSlash(ec ? folder : absolute.lexically_normal().string());
}

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

std::string userDataFolder() {
    std::string base = environment("XDG_DATA_HOME");
    if (base.empty()) {
        base = environment("HOME") + "/.local/share";
    }
    return withSlash(base) + "Vocalia/";
}

// An installed player (bin/ beside share/vocalia/) keeps the user's files out of the prefix,
// even when the user may write there.
bool isInstalledBinFolder(const std::string& folder) {
    std::error_code ec;
    return fs::is_directory(folder + "../share/vocalia", ec);
}

}  // namespace

namespace ProgramFolder {

std::string categoryFileName(int number) {
    return "OrvMusicList" + std::to_string(number) + ".m3u";
}

std::string executableFolder() {
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (ec) {
        return withSlash(fs::current_path(ec).string());
    }
    return withSlash(exe.parent_path().string());
}

std::string resolve(const std::string& homeOption) {
    if (!homeOption.empty()) {
        return absoluteFolder(homeOption);
    }
    const std::string fromEnvironment = environment(HomeEnvironmentVariable);
    if (!fromEnvironment.empty()) {
        return absoluteFolder(fromEnvironment);
    }
    std::string exeFolder = executableFolder();
    if (!isInstalledBinFolder(exeFolder) && access(exeFolder.c_str(), W_OK) == 0) {
        return exeFolder;
    }
    return userDataFolder();
}

bool start(const std::string& homeOption, std::string& folder, std::string* error) {
    folder = resolve(homeOption);
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (ec || !fs::is_directory(folder)) {
        if (error) {
            *error = folder + ": " + (ec ? ec.message() : "not a folder");
        }
        return false;
    }
    theSettings.SetFilePath((folder + ConfigFileName).c_str());
    writeSetting(ConfigKey::AppPath, folder);
    return true;
}

std::string current() {
    return readSetting(ConfigKey::AppPath);
}

}  // namespace ProgramFolder
