#pragma once

#include <cstdint>
#include <string>
#include <vector>

// MP3+G songs: an audio file with a CD+G graphics file of the same name beside it (any letter
// case), or a zip archive holding such a pair.
namespace KaraokePair {

// Whether `path` ends in `extension` (".cdg", ".zip", ...) in any letter case.
bool HasExtension(const std::string& path, const char* extension);

// The .cdg file beside the audio file `audioPath` (same name, any letter case); empty when none.
std::string GraphicsBeside(const std::string& audioPath);

// The audio file beside the graphics file `cdgPath`; empty when none.
std::string AudioBeside(const std::string& cdgPath);

// The files to add to a song list for `paths`: a .cdg stands for the audio file beside it, and
// is left out when it has none or that file is among `paths` or stood for already.
std::vector<std::string> SongFiles(const std::vector<std::string>& paths);

// A zip pair read into memory.
struct ZipPair {
    std::string audioName;  // the audio file's name inside the archive, folders removed
    std::vector<std::uint8_t> audio;
    std::vector<std::uint8_t> graphics;
};

// Reads the pair from the archive: it must hold exactly one audio file and a .cdg of the same
// name (any letter case); other files are ignored. With `namesOnly` the contents are not read.
// False with a user text in `error` otherwise.
bool ReadZip(const std::string& zipPath, ZipPair& pair, std::string& error, bool namesOnly = false);

}  // namespace KaraokePair
