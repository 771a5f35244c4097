#pragma once

#include <QObject>

#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>

#include "media/MediaGraph.h"
#include "media/ToneStage.h"

// One event of a song's graph, fetched by the owner after eventsQueued.
struct MediaEvent {
    enum Code { Complete = 1, ErrorAbort = 3 };
    Code code = Complete;
    std::string text;  // the error for ErrorAbort
};

// The song player: plays the sound of one media file (music, or the sound track of a video)
// on the default output, through the per-channel output level of media/ChannelLevel.h and the
// key, tempo and vocal reduction of media/ToneStage.h. Positions and lengths are song time:
// at 80 % the position moves 0.8 s a second.
//
// Use: Reset, Open(path), Play; TogglePause, Stop; GetPositionMs, SeekMs, GetDurationSec.
// State: fresh (after construction or Reset) -> opened (Open succeeded; Stopped) -> Running /
// Paused / Stopped by Play, TogglePause, Stop. Stop keeps the position; Play then goes on
// from it. Every call belongs to the thread that created the player (the UI thread).
//
// Events: the end of the song (Complete) and a playback error (ErrorAbort) are queued; with
// SetNotify(true) each one is announced by eventsQueued() on the owning thread, from the GLib
// main loop (the Qt event loop), never from a streaming thread. The owner then takes every
// queued event with GetEvent. Reset discards queued events and switches notification off.
class MusicPlayer : public QObject, public MediaGraph {
    Q_OBJECT

public:
    explicit MusicPlayer(QObject* parent = nullptr);
    ~MusicPlayer() override;

    void Reset() override;
    int Stop() override;

    // Opens the file and makes the graph ready to play (rolled up, so that the duration is
    // known). 0 on success; negative when the file cannot be played (LastError says why).
    int Open(const std::string& path);
    // Length in whole seconds; 0 when unknown or nothing is open. A file whose graph cannot
    // tell its length before it has played a while (an MP3 without a length header) is
    // measured once by the probe of media/MediaProbe.h.
    int64_t GetDurationSec();
    // Position in milliseconds; 0 when unknown or nothing is open.
    int64_t GetPositionMs() const;
    // Seeks to the key frame at or before `ms` from the start; a negative position is the
    // start. Nothing when no file is open.
    void SeekMs(int64_t ms);

    // Announce queued events through eventsQueued (off after construction and Reset).
    void SetNotify(bool on) { m_notify = on; }
    // Takes the oldest queued event; false when none is left.
    bool GetEvent(MediaEvent& event);

Q_SIGNALS:
    void eventsQueued();

protected:
    void OnBusMessage(GstMessage* message) override;

private:
    void queueEvent(MediaEvent event);
    // Connects what every new pipeline needs (the MIDI gain).
    void setUpPipeline();

    std::string m_path;
    std::unique_ptr<ToneStage> m_tone;
    std::optional<int64_t> m_probedSeconds;
    bool m_opened = false;
    bool m_notify = false;
    std::deque<MediaEvent> m_events;
};
