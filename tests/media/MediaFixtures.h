#pragma once

#include <string>

// Media files the tests make for themselves.

// Runs a gst-launch style description to its end; throws with the error text on failure.
void runPipeline(const std::string& description);

// Stereo 16-bit 44100 Hz WAV of a sine tone.
void makeToneWav(const std::string& path, double seconds, int frequency = 440);
// Plain MPEG audio (CBR) of a sine tone.
void makeToneMp3(const std::string& path, double seconds, int frequency = 440);
// WMA audio in an ASF container.
void makeToneWma(const std::string& path, double seconds);
// MPEG-1 program stream with MPEG-1 video (352x288, 25 fps) and MPEG audio.
void makeMpegVideo(const std::string& path, double seconds);
// AVI with MPEG-4 video and MP3 audio.
void makeAviVideo(const std::string& path, double seconds);
// ASF with WMV video and WMA audio.
void makeAsfVideo(const std::string& path, double seconds);
// Standard MIDI file of one track: a note held for `seconds` (at 120 beats a minute).
void makeMidi(const std::string& path, double seconds);
// VCD ".dat": the MPEG program stream `mpegPath` in a RIFF CDXA file of 2352-byte sectors.
void makeVcdDat(const std::string& mpegPath, const std::string& datPath);
