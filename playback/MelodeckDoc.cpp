#include "playback/MelodeckDoc.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <limits>

#include "lyrics/LyricFile.h"
#include "lyrics/LyricLibrary.h"
#include "media/ToneStage.h"
#include "resources/CommandIds.h"
#include "resources/PlayerStrings.h"
#include "resources/StringTable.h"
#include "shell/ProgramFolder.h"
#include "shell/Settings.h"

namespace {

// Status bar timer period, ms.
constexpr int kStatusPeriodMs = 1000;
// Longest monitor restart period that a timer can hold in ms.
constexpr int kLongestRestartSeconds = std::numeric_limits<int>::max() / 1000;

QString text(int id) {
    return QString::fromUtf8(loadString(id));
}

std::string recordingPath() {
    return ProgramFolder::current() + ProgramFolder::RecordingFile;
}

// The library file of a song: the display name split into singer and title.
std::string lyricFileFor(const SongEntry& song) {
    return LyricSourceFor(LyricLibraryPath(SplitDisplayName(song.DisplayName)), song.Path);
}

// The settings section of a capture graph; the sing command and the recorder differ only in
// section and defaults.
struct CaptureKeys {
    IntKey channels;
    IntKey bytesPerSample;
    IntKey rateChoice;
    IntKey bufferCount;
    DoubleKey bufferSeconds;
};

CaptureSettings captureSettings(const CaptureKeys& keys) {
    CaptureSettings s;
    s.channels = readSetting(keys.channels);
    s.bytesPerSample = readSetting(keys.bytesPerSample);
    s.rateChoice = readSetting(keys.rateChoice);
    s.bufferCount = readSetting(keys.bufferCount);
    s.bufferSeconds = static_cast<float>(readSetting(keys.bufferSeconds));
    return s;
}

constexpr CaptureKeys kMonitorKeys{ConfigKey::PhoneChannel, ConfigKey::PhoneByte,
                                   ConfigKey::PhoneFrenSing, ConfigKey::PhoneBuffernum,
                                   ConfigKey::PhoneDelay};
constexpr CaptureKeys kRecorderKeys{ConfigKey::RecordChannel, ConfigKey::RecordByte,
                                    ConfigKey::RecordFren, ConfigKey::RecordBuffernum,
                                    ConfigKey::RecordDelay};

}  // namespace

CMelodeckDoc::CMelodeckDoc(const MediaObjects& media, QObject* parent)
    : QObject(parent),
      m_curCategory(readSetting(ConfigKey::MusicListCurIndex)),
      m_playingCategory(m_curCategory),
      m_lyricPeriod(readSetting(ConfigKey::LyricsTimer)),
      m_player(media.player),
      m_recorder(media.recorder),
      m_monitor(media.monitor),
      m_lyricOffset(media.lyricOffset) {
    connect(&m_lyricTimer, &QTimer::timeout, this, [this] { emit lyricTick(PositionMs()); });
    connect(&m_statusTimer, &QTimer::timeout, this,
            [this] { emit statusTick(TimePaneText(), SongPaneText()); });
    connect(&m_monitorTimer, &QTimer::timeout, this, [this] { m_monitor->Restart(); });
    if (m_player != nullptr) {
        m_player->SetCompletionHandler([this] { OnSongCompleted(); });
    }
    KaraokeSong::RemoveStaleCopies();
}

CMelodeckDoc::~CMelodeckDoc() {
    if (m_player != nullptr) {
        m_player->SetCompletionHandler({});
    }
}

void CMelodeckDoc::AttachViews(SongListPane* songList, LyricsPane* lyrics) {
    m_songList = songList;
    m_lyricsView = lyrics;
}

bool CMelodeckDoc::IsTimerRunning(int timerId) const {
    switch (timerId) {
        case 1:
            return m_lyricTimer.isActive();
        case 2:
            return m_statusTimer.isActive();
        case 3:
            return m_monitorTimer.isActive();
        default:
            return false;
    }
}

long long CMelodeckDoc::PositionMs() const {
    return m_player != nullptr ? m_player->GetPositionMs() : 0;
}

long long CMelodeckDoc::DurationMs() const {
    return m_player != nullptr && m_playState != kStopped ? m_player->GetDurationMs() : 0;
}

