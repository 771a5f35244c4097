#include "library/SongEntry.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <string_view>

#include <QDir>
#include <QTemporaryFile>

#include "library/Id3TitleReader.h"
#include "library/KaraokePair.h"
#include "library/Mp3Info.h"
#include "shell/TextCodec.h"
#include "shell/TextTrim.h"

namespace {

std::string tagText(const std::string& stored) {
    return std::string(trimRight(TextCodec::decodeStoredText(stored)));
}

// "artist - title" from the ID3v1 tag of `path`, else `fallback`.
std::string taggedName(const std::string& path, const std::string& fallback) {
    const Id3TitleReader tag(path);
    const std::string artist = tagText(tag.Artist());
    const std::string title = tagText(tag.Title());
    return !artist.empty() && !title.empty() ? artist + " - " + title : fallback;
}

// A zip pair is named and measured from its audio file, through a temporary copy that goes
// when done; a zip that is not a pair is listed by its own name and refused when played.
SongEntry createZipEntry(const std::string& path, const DurationProbe& probe) {
    KaraokePair::ZipPair pair;
    std::string error;
    if (!KaraokePair::ReadZip(path, pair, error)) {
        return MakeSongEntry(path, FileTitle(path), 0);
    }
    const std::string audioTitle = FileTitle(pair.audioName);
    const size_t dot = pair.audioName.rfind('.');
    QTemporaryFile copy(QDir::tempPath() + "/vocalia-XXXXXX" +
                        QString::fromStdString(pair.audioName.substr(dot)));
    if (!copy.open() || copy.write(reinterpret_cast<const char*>(pair.audio.data()),
                                   static_cast<qint64>(pair.audio.size())) !=
                            static_cast<qint64>(pair.audio.size())) {
        return MakeSongEntry(path, audioTitle, 0);
    }
    copy.close();
    const std::string copyPath = copy.fileName().toStdString();
    return MakeSongEntry(path, taggedName(copyPath, audioTitle), probe ? probe(copyPath) : 0);
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
    return taggedName(path, FileTitle(path));
}

SongEntry CreateSongEntry(const std::string& path, const DurationProbe& probe) {
    if (KaraokePair::HasExtension(path, ".zip")) {
        return createZipEntry(path, probe);
    }
    return MakeSongEntry(path, SongDisplayName(path), probe ? probe(path) : 0);
}
