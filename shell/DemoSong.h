#pragma once

#include <string>

// The demo a fresh program folder gets, so a newcomer hears a song and sees its lyric move:
// "星光小调", an original Chinese text sung to the public-domain melody "Ah! vous dirai-je,
// maman", written as a General MIDI file, its LRC file in the lyric library, and the first
// category's playlist holding it.
namespace DemoSong {

inline constexpr const char* kSinger = "Vocalia";
inline constexpr const char* kTitle = "星光小调";

// The Standard MIDI File of the song (format 0).
std::string MidiBytes();
// The LRC lyric of the song, timed to MidiBytes().
std::string LyricText();
// Length of the song in whole seconds.
int DurationSeconds();

// Program folder + "Demo/星光小调.mid".
std::string MidiPath(const std::string& programFolder);

// Installs the demo when the folder has neither a first-category playlist nor the demo song:
// writes the MIDI file, the library lyric and the playlist. True when it installed.
bool InstallIfFresh(const std::string& programFolder);

}  // namespace DemoSong
