#pragma once

#include "media/CaptureFormat.h"
#include "media/MediaGraph.h"

// The live microphone monitor: the capture device played straight to the speakers with small
// buffers, so that the singer hears the voice with the music.
//
// Use (on the UI thread): Reset, SetFormat, Build, Play; Stop ends it. The owner restarts it
// every "PhoneSet"/"RefreshTimer" seconds with Stop followed by Play, which empties the
// buffers so that the delay starts again from its minimum.
class MicMonitor : public MediaGraph {
public:
    void SetFormat(int channels, int bytesPerSample, int sampleRate, int bufferCount,
                   float bufferSeconds) {
        m_format.SetFormat(channels, bytesPerSample, sampleRate, bufferCount, bufferSeconds);
    }
    const CaptureFormat& Format() const { return m_format; }

    // Capture device -> speakers. Negative (LastError set) when there is no capture device or
    // the chain cannot be linked; then nothing plays.
    int Build() override;

private:
    CaptureFormat m_format;
};
