#include "lyrics/LyricFile.h"

#include <filesystem>
#include <system_error>

#include "lyrics/MidiLyric.h"
#include "shell/AtomicFile.h"

bool LoadLyricFile(const std::string& path, LrcLyric& lyric, std::string& error) {
    std::string bytes;
    if (!readWholeFile(path, bytes, &error)) {
        return false;
    }
    if (!IsMidiLyricFile(path)) {
        lyric.Parse(bytes);
        return true;
    }
    std::vector<LyricLine> lines;
    if (!ReadMidiLyric(bytes, lines, error)) {
        error = path + ": " + error;
        return false;
    }
    lyric.SetLines(std::move(lines));
    return true;
}

std::string LyricSourceFor(const std::string& lrcPath, const std::string& songPath) {
    std::error_code ignored;
    if (std::filesystem::exists(lrcPath, ignored) || !IsMidiLyricFile(songPath)) {
        return lrcPath;
    }
    return songPath;
}
