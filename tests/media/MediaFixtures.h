#pragma once

#include <gst/gst.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "media/GstHandles.h"

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

// Records a sound-server source ("out.monitor": what the speakers play) into a 16-bit stereo
// 44100 Hz WAV file from construction until finish().
class SourceRecording {
public:
    SourceRecording(const std::string& device, const std::string& path);
    ~SourceRecording();
    SourceRecording(const SourceRecording&) = delete;
    SourceRecording& operator=(const SourceRecording&) = delete;
    // Ends the recording and closes the file.
    void finish();

private:
    GstRef<GstElement> m_pipeline;
};

// Plays a WAV file into a sound-server sink ("micfeed" feeds the virtual microphone) from
// construction until the object goes.
class SinkFeed {
public:
    SinkFeed(const std::string& wavPath, const std::string& device);
    ~SinkFeed();
    SinkFeed(const SinkFeed&) = delete;
    SinkFeed& operator=(const SinkFeed&) = delete;

private:
    GstRef<GstElement> m_pipeline;
};

// The interleaved 16-bit samples of a PCM WAV file (empty when it has none).
std::vector<int16_t> readWavSamples(const std::string& path);
// Root mean square of one channel of interleaved samples, from frame `from` on.
double channelRms(const std::vector<int16_t>& samples, int channel, int channels, size_t from = 0);
// Iterates the default GLib main context (where the players deliver their events) until
// `done` or the time runs out; true when `done`.
bool pumpUntil(const std::function<bool()>& done, int timeoutMs);
