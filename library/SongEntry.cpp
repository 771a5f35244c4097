#include "library/SongEntry.h"

#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <string_view>

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

// A temporary file of the given bytes, removed with this object; path() is empty when it could
// not be written.
class TemporaryCopy {
public:
    TemporaryCopy(const std::vector<std::uint8_t>& bytes, const std::string& extension) {
        const char* folder = std::getenv("TMPDIR");
        std::string path = std::string(folder != nullptr && *folder != '\0' ? folder : "/tmp") +
                           "/vocalia-XXXXXX" + extension;
        const int fd = mkstemps(path.data(), static_cast<int>(extension.size()));
        if (fd < 0) {
            return;
        }
        m_path = path;
        size_t written = 0;
        while (written < bytes.size()) {
            const ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
            if (n <= 0) {
                break;
            }
            written += static_cast<size_t>(n);
        }
        ::close(fd);
        m_complete = written == bytes.size();
    }
    ~TemporaryCopy() {
        if (!m_path.empty()) {
            ::unlink(m_path.c_str());
        }
    }
    TemporaryCopy(const TemporaryCopy&) = delete;
    TemporaryCopy& operator=(const TemporaryCopy&) = delete;

    std::string path() const { return m_complete ? m_path : std::string(); }

private:
    std::string m_path;
    bool m_complete = false;
};

// A zip pair is named and measured from its audio file, through a temporary copy that goes
// when done; a zip that is not a pair is listed by its own name and refused when played.
SongEntry createZipEntry(const std::string& path, const DurationProbe& probe) {
    KaraokePair::ZipPair pair;
    std::string error;
    if (!KaraokePair::ReadZip(path, pair, error)) {
        return MakeSongEntry(path, FileTitle(path), 0);
    }
    const std::string audioTitle = FileTitle(pair.audioName);
    const TemporaryCopy copy(pair.audio, pair.audioName.substr(pair.audioName.rfind('.')));
    if (copy.path().empty()) {
        return MakeSongEntry(path, audioTitle, 0);
    }
    return MakeSongEntry(path, taggedName(copy.path(), audioTitle), probe ? probe(copy.path()) : 0);
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
    return KaraokePair::HasExtension(path, ".mp3");
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
