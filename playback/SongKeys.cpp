#include "playback/SongKeys.h"

#include <charconv>
#include <sstream>

#include "media/ToneStage.h"
#include "shell/AtomicFile.h"

namespace {

// "<semitones>\t<path>"; false for anything else.
bool parseLine(const std::string& line, int& semitones, std::string& path) {
    const size_t tab = line.find('\t');
    if (tab == std::string::npos || tab + 1 >= line.size()) {
        return false;
    }
    const char* end = line.data() + tab;
    const auto [at, failure] = std::from_chars(line.data(), end, semitones);
    if (failure != std::errc() || at != end || semitones == 0 ||
        !PlaybackTone::validKey(semitones)) {
        return false;
    }
    path = line.substr(tab + 1);
    return true;
}

}  // namespace

SongKeys::SongKeys(std::string filePath) : m_filePath(std::move(filePath)) {
    std::string bytes;
    if (!readWholeFile(m_filePath, bytes)) {
        return;
    }
    std::istringstream lines(bytes);
    std::string line;
    while (std::getline(lines, line)) {
        int semitones = 0;
        std::string path;
        if (parseLine(line, semitones, path)) {
            m_keys[path] = semitones;
        }
    }
}

int SongKeys::KeyFor(const std::string& songPath) const {
    const auto found = m_keys.find(songPath);
    return found != m_keys.end() ? found->second : 0;
}

bool SongKeys::SetKey(const std::string& songPath, int semitones, std::string* error) {
    if (songPath.empty() || songPath.find('\n') != std::string::npos) {
        return true;  // nothing a line could hold
    }
    if (KeyFor(songPath) == semitones) {
        return true;
    }
    if (semitones == 0) {
        m_keys.erase(songPath);
    } else {
        m_keys[songPath] = semitones;
    }
    std::string bytes;
    for (const auto& [path, key] : m_keys) {
        bytes += std::to_string(key) + '\t' + path + '\n';
    }
    return writeFileAtomically(m_filePath, bytes, error);
}