std::string CMelodeckDoc::CurrentSongPath() const {
    if (m_curSong >= 0 && m_curSong < static_cast<int>(m_songs.size())) {
        return m_songs[static_cast<size_t>(m_curSong)].Path;
    }
    return m_playState != kStopped ? m_playingPath : std::string();
}

QString CMelodeckDoc::TimePaneText() const {
    const int tempo = PlaybackTone::tempo();
    // Away from the original tempo the pane shows playing time: a song at 80 % lasts longer.
    const auto playing = [tempo](long long songMs) { return songMs * 100 / tempo; };
    const auto clock = [](long long ms) {
        char buffer[32];
        std::snprintf(buffer, sizeof buffer, "%02lld:%02lld", ms / 60000, (ms / 1000) % 60);
        return QString::fromUtf8(buffer);
    };
    const long long p = PositionMs();
    if (tempo == PlaybackTone::kOriginalTempo || DurationMs() <= 0) {
        return clock(p) + '/' + QString::fromStdString(m_playingDuration);
    }
    return clock(playing(p)) + '/' + clock(playing(DurationMs()));
}

// The pane names what plays, and says so when nothing does.
QString CMelodeckDoc::SongPaneText() const {
    if (m_replaying) {
        return text(kStrReplayingRecording);
    }
    if (!m_videoName.empty()) {
        return text(kStrPlayingVideo) + ' ' + QString::fromStdString(m_videoName);
    }
    const int state = m_playState == kPlaying  ? kStrPlaying
                      : m_playState == kPaused ? kStrPausedState
                                               : kStrStoppedState;
    return text(state) + ' ' + QString::fromStdString(m_playingCategoryName) + ':' +
           QString::fromStdString(m_playingName);
}

void CMelodeckDoc::refreshStatus() {
    emit statusTick(TimePaneText(), SongPaneText());
}

// Opens the current song, or the next ones after it (each tried once, wrapping round).
bool CMelodeckDoc::openFromCurrent(int step) {
    const int count = static_cast<int>(m_songs.size());
    QString refusal;
    bool opened = false;
    for (int tried = 0; tried < count && !opened; ++tried) {
        m_playingSong = m_curSong;
        m_player->Reset();
        opened = openSong(m_songs[static_cast<size_t>(m_curSong)].Path, refusal);
        if (!opened) {
            m_curSong = (m_curSong + step + count) % count;
        }
    }
    // Said once, after the songs that can play were tried.
    if (!refusal.isEmpty()) {
        emit errorMessage(refusal);
    }
    return opened;
}

bool CMelodeckDoc::openSong(const std::string& path, QString& refusal) {
    std::string error;
    std::unique_ptr<KaraokeSong> song = KaraokeSong::Open(path, error);
    if (!song) {
        refusal = QString::fromStdString(error);
        return false;
    }
    if (!m_player->Open(song->AudioPath())) {
        return false;
    }
    m_karaoke = std::move(song);
    return true;
}

void CMelodeckDoc::OnNextSong() {
    playNeighbour(1);
}

void CMelodeckDoc::OnPreviousSong() {
    playNeighbour(-1);
}

void CMelodeckDoc::playNeighbour(int step) {
    const int count = static_cast<int>(m_songs.size());
    if (m_player == nullptr || count == 0) {
        return;
    }
    const bool playingHere = m_playState != kStopped && m_playingSong >= 0 &&
                             m_playingSong < count && m_playingCategory == m_curCategory;
    const int from = playingHere ? m_playingSong : std::clamp(m_curSong, -1, count - 1);
    OnStop();
    m_curSong = from < 0 ? (step > 0 ? 0 : count - 1) : (from + step + count) % count;
    if (!openFromCurrent(step)) {
        m_playingSong = -1;
        emit statusMessage(text(kStrNothingPlayable));
        return;
    }
    if (m_songList != nullptr) {
        m_songList->SelectRow(m_curSong);
    }
    startSong();
}

