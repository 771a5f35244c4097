#include "media/MicMonitor.h"

#include <algorithm>
#include <cmath>

#include "media/SourcePorts.h"

namespace {

// A monitor seconds behind the singer is of no use; this also keeps the value in range.
constexpr double kLongestLatencyMs = 10000;

}  // namespace

int MicMonitor::Build() {
    m_source = defaultSourceName();
    if (m_source.empty()) {
        SetLastError("no audio capture device can be opened");
        return kFailed;
    }
    if (!activateSourcePort(m_source, "Microphone")) {
        activateSourcePort(m_source, "麦克风");
    }
    return 0;
}

int MicMonitor::LatencyMs() const {
    const double buffers = (std::max(m_format.BufferCount(), 1) + 1) / 2.0;
    const double ms = buffers * static_cast<double>(m_format.LatencyTimeUs()) / 1000;
    return static_cast<int>(std::lround(std::clamp(ms, 1.0, kLongestLatencyMs)));
}

ServerLoopback::Settings MicMonitor::loopbackSettings() const {
    ServerLoopback::Settings settings;
    settings.source = m_source;
    settings.latencyMs = LatencyMs();
    // A format no device offers leaves the source's own in force.
    if (m_format.Caps()) {
        settings.sampleFormat = m_format.BytesPerSample() == 1 ? "u8" : "s16le";
        settings.rate = m_format.SampleRate();
        settings.channels = m_format.Channels();
    }
    return settings;
}

int MicMonitor::Play() {
    if (State() == GraphState::Running) {
        return 0;
    }
    if (m_source.empty()) {
        SetLastError("no audio capture device has been found");
        return kFailed;
    }
    ServerLoopback::UnloadLeftovers();
    std::string error;
    if (!m_loopback.Load(loopbackSettings(), error)) {
        SetLastError(error);
        return kFailed;
    }
    SetGraphState(GraphState::Running);
    return 0;
}

int MicMonitor::Stop() {
    m_loopback.Unload();
    SetGraphState(GraphState::Stopped);
    return 0;
}

void MicMonitor::Reset() {
    Stop();
    m_source.clear();
    MediaGraph::Reset();
}

int MicMonitor::Restart() {
    if (State() == GraphState::Running && m_loopback.IsLoaded()) {
        return 0;
    }
    Stop();
    return Play();
}
