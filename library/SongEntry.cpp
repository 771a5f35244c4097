#include "library/SongEntry.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <string_view>

#include "library/Id3TitleReader.h"
#include "library/Mp3Info.h"
#include "shell/TextCodec.h"
#include "shell/TextTrim.h"

namespace {

std::string tagText(const std::string& stored) {
    return std::string(trimRight(TextCodec::decodeStoredText(stored)));
}

}  // namespace

std::string FileTitle(const std::string& path) {
    // Playlists from elsewhere may hold paths with backslashes.
    const size_t slash = path.find_last_of("/\\");
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const size_t dot = name.rfind('.');
    if (dot != std::string::npos) {
        name.erase(dot);
    }
    return TextCodec::decodeStoredText(name);
}

bool HasMp3Extension(const std::string& path) {
    if (path.size() < 4) {
        return false;
    }
    std::string extension = path.substr(path.size() - 4);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension == ".mp3";
}

std::string FormatDuration(int seconds) {
    seconds = std::max(seconds, 0);
    char text[32];
    std::snprintf(text, sizeof text, "%02d:%02d", seconds / 60, seconds % 60);
    return text;
}

SongEntry MakeSongEntry(std::string path, std::string displayName, int seconds) {
    seconds = std::max(seconds, 0);
    return {std::move(path), std::move(displayName), FormatDuration(seconds), seconds};
}

DurationProbe MakeDurationProbe(DurationProbe otherFiles) {
    return [other = std::move(otherFiles)](const std::string& path) {
        if (HasMp3Extension(path)) {
            const Mp3Info info(path);
            if (info.FrameCount() > 0) {
                return info.Duration();
            }
        }
        return other ? other(path) : 0;
    };
}

std::string SongDisplayName(const std::string& path) {
    const Id3TitleReader tag(path);
    const std::string artist = tagText(tag.Artist());
    const std::string title = tagText(tag.Title());
    if (!artist.empty() && !title.empty()) {
        return artist + " - " + title;
    }
    return FileTitle(path);
}

SongEntry CreateSongEntry(const std::string& path, const DurationProbe& probe) {
    return MakeSongEntry(path, SongDisplayName(path), probe ? probe(path) : 0);
}
