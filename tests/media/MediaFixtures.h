#pragma once

#include <gst/gst.h>

#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "media/GstHandles.h"

// Media files the tests make for themselves.

// Runs a gst-launch style description to its end; throws with the error text on failure.
void runPipeline(const std::string& description);

// Stereo 16-bit 44100 Hz WAV of a sine tone.
void makeToneWav(const std::string& path, double seconds, int frequency = 440);
// Stereo 16-bit 44100 Hz WAV of a sweep that rises steadily from kSweepStartHz by
// kSweepHzPerSecond, so that any stretch of it tells which moment of the file it is.
inline constexpr double kSweepStartHz = 300;
inline constexpr double kSweepHzPerSecond = 100;
void makeSweepWav(const std::string& path, double seconds);
// The moment of the sweep (s) heard at the end of a stereo recording, from its last 100 ms;
// nullopt while those are silent.
std::optional<double> sweepTimeAtEnd(const std::vector<int16_t>& samples);
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

// Records a sound-server source ("out.monitor": what the speakers play) as interleaved 16-bit
// stereo 44100 Hz samples, from construction until finish().
class SourceRecording {
public:
    explicit SourceRecording(const std::string& device);
    // Records two sources as the left and the right channel of one recording, so that both
    // share one clock: what goes into a route beside what comes out of it.
    SourceRecording(const std::string& left, const std::string& right);
    ~SourceRecording();
    SourceRecording(const SourceRecording&) = delete;
    SourceRecording& operator=(const SourceRecording&) = delete;

    // The samples recorded so far.
    std::vector<int16_t> samples() const;
    // Runs the default GLib main context until `heard` holds for the samples recorded so far,
    // or the time runs out; true when it holds. Judging what was captured, not how long the
    // test waited, keeps a slow start on a busy machine from failing the test.
    bool waitFor(const std::function<bool(const std::vector<int16_t>&)>& heard, int timeoutMs);
    // Ends the recording.
    void finish();

private:
    explicit SourceRecording(GstRef<GstElement> pipeline);
    static GstFlowReturn takeSample(GstElement* sink, gpointer self);
    size_t sampleCount() const;

    mutable std::mutex m_mutex;
    std::vector<int16_t> m_samples;
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
// Seconds of a 44100 Hz recording in which a tone of `frequency` (a multiple of 100 Hz) is
// clearly heard on `channel`, counted in 10 ms blocks: blocks loud enough whose energy lies
// mostly at that frequency. The gaps and glitches a busy machine leaves in a live recording
// only shorten the count; a wrong pitch or silence brings it to zero.
double toneSeconds(const std::vector<int16_t>& samples, int channels, int frequency,
                   int channel = 0);
// Share of the energy of one channel that lies at `frequency` (any frequency), averaged over
// the 100 ms blocks of the last `seconds` of a 44100 Hz recording: near 1 for a pure tone at
// that frequency, near 0 for silence or another pitch.
double toneShare(const std::vector<int16_t>& samples, int channels, double frequency,
                 double seconds, int channel = 0);
// The lines of `pactl list modules short` for the live monitor's loopbacks on the test server,
// whoever loaded them.
std::vector<std::string> monitorModules();
// Iterates the default GLib main context (where the players deliver their events) until
// `done` or the time runs out; true when `done`.
bool pumpUntil(const std::function<bool()>& done, int timeoutMs);
