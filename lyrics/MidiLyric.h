#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "lyrics/LrcLyric.h"

// True for the names of MIDI songs whose lyric may sit inside them (.kar, .mid, .midi; any
// letter case).
bool IsMidiLyricFile(const std::string& path);

// Reads the lyric of a Standard MIDI File: its lyric meta events (or, without any, its text
// events as karaoke files use them), timed through the file's tempo changes. A syllable
// starting with '/' or '\' begins a new line, and so does the syllable after one ending in a
// line break. Every line's syllables are its Words. False with `error` set when the bytes are
// no MIDI file or hold no lyric; a file cut short yields what was read before the cut.
bool ReadMidiLyric(std::string_view bytes, std::vector<LyricLine>& lines, std::string& error);
