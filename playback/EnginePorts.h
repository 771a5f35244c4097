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
    void Play() override { m_monitor.Play(); }
    void Stop() override { m_monitor.Stop(); }

private:
    MicMonitor m_monitor;
};

class VoiceRecorderPort : public CaptureGraph {
public:
    void Reset() override { m_recorder.Reset(); }
    bool Build(const CaptureSettings& settings, const std::string& outputPath,
               std::string& error) override;
    void Play() override { m_recorder.Play(); }
    void Stop() override { m_recorder.Stop(); }

private:
    VoiceRecorder m_recorder;
};
