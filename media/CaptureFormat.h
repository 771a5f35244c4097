#pragma once

#include <gst/gst.h>

#include <cstdint>

#include "media/GstHandles.h"

class MediaGraph;

// The capture settings of the live monitor and the recorder: the format asked of the capture
// device and the size of its buffers.
class CaptureFormat {
public:
    virtual ~CaptureFormat() = default;

    // Stores the five values in this order.
    void SetFormat(int channels, int bytesPerSample, int sampleRate, int bufferCount,
                   float bufferSeconds);

    int Channels() const { return m_channels; }
    int BytesPerSample() const { return m_bytesPerSample; }
    int SampleRate() const { return m_sampleRate; }
    int BufferCount() const { return m_bufferCount; }
    float BufferSeconds() const { return m_bufferSeconds; }

    // channels x bytes per sample.
    int BlockAlign() const;
    // Bytes of one capture buffer: block alignment x rate x buffer seconds, truncated.
    int BufferBytes() const;
    // The sound server's terms for the same buffers: one buffer's length (latency-time) and
    // the whole queue's (buffer-time), in microseconds.
    int64_t LatencyTimeUs() const;
    int64_t BufferTimeUs() const;

    // The raw audio format asked for; null when no such format exists (3 bytes per sample, no
    // channels, an impossible rate), in which case the device's own format stays in force.
    GstCapsPtr Caps() const;
    // Gives an audio source or sink of the sound server these buffer times.
    void ApplyBufferTimes(GstElement* element) const;
    // Adds the capture end of a graph behind `source` (already in the graph): the format
    // asked for, then converters so that any consumer can follow. Returns the last element to
    // connect on from, or null (LastError of the graph set) when the chain cannot be linked.
    GstElement* AddCaptureChain(MediaGraph& graph, GstElement* source) const;

    // The rate a stored sample-rate choice asks for: the options dialog stores 11, 22 and
    // 44 kHz as 110250, 220500 and 441000; any other value is taken as samples per second.
    static int rateFromSetting(int stored);

private:
    int m_channels = 2;
    int m_bytesPerSample = 2;
    int m_sampleRate = 44100;
    int m_bufferCount = 6;
    float m_bufferSeconds = 0.05F;
};
