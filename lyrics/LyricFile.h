#pragma once

#include <string>

#include "lyrics/LrcLyric.h"

// Loads a lyric into `lyric` (empty before): an LRC file, or the lyric inside a MIDI song
// (IsMidiLyricFile). False with `error` set when the file cannot be read, or is a MIDI file
// without a lyric.
bool LoadLyricFile(const std::string& path, LrcLyric& lyric, std::string& error);

// The lyric to show with a song: its LRC file when that exists, else the song itself when it
// is a MIDI song (which may carry its words), else the LRC path, which then fails to load.
std::string LyricSourceFor(const std::string& lrcPath, const std::string& songPath);
