#include "library/M3uPlaylist.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <optional>
#include <system_error>

#include "shell/AtomicFile.h"
#include "shell/LeadingInteger.h"
#include "shell/ProgramFolder.h"
#include "shell/TextCodec.h"
#include "shell/TextTrim.h"

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kHeader = "#EXTM3U";
constexpr std::string_view kInfo = "#EXTINF:";

std::string oneLine(std::string text) {
    std::replace_if(
        text.begin(), text.end(), [](char c) { return c == '\r' || c == '\n' || c == '\0'; }, ' ');
    return text;
}

struct EntryInfo {
    int seconds = 0;
    std::optional<std::string> name;
};

// "#EXTINF:<seconds>[ attributes],<name>": the name is everything after the first comma.
EntryInfo parseInfo(std::string_view rest) {
    const size_t comma = rest.find(',');
    EntryInfo info{std::max(0, leadingInteger(rest.substr(0, comma))), std::nullopt};
    if (comma != std::string_view::npos) {
        info.name = TextCodec::decodeStoredText(rest.substr(comma + 1));
    }
    return info;
}

bool isAbsolute(std::string_view path) {
    const bool drive = path.size() >= 3 && std::isalpha(static_cast<unsigned char>(path[0])) &&
                       path[1] == ':' && (path[2] == '\\' || path[2] == '/');
    return path.starts_with('/') || drive || path.find("://") != std::string_view::npos;
}

std::string resolve(std::string_view path, const std::string& folder) {
    return isAbsolute(path) ? std::string(path) : folder + std::string(path);
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    const char lower = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower >= 'a' && lower <= 'f' ? lower - 'a' + 10 : -1;
}

// Many players list local files as "file:///folder/My%20Song.mp3"; the player needs the path.
std::optional<std::string> fileUriPath(std::string_view raw) {
    constexpr std::string_view kScheme = "file://";
    const size_t slash = raw.find('/', kScheme.size());
    if (!raw.starts_with(kScheme) || slash == std::string_view::npos) {
        return std::nullopt;
    }
    std::string path;
    for (size_t i = slash; i < raw.size(); ++i) {
        const int high = raw[i] == '%' && i + 2 < raw.size() ? hexValue(raw[i + 1]) : -1;
        const int low = high >= 0 ? hexValue(raw[i + 2]) : -1;
        if (low >= 0 && high * 16 + low != 0) {  // "%00" cannot stand in a path
            path += static_cast<char>(high * 16 + low);
            i += 2;
        } else {
            path += raw[i];
        }
    }
    return path;
}

// Paths are file-system bytes: a path that is not UTF-8 is kept as it stands when it names a
// file, else read as GBK.
std::string entryPath(std::string_view raw, const std::string& folder) {
    if (const std::optional<std::string> local = fileUriPath(raw)) {
        return entryPath(*local, folder);
    }
    if (TextCodec::isUtf8(raw)) {
        return resolve(raw, folder);
    }
    std::string asStored = resolve(raw, folder);
    std::error_code error;
    if (fs::exists(asStored, error)) {
        return asStored;
    }
    return resolve(TextCodec::gbkToUtf8(raw), folder);
}

}  // namespace

std::string FormatM3u(const std::vector<SongEntry>& songs) {
    std::string text(kHeader);
    text += '\n';
    for (const SongEntry& song : songs) {
        text += kInfo;
        text += std::to_string(song.DurationSeconds);
        text += ',';
        text += oneLine(song.DisplayName);
        text += "\r\n";
        text += oneLine(song.Path);
        text += "\r\n";
    }
    return text;
}

bool SaveM3u(const std::string& path, const std::vector<SongEntry>& songs, std::string* error) {
    return writeFileAtomically(path, FormatM3u(songs), error);
}

std::vector<SongEntry> ParseM3u(std::string_view bytes, const std::string& folder) {
    std::vector<SongEntry> songs;
    ForEachM3uEntry(bytes, folder,
                    [&songs](SongEntry&& song) { songs.push_back(std::move(song)); });
    return songs;
}

void ForEachM3uEntry(std::string_view bytes, const std::string& folder,
                     const std::function<void(SongEntry&&)>& visit) {
    bytes = bytes.substr(0, bytes.find('\0'));
    if (bytes.starts_with("\xEF\xBB\xBF")) {
        bytes.remove_prefix(3);
    }
    std::optional<EntryInfo> pending;
    while (!bytes.empty()) {
        const size_t lf = bytes.find('\n');
        std::string_view line = bytes.substr(0, lf);
        bytes.remove_prefix(lf == std::string_view::npos ? bytes.size() : lf + 1);
        if (line.ends_with('\r')) {
            line.remove_suffix(1);
        }
        if (line.starts_with(kInfo)) {
            pending = parseInfo(line.substr(kInfo.size()));
        } else if (!line.starts_with('#') && !trimLeft(line).empty()) {
            std::string path = entryPath(line, folder);
            const int seconds = pending ? pending->seconds : 0;
            std::string name = pending && pending->name ? *pending->name : FileTitle(path);
            visit(MakeSongEntry(std::move(path), std::move(name), seconds));
            pending.reset();
        }
    }
}

std::string PlaylistFolder(const std::string& path) {
    std::error_code error;
    std::string folder = fs::absolute(path, error).parent_path().string();
    if (!folder.empty() && !folder.ends_with('/')) {
        folder += '/';
    }
    return folder;
}

std::vector<SongEntry> LoadM3u(const std::string& path) {
    std::string bytes;
    if (!readWholeFile(path, bytes)) {
        return {};
    }
    return ParseM3u(bytes, PlaylistFolder(path));
}

std::string CategoryFilePath(const std::string& programFolder, int category) {
    return programFolder + ProgramFolder::categoryFileName(category);
}
