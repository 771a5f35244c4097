#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <memory>
#include <string>
#include <vector>

#include "library/SongEntry.h"
#include "playback/KaraokeSong.h"
#include "playback/MediaPorts.h"
#include "playback/PlaybackPanes.h"

// Playback states of m_playState.
enum PlayState : int { kStopped = 0, kPlaying = 1, kPaused = 2 };

// The media objects the application owns for the whole run; the document only uses them.
struct MediaObjects {
    SongPlayer* player = nullptr;
    CaptureGraph* recorder = nullptr;
    CaptureGraph* monitor = nullptr;
    // Signed lyric shift in ms that the lyrics view applies; the status bar changes it.
    int* lyricOffset = nullptr;
};

// The document: the shown category's song list and the playback of its songs. Both views
// reach it; it owns the three playback timers (1: lyric line, 2: status panes, 3: live
// monitor restart).
class CMelodeckDoc : public QObject {
    Q_OBJECT

public:
    explicit CMelodeckDoc(const MediaObjects& media, QObject* parent = nullptr);
    ~CMelodeckDoc() override;
    CMelodeckDoc(const CMelodeckDoc&) = delete;
    CMelodeckDoc& operator=(const CMelodeckDoc&) = delete;

    // Takes the two views (song list first), as a new document does.
    void AttachViews(SongListPane* songList, LyricsPane* lyrics);

    // Playback commands.
    void OnPlay();
    void OnStop();
    void OnPause();
    // The next or the previous song of the shown list, wrapping round; songs that cannot be
    // opened are passed over in the same direction.
    void OnNextSong();
    void OnPreviousSong();
    void OnSing();
    void OnRecord();
    void OnReplay();
    // Asks for the synthesizer over the current song: its path and display name, or both empty
    // when there is no current song.
    void OnSynthesize();
    // Plays a video file inside the lyrics view; the song list is left alone.
    void PlayVideoFile(const std::string& path);
    // Plays `mediaPath` with the lyric file `lyricPath`, outside the song list.
    void PlayWithLyric(const std::string& lyricPath, const std::string& mediaPath);
    // The open song played to its end: move on to the next one.
    void OnSongCompleted();
    // The options were written: the live monitor is built again with them (and plays while
    // singing), and running timers take their new periods.
    void ApplyOptions();

    // The player's position in ms (0 without a player).
    long long PositionMs() const;
    // The open song's length in ms (0 when unknown or without a player).
    long long DurationMs() const;
    // The file of the current row, else of the song that plays; empty when there is none.
    std::string CurrentSongPath() const;
    // The file opened last for playing (also outside the list); empty before the first.
    const std::string& PlayingPath() const { return m_playingPath; }
    // Status bar texts of timer 2: "mm:ss/<duration>" and "正在播放 <category>:<name>".
    QString TimePaneText() const;
    QString SongPaneText() const;

    SongPlayer* Player() const { return m_player; }
    int& LyricOffset() { return *m_lyricOffset; }
    bool IsSinging() const { return m_singing; }
    bool IsRecording() const { return m_recording; }
    bool IsReplaying() const { return m_replaying; }
    // Whether playback timer 1 (lyric line), 2 (status panes) or 3 (monitor restart) runs.
    bool IsTimerRunning(int timerId) const;

    // The shown category's list (row order) and the current song, −1 for none.
    std::vector<SongEntry> m_songs;
    int m_curSong = -1;
    // Row marked as playing, −1 for none.
    int m_playingSong = -1;
    int m_curCategory = 0;
    int m_playingCategory = 0;
    std::string m_playingCategoryName;
    std::string m_playingName;
    std::string m_playingDuration;
    std::vector<std::string> m_pendingFiles;

    int m_playState = kStopped;
    int m_lyricPeriod = 500;

signals:
    // Timer 1: the lyrics view moves its current line to the position.
    void lyricTick(long long positionMs);
    // Timer 2: the status bar's time and song panes.
    void statusTick(const QString& timeText, const QString& songText);
    // Play found an empty list: the add-music-files command should run.
    void addMusicFilesRequested();
    // The synthesizer should open with this music and title.
    void synthesizerRequested(const QString& musicPath, const QString& title);
    // A text for the status bar's song pane (pane 3).
    void statusMessage(const QString& text);
    // A failure the user must see in a message box.
    void errorMessage(const QString& text);
    // The text of a toolbar button (by command id) changed.
    void commandTextChanged(int commandId, const QString& text);
    // m_playState, m_singing, m_recording or m_replaying changed.
    void playbackStateChanged();
    // The display name of the list's `row` changed (a lyric was found for it).
    void songRenamed(int row);
    // A song or media file was opened and is about to play.
    void songStarted(const QString& path);

private:
    // Opens m_curSong, or the songs after it (`step` 1) or before it (-1), each tried once.
    bool openFromCurrent(int step = 1);
    // Opens the song's audio (a zip pair's from its private copy) in the player; a refusal
    // of the song is kept in `refusal`.
    bool openSong(const std::string& path, QString& refusal);
    // Plays the song `step` rows from the playing (else the current) one.
    void playNeighbour(int step);
    void refreshStatus();
    void startSong();
    // True when the lyric was loaded and timer 1 runs.
    bool loadLyricsAndTimers(const std::string& lyricPath);
    void startPlayer();
    // The recording file and the recorder's reason for a failure, for a message.
    QString recordingFailure() const;
    void startLyricTimer();
    void startMonitorRestart();
    // Reset and Build of the live monitor with the "PhoneSet" values; false when it failed.
    bool rebuildMonitor();

    SongPlayer* m_player;
    CaptureGraph* m_recorder;
    CaptureGraph* m_monitor;
    int* m_lyricOffset;
    SongListPane* m_songList = nullptr;
    LyricsPane* m_lyricsView = nullptr;
    bool m_singing = false;
    bool m_recording = false;
    bool m_replaying = false;
    // The video that plays in the lyrics view, empty when none.
    std::string m_videoName;
    std::string m_playingPath;
    // The open song's audio and graphics (MP3+G), while it is open.
    std::unique_ptr<KaraokeSong> m_karaoke;
    QTimer m_lyricTimer;
    QTimer m_statusTimer;
    QTimer m_monitorTimer;
};