void CMelodeckDoc::OnPlay() {
    OnStop();
    if (m_player == nullptr) {
        return;
    }
    // An index left over from a longer list counts as none.
    if (m_curSong >= static_cast<int>(m_songs.size())) {
        m_curSong = -1;
    }
    if (m_curSong == -1) {
        if (m_songs.empty()) {
            emit addMusicFilesRequested();
            return;
        }
        m_curSong = 0;
    }
    if (!openFromCurrent()) {
        m_playingSong = -1;
        emit statusMessage(text(kStrNothingPlayable));
        return;
    }
    startSong();
}

void CMelodeckDoc::startSong() {
    const SongEntry& song = m_songs[static_cast<size_t>(m_playingSong)];
    m_playingName = song.DisplayName;
    m_playingPath = song.Path;
    m_playingDuration = song.DurationText;
    m_playingCategory = m_curCategory;
    if (m_songList != nullptr) {
        m_songList->MarkPlayingRow(m_playingSong);
        m_playingCategoryName = m_songList->SelectedCategoryName();
    }
    // MP3+G graphics take the view's place instead of a lyric.
    if (m_karaoke && m_karaoke->HasGraphics() && m_lyricsView != nullptr &&
        m_lyricsView->ShowGraphics(m_karaoke->TakeGraphics())) {
        startPlayer();
        return;
    }
    // A new song's lyric starts without the shift the user gave the last one.
    if (loadLyricsAndTimers(lyricFileFor(song))) {
        *m_lyricOffset = 0;
    }
    startPlayer();
}

bool CMelodeckDoc::loadLyricsAndTimers(const std::string& lyricPath) {
    if (m_lyricsView == nullptr || !m_lyricsView->LoadLyrics(lyricPath)) {
        return false;
    }
    startLyricTimer();
    return true;
}

void CMelodeckDoc::startLyricTimer() {
    m_lyricPeriod = readSetting(ConfigKey::LyricsTimer);
    // A period of 0 or less would run the timer flat out.
    if (m_lyricPeriod <= 0) {
        m_lyricPeriod = ConfigKey::LyricsTimer.def;
    }
    m_lyricTimer.start(m_lyricPeriod);
}

void CMelodeckDoc::startMonitorRestart() {
    // 0 or less means no periodic restart (a zero period would restart it without pause).
    const int seconds = readSetting(ConfigKey::PhoneRefreshTimerSing);
    if (seconds > 0) {
        m_monitorTimer.start(std::chrono::seconds(std::min(seconds, kLongestRestartSeconds)));
    } else {
        m_monitorTimer.stop();
    }
}

void CMelodeckDoc::startPlayer() {
    emit songStarted(QString::fromStdString(m_playingPath));
    m_player->Play();
    m_statusTimer.start(kStatusPeriodMs);
    m_playState = kPlaying;
    refreshStatus();
    emit playbackStateChanged();
}

void CMelodeckDoc::OnStop() {
    if (m_lyricsView != nullptr) {
        m_lyricsView->StopVideo();
        m_lyricsView->StopGraphics();
    }
    if (!m_videoName.empty()) {
        m_videoName.clear();
        refreshStatus();
    }
    if (m_playState == kStopped) {
        return;
    }
    m_player->Stop();
    m_karaoke.reset();
    if (m_songList != nullptr && m_playingSong >= 0) {
        m_songList->ClearRowMarks(m_playingSong);
    }
    m_lyricTimer.stop();
    m_statusTimer.stop();
    m_playState = kStopped;
    refreshStatus();
    emit playbackStateChanged();
}

void CMelodeckDoc::OnPause() {
    if (m_playState == kStopped) {
        return;
    }
    m_player->TogglePause();
    m_playState = m_playState == kPlaying ? kPaused : kPlaying;
    refreshStatus();
    emit playbackStateChanged();
}

void CMelodeckDoc::OnSongCompleted() {
    // The play-back of a recording leaves m_playState at 0 and moves nothing on.
    if (m_playState == kStopped) {
        return;
    }
    m_player->Stop();
    m_curSong = m_curSong + 1 < static_cast<int>(m_songs.size()) ? m_curSong + 1 : -1;
    if (m_curSong != -1 && m_songList != nullptr) {
        m_songList->SelectRow(m_curSong);
    }
    OnPlay();
}

void CMelodeckDoc::OnSynthesize() {
    if (m_curSong < 0 || m_curSong >= static_cast<int>(m_songs.size())) {
        emit synthesizerRequested({}, {});
        return;
    }
    const SongEntry& song = m_songs[static_cast<size_t>(m_curSong)];
    emit synthesizerRequested(QString::fromStdString(song.Path),
                              QString::fromStdString(song.DisplayName));
}

