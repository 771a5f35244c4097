#pragma once

#include <string>

#include "media/CaptureFormat.h"
#include "media/MediaGraph.h"
#include "media/ServerLoopback.h"

// The live microphone monitor: the capture source played straight to the speakers, so that the
// singer hears the voice with the music. The sound server plays it itself (a loopback module)
// and holds the delay at the latency asked for as long as it runs; a capture stream and a
// playback stream of our own keep whatever fill each start happens to leave, anywhere between
// one buffer and all of them.
//
// Use (on the UI thread): Reset, SetFormat, Build, Play; Stop ends it. The owner's periodic
// restart (every "PhoneSet"/"RefreshTimer" seconds) is Restart, which leaves a running
// loopback alone, as its delay does not grow, and starts it again when it has gone (the server
// restarted, the source went away).
class MicMonitor : public MediaGraph {
public:
    void SetFormat(int channels, int bytesPerSample, int sampleRate, int bufferCount,
                   float bufferSeconds) {
        m_format.SetFormat(channels, bytesPerSample, sampleRate, bufferCount, bufferSeconds);
    }
    const CaptureFormat& Format() const { return m_format; }

    // Finds the capture source and switches its microphone line on. Negative (LastError set)
    // when there is none; then nothing plays.
    int Build() override;
    // Starts the loopback from the source found by Build, in the format asked for; a running
    // monitor is left as it is. First unloads the loopbacks that programs which have died left
    // on the server. 0, or negative with LastError set.
    int Play() override;
    int Stop() override;
    void Reset() override;
    // The periodic restart: 0 when the monitor runs afterwards.
    int Restart();

    // The delay asked of the loopback in ms: the middle of the one to bufferCount buffers that
    // the capture queue holds.
    int LatencyMs() const;

private:
    ServerLoopback::Settings loopbackSettings() const;

    CaptureFormat m_format;
    std::string m_source;
    ServerLoopback m_loopback;
};
