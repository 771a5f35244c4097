#include "playback/EnginePorts.h"

#include "media/ChannelLevel.h"

MusicPlayerPort::MusicPlayerPort() {
    connect(&m_player, &MusicPlayer::eventsQueued, this, &MusicPlayerPort::takeEvents);
}

void MusicPlayerPort::Reset() {
    m_player.Reset();
    m_player.SetNotify(true);
}

bool MusicPlayerPort::Open(const std::string& path) {
    return m_player.Open(path) >= 0;
}

void MusicPlayerPort::Play() {
    m_player.Play();
}

void MusicPlayerPort::Stop() {
    m_player.Stop();
}

void MusicPlayerPort::TogglePause() {
    m_player.TogglePause();
}

long long MusicPlayerPort::GetPositionMs() const {
    return m_player.GetPositionMs();
}

void MusicPlayerPort::SeekMs(long long ms) {
    m_player.SeekMs(ms);
}

void MusicPlayerPort::SetCompletionHandler(std::function<void()> handler) {
    m_completed = std::move(handler);
}

std::uint32_t MusicPlayerPort::ChannelLevels() const {
    return outputChannelLevel();
}

void MusicPlayerPort::SetChannelLevels(std::uint32_t levels) {
    setOutputChannelLevel(levels);
}

void MusicPlayerPort::takeEvents() {
    MediaEvent event;
    while (m_player.GetEvent(event)) {
        if (event.code == MediaEvent::Complete && m_completed) {
            m_completed();
        }
    }
}

namespace {

template <typename Graph>
void giveFormat(Graph& graph, const CaptureSettings& s) {
    graph.SetFormat(s.channels, s.bytesPerSample, CaptureFormat::rateFromSetting(s.rateChoice),
                    s.bufferCount, s.bufferSeconds);
}

}  // namespace

bool MicMonitorPort::Build(const CaptureSettings& settings, const std::string& /*outputPath*/,
                           std::string& error) {
    giveFormat(m_monitor, settings);
    if (m_monitor.Build() < 0) {
        error = m_monitor.LastError();
        return false;
    }
    return true;
}

bool VoiceRecorderPort::Build(const CaptureSettings& settings, const std::string& outputPath,
                              std::string& error) {
    giveFormat(m_recorder, settings);
    return m_recorder.Build(outputPath, error) >= 0;
}
