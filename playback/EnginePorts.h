#pragma once

#include <QObject>

#include "media/MicMonitor.h"
#include "media/MusicPlayer.h"
#include "media/VoiceRecorder.h"
#include "playback/MediaPorts.h"

// The media engine's players and capture graphs seen through the calls the playback
// controller makes. Each port owns its engine object.

class MusicPlayerPort : public QObject, public SongPlayer {
    Q_OBJECT

public:
    MusicPlayerPort();

    void Reset() override;
    bool Open(const std::string& path) override;
    void Play() override;
    void Stop() override;
    void TogglePause() override;
    long long GetPositionMs() const override;
    long long GetDurationMs() override { return m_player.GetDurationSec() * 1000; }
    void SeekMs(long long ms) override;
    void SetCompletionHandler(std::function<void()> handler) override;
    std::uint32_t ChannelLevels() const override;
    void SetChannelLevels(std::uint32_t levels) override;

    MusicPlayer& Engine() { return m_player; }

private:
    // Takes every queued event; each end of a song is passed on.
    void takeEvents();

    MusicPlayer m_player;
    std::function<void()> m_completed;
};

class MicMonitorPort : public CaptureGraph {
public:
    void Reset() override { m_monitor.Reset(); }
    bool Build(const CaptureSettings& settings, const std::string& outputPath,
               std::string& error) override;
    bool Play() override { return m_monitor.Play() >= 0; }
    bool Stop() override { return m_monitor.Stop() >= 0; }
    bool Restart() override { return m_monitor.Restart() >= 0; }
    std::string LastError() const override { return m_monitor.LastError(); }

private:
    MicMonitor m_monitor;
};

class VoiceRecorderPort : public CaptureGraph {
public:
    void Reset() override { m_recorder.Reset(); }
    bool Build(const CaptureSettings& settings, const std::string& outputPath,
               std::string& error) override;
    bool Play() override { return m_recorder.Play() >= 0; }
    bool Stop() override { return m_recorder.Stop() >= 0; }
    std::string LastError() const override { return m_recorder.LastError(); }

private:
    VoiceRecorder m_recorder;
};
