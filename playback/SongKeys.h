#pragma once

#include <map>
#include <string>

// The key each song was last sung in, by the song's path: a small text file of the program
// folder, one "<semitones>\t<path>" line a song. Songs in their original key have no line.
// Every change is written at once (atomically), so a crash loses nothing.
class SongKeys {
public:
    static constexpr const char* kFileName = "SongKeys.txt";

    // Reads the file at `filePath`; a missing or unreadable file gives no keys, and lines that
    // do not hold a key in range are passed over.
    explicit SongKeys(std::string filePath);

    // Semitones for the song; 0 when none is stored.
    int KeyFor(const std::string& songPath) const;
    // Stores the key (0 forgets the song). False, with `error`, when the file cannot be written;
    // the key is still kept for this run.
    bool SetKey(const std::string& songPath, int semitones, std::string* error = nullptr);

private:
    std::string m_filePath;
    std::map<std::string, int> m_keys;
};