void CMelodeckDoc::PlayWithLyric(const std::string& lyricPath, const std::string& mediaPath) {
    OnStop();
    if (m_player == nullptr) {
        return;
    }
    m_player->Reset();
    m_player->Open(mediaPath);
    m_playingPath = mediaPath;
    loadLyricsAndTimers(lyricPath);
    startPlayer();
}

void CMelodeckDoc::PlayVideoFile(const std::string& path) {
    OnStop();
    if (m_lyricsView != nullptr) {
        m_lyricsView->StopVideo();
        m_lyricsView->PlayVideo(path);
        m_videoName = path.substr(path.find_last_of('/') + 1);
        refreshStatus();
    }
}

void CMelodeckDoc::OnSing() {
    if (m_monitor == nullptr) {
        return;
    }
    m_singing = !m_singing;
    if (!m_singing) {
        m_monitor->Stop();
        m_monitorTimer.stop();
    } else {
        // A monitor that cannot be built stays silent.
        if (rebuildMonitor()) {
            m_monitor->Play();
        }
        startMonitorRestart();
    }
    emit playbackStateChanged();
}

bool CMelodeckDoc::rebuildMonitor() {
    m_monitor->Reset();
    std::string ignored;
    return m_monitor->Build(captureSettings(kMonitorKeys), {}, ignored);
}

void CMelodeckDoc::ApplyOptions() {
    if (m_lyricTimer.isActive()) {
        startLyricTimer();
    }
    if (m_monitor == nullptr) {
        return;
    }
    if (rebuildMonitor() && m_singing) {
        m_monitor->Play();
    } else {
        m_monitor->Stop();
    }
    if (m_monitorTimer.isActive()) {
        startMonitorRestart();
    }
}

void CMelodeckDoc::OnRecord() {
    if (m_recorder == nullptr) {
        return;
    }
    if (m_recording) {
        m_recording = false;
        const bool kept = m_recorder->Stop();
        m_monitorTimer.stop();
        emit commandTextChanged(kCmdRecord, text(kStrRecordButton));
        emit playbackStateChanged();
        if (!kept) {
            emit errorMessage(text(kStrRecordingNotSaved).arg(recordingFailure()));
        }
        return;
    }
    m_recorder->Reset();
    std::string error;
    if (!m_recorder->Build(captureSettings(kRecorderKeys), recordingPath(), error)) {
        emit errorMessage(QString::fromStdString(error));
        emit playbackStateChanged();
        return;
    }
    if (!m_recorder->Play()) {
        const QString failure = recordingFailure();
        m_recorder->Reset();
        emit errorMessage(text(kStrRecordingNotStarted).arg(failure));
        emit playbackStateChanged();
        return;
    }
    m_recording = true;
    // Only the whole seconds of the stored buffer length count here.
    const long long position = PositionMs();
    writeSetting(
        ConfigKey::RecordBeginTime,
        static_cast<int>(position + 1000LL * theSettings.ReadInt(ConfigKey::RecordDelay.section,
                                                                 ConfigKey::RecordDelay.key, 0)));
    emit commandTextChanged(kCmdRecord, text(kStrStopButton));
    emit playbackStateChanged();
}

QString CMelodeckDoc::recordingFailure() const {
    return QString::fromStdString(recordingPath()) + "\n" +
           QString::fromStdString(m_recorder->LastError());
}

void CMelodeckDoc::OnReplay() {
    OnStop();
    if (m_player == nullptr) {
        return;
    }
    if (m_replaying) {
        m_replaying = false;
        m_player->Stop();
        m_player->Reset();
        refreshStatus();
        emit commandTextChanged(kCmdReplay, text(kStrReplayButton));
        emit playbackStateChanged();
        return;
    }
    m_player->Reset();
    if (!m_player->Open(recordingPath())) {
        emit playbackStateChanged();
        return;
    }
    m_player->Play();
    m_replaying = true;
    refreshStatus();
    emit commandTextChanged(kCmdReplay, text(kStrStopButton));
    emit playbackStateChanged();
}
