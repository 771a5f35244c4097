#pragma once

#include <cstdint>
#include <functional>
#include <string>

// What the playback controller asks of the media engine. The program's implementations sit on
// the engine's MusicPlayer, MicMonitor and VoiceRecorder (playback/EnginePorts.h); keeping the
// controller on these few calls lets its state machine be checked without a sound server.

// The song player: plays one file at a time, in milliseconds.
class SongPlayer {
public:
    virtual ~SongPlayer() = default;
    // A fresh, empty graph.
    virtual void Reset() = 0;
    // False when the file cannot be played.
    virtual bool Open(const std::string& path) = 0;
    // Runs a stopped graph; a paused one stays paused.
    virtual void Play() = 0;
    virtual void Stop() = 0;
    // Pauses a running graph, runs a paused one, leaves a stopped one stopped.
    virtual void TogglePause() = 0;
    virtual long long GetPositionMs() const = 0;
    // The open file's length in ms; 0 when unknown.
    virtual long long GetDurationMs() = 0;
    virtual void SeekMs(long long ms) = 0;
    // `handler` runs on the owner's thread each time the open file plays to its end; an empty
    // handler stops the notices.
    virtual void SetCompletionHandler(std::function<void()> handler) = 0;
    // Per-channel output level: left in the low 16 bits, right in the high 16 bits.
    virtual std::uint32_t ChannelLevels() const = 0;
    virtual void SetChannelLevels(std::uint32_t levels) = 0;
};

// Capture format handed to the live monitor and the recorder.
struct CaptureSettings {
    int channels = 1;
    int bytesPerSample = 1;
    // The stored sample-rate choice ("Fren"): a rate, or the options dialog's 110250, 220500
    // or 441000 for 11, 22 and 44 kHz.
    int rateChoice = 22050;
    int bufferCount = 6;
    float bufferSeconds = 0.005F;
};

// A capture graph: the live microphone monitor or the voice recorder.
class CaptureGraph {
public:
    virtual ~CaptureGraph() = default;
    virtual void Reset() = 0;
    // Builds the graph with `settings`; the recorder writes to `outputPath`, the monitor ignores
    // it. False with a user text in `error` when the graph cannot be built.
    virtual bool Build(const CaptureSettings& settings, const std::string& outputPath,
                       std::string& error) = 0;
    // False when the graph does not run (for the recorder: its file cannot be written);
    // LastError says why.
    virtual bool Play() = 0;
    // False when the take could not be finished and put in place; LastError says why.
    virtual bool Stop() = 0;
    // The monitor's periodic restart, which keeps its delay from growing; true when it runs
    // afterwards.
    virtual bool Restart() {
        Stop();
        return Play();
    }
    virtual std::string LastError() const = 0;
};
