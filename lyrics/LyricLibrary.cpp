#include "lyrics/LyricLibrary.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string_view>
#include <system_error>

#include "lyrics/LrcLyric.h"
#include "resources/StringTable.h"
#include "shell/AtomicFile.h"
#include "shell/ProgramFolder.h"
#include "shell/TextTrim.h"

namespace fs = std::filesystem;

namespace {

constexpr int kStrOpenFailed = 24;
constexpr int kStrNoSingerOrTitle = 26;
constexpr int kStrLyricAdded = 27;
constexpr int kStrLyricCopyFailed = 4301;

// A name as one path component: "/" and NUL cannot stand in it, and "." or ".." would name
// another folder.
std::string asPathComponent(std::string name) {
    for (char& c : name) {
        if (c == '/' || c == '\0') {
            c = '_';
        }
    }
    if (name == "." || name == "..") {
        name.assign(name.size(), '_');
    }
    return name;
}

AddLyricResult refused(int message) {
    return {false, loadString(message), {}};
}

// "singer - title.ext": the title runs up to the last "." when that lies after the "-".
bool namesFromFileName(const std::string& fileName, SingerTitle& names) {
    const size_t dash = fileName.find('-');
    if (dash == std::string::npos) {
        return false;
    }
    const size_t dot = fileName.rfind('.');
    names = SplitDisplayName(
        fileName.substr(0, dot != std::string::npos && dot > dash ? dot : dash + 1));
    return true;
}

}  // namespace

SingerTitle SplitDisplayName(const std::string& name) {
    const size_t dash = name.find('-');
    const std::string_view singer =
        dash == std::string::npos ? std::string_view() : std::string_view(name).substr(0, dash);
    std::string_view title = std::string_view(name).substr(singer.size());
    title.remove_prefix(std::min(title.find_first_not_of('-'), title.size()));
    return {std::string(trimRight(singer)), std::string(trimLeft(title))};
}

std::string LyricLibraryRoot(const std::string& programFolder) {
    return programFolder + ProgramFolder::LyricsFolder;
}

std::string LyricLibrarySingerFolder(const std::string& programFolder, const std::string& singer) {
    const std::string root = LyricLibraryRoot(programFolder);
    return singer.empty() ? root : root + asPathComponent(singer) + "/";
}

std::string LyricLibraryPath(const std::string& programFolder, const SingerTitle& names) {
    return LyricLibrarySingerFolder(programFolder, names.singer) + asPathComponent(names.title) +
           ".lrc";
}

std::string LyricLibraryPath(const SingerTitle& names) {
    return LyricLibraryPath(ProgramFolder::current(), names);
}

bool EnsureLyricFile(const std::string& path) {
    std::error_code error;
    if (fs::exists(path, error)) {
        return true;
    }
    fs::create_directories(fs::path(path).parent_path(), error);
    // "x" never truncates a file that appeared in the meantime.
    std::FILE* file = std::fopen(path.c_str(), "wx");
    if (file == nullptr) {
        return fs::exists(path, error);
    }
    return std::fclose(file) == 0;
}

AddLyricResult AddLyricToLibrary(const std::string& programFolder, const std::string& source) {
    std::string bytes;
    if (!readWholeFile(source, bytes)) {
        return refused(kStrOpenFailed);
    }
    SingerTitle names = ReadTagHeadFromBytes(std::string_view(bytes).substr(0, kTagHeadBytes + 3));
    if (names.singer.empty() || names.title.empty()) {
        if (!namesFromFileName(fs::path(source).filename().string(), names) ||
            names.title.empty()) {
            return refused(kStrNoSingerOrTitle);
        }
    }
    const std::string target = LyricLibraryPath(programFolder, names);
    std::error_code error;
    fs::create_directories(fs::path(target).parent_path(), error);
    if (fs::equivalent(source, target, error)) {
        return {true, loadString(kStrLyricAdded), target};
    }
    if (!writeFileAtomically(target, bytes)) {
        return refused(kStrLyricCopyFailed);
    }
    fs::remove(source, error);
    return {true, loadString(kStrLyricAdded), target};
}
