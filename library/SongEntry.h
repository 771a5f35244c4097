#pragma once

#include <functional>
#include <string>

// One song of a category's list.
struct SongEntry {
    std::string Path;          // the media file, as added or read from the playlist
    std::string DisplayName;   // the row text, UTF-8: "artist - title", a file name or typed name
    std::string DurationText;  // "mm:ss", minutes not limited to two digits
    int DurationSeconds = 0;

    bool operator==(const SongEntry&) const = default;
};

// "%02d:%02d" of whole minutes and the remaining seconds; a negative duration shows "00:00".
std::string FormatDuration(int seconds);

// An entry whose DurationText is formatted from `seconds` (negative counts as 0).
SongEntry MakeSongEntry(std::string path, std::string displayName, int seconds);

// Whether a path ends in ".mp3", in any letter case.
bool HasMp3Extension(const std::string& path);

// Measures a media file: whole seconds, 0 when the file cannot be opened or measured.
using DurationProbe = std::function<int(const std::string& path)>;

// MP3 files (by their ".mp3" extension, any case) through the frame scan of Mp3Info, which
// needs no media graph; other files, and MP3 files in which the scan finds no frame, through
// `otherFiles` (0 without one).
DurationProbe MakeDurationProbe(DurationProbe otherFiles = {});

// The file name without folder ("/" or "\\") and extension, as UTF-8; a name without a point is
// taken whole.
std::string FileTitle(const std::string& path);

// The row text of a newly added file: "artist - title" from its ID3v1 tag when both are
// non-empty after trailing blanks are removed, else its file name without folder and extension.
std::string SongDisplayName(const std::string& path);

// The entry that adding a file to the song list makes: named by SongDisplayName, measured by
// `probe`; a zip pair (MP3+G) is named and measured from the audio file inside. Never refuses a
// file.
SongEntry CreateSongEntry(const std::string& path, const DurationProbe& probe);
