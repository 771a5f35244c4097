#include "media/CaptureFormat.h"

#include <cmath>
#include <string>

#include "media/MediaGraph.h"

namespace {

// The sound server's highest sample rate.
constexpr int kMaxRate = 384000;

}  // namespace

void CaptureFormat::SetFormat(int channels, int bytesPerSample, int sampleRate, int bufferCount,
                              float bufferSeconds) {
    m_channels = channels;
    m_bytesPerSample = bytesPerSample;
    m_sampleRate = sampleRate;
    m_bufferCount = bufferCount;
    m_bufferSeconds = bufferSeconds;
}

int CaptureFormat::BlockAlign() const {
    return m_channels * m_bytesPerSample;
}

int CaptureFormat::BufferBytes() const {
    return static_cast<int>(static_cast<double>(BlockAlign()) * m_sampleRate *
                            static_cast<double>(m_bufferSeconds));
}

int64_t CaptureFormat::LatencyTimeUs() const {
    // Rounded: 0.005 in single precision is a hair below 5000 microseconds.
    return std::llround(static_cast<double>(m_bufferSeconds) * 1e6);
}

int64_t CaptureFormat::BufferTimeUs() const {
    return LatencyTimeUs() * m_bufferCount;
}

GstCapsPtr CaptureFormat::Caps() const {
    const char* format = m_bytesPerSample == 1 ? "U8" : m_bytesPerSample == 2 ? "S16LE" : nullptr;
    if (!format || m_channels < 1 || m_channels > 2 || m_sampleRate < 1 ||
        m_sampleRate > kMaxRate) {
        return nullptr;
    }
    return GstCapsPtr(gst_caps_new_simple("audio/x-raw", "format", G_TYPE_STRING, format, "layout",
                                          G_TYPE_STRING, "interleaved", "channels", G_TYPE_INT,
                                          m_channels, "rate", G_TYPE_INT, m_sampleRate, nullptr));
}

void CaptureFormat::ApplyBufferTimes(GstElement* element) const {
    if (LatencyTimeUs() <= 0 || m_bufferCount <= 0) {
        return;  // nonsense sizes leave the server's own
    }
    if (g_object_class_find_property(G_OBJECT_GET_CLASS(element), "buffer-time")) {
        g_object_set(element, "buffer-time", static_cast<gint64>(BufferTimeUs()), "latency-time",
                     static_cast<gint64>(LatencyTimeUs()), nullptr);
    }
}

GstElement* CaptureFormat::AddCaptureChain(MediaGraph& graph, GstElement* source) const {
    ApplyBufferTimes(source);
    GstElement* filter = graph.AddFilter("capsfilter", "CaptureFormat");
    GstElement* convert = graph.AddFilter("audioconvert", "CaptureConvert");
    GstElement* resample = graph.AddFilter("audioresample", "CaptureResample");
    if (!filter || !convert || !resample) {
        return nullptr;
    }
    if (const GstCapsPtr caps = Caps()) {
        g_object_set(filter, "caps", caps.get(), nullptr);
    }
    if (!gst_element_link_many(source, filter, convert, resample, nullptr)) {
        return nullptr;
    }
    return resample;
}

int CaptureFormat::rateFromSetting(int stored) {
    switch (stored) {
        case 110250:
            return 11025;
        case 220500:
            return 22050;
        case 441000:
            return 44100;
        default:
            return stored;
    }
}
