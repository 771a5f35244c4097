#include <gtest/gtest.h>

#include <QSignalSpy>

#include "library/SongEntry.h"
#include "playback/MelodeckDoc.h"
#include "resources/CommandIds.h"
#include "shell/Settings.h"
#include "tests/playback/FakeMedia.h"
#include "tests/support/TestSupport.h"

namespace {

class PlaybackController : public ::testing::Test {
protected:
    PlaybackController() {
        theSettings.SetFilePath(folder.file("OrvMelodeck.ini").c_str());
        writeSetting(ConfigKey::AppPath, folder.path());
        doc.AttachViews(&songList, &lyrics);
    }
    ~PlaybackController() override { theSettings.SetFilePath(nullptr); }

    void addSongs(std::initializer_list<const char*> names) {
        for (const char* name : names) {
            doc.m_songs.push_back(
                MakeSongEntry(folder.file(name), std::string("歌手 - ") + name, 61));
        }
    }
    std::string song(const char* name) const { return folder.file(name); }

    TempDir folder;
    FakePlayer player;
    FakeCapture recorder;
    FakeCapture monitor;
    int lyricOffset = 700;
    FakeSongList songList;
    FakeLyrics lyrics;
    CMelodeckDoc doc{MediaObjects{&player, &recorder, &monitor, &lyricOffset}};
};

TEST_F(PlaybackController, PlayWithAnEmptyListAsksForFilesAndStaysStopped) {
    QSignalSpy askedForFiles(&doc, &CMelodeckDoc::addMusicFilesRequested);
    doc.OnPlay();
    EXPECT_EQ(askedForFiles.count(), 1);
    EXPECT_EQ(doc.m_playState, kStopped);
    EXPECT_TRUE(player.attempts.empty());
    EXPECT_FALSE(doc.IsTimerRunning(2));
}

TEST_F(PlaybackController, PlayStartsAtTheFirstSongAndSetsUpTheSong) {
    addSongs({"a.mp3", "b.mp3"});
    doc.OnPlay();
    EXPECT_EQ(doc.m_curSong, 0);
    EXPECT_EQ(doc.m_playingSong, 0);
    EXPECT_EQ(player.opened, song("a.mp3"));
    EXPECT_EQ(player.state, FakePlayer::State::Running);
    EXPECT_EQ(doc.m_playState, kPlaying);
    EXPECT_EQ(doc.m_playingName, "歌手 - a.mp3");
    EXPECT_EQ(doc.m_playingDuration, "01:01");
    EXPECT_EQ(doc.m_playingCategoryName, "歌曲列表1");
    EXPECT_EQ(songList.marked, std::vector<int>{0});
    ASSERT_EQ(lyrics.loads.size(), 1U);
    EXPECT_EQ(lyrics.loads[0], folder.path() + "MyLyrics/歌手/a.mp3.lrc");
    // A loaded lyric starts timer 1 and resets the lyric offset.
    EXPECT_TRUE(doc.IsTimerRunning(1));
    EXPECT_TRUE(doc.IsTimerRunning(2));
    EXPECT_EQ(lyricOffset, 0);
}

TEST_F(PlaybackController, MissingLyricsLeaveTimerOneOffAndTheOffsetAlone) {
    lyrics.lyricsExist = false;
    addSongs({"a.mp3"});
    doc.OnPlay();
    EXPECT_EQ(doc.m_playState, kPlaying);
    EXPECT_FALSE(doc.IsTimerRunning(1));
    EXPECT_TRUE(doc.IsTimerRunning(2));
    EXPECT_EQ(lyricOffset, 700);
}

TEST_F(PlaybackController, UnopenableSongsAreSkippedAndTheListWrapsAround) {
    addSongs({"a.mp3", "b.mp3", "c.mp3"});
    player.unplayable = {song("b.mp3")};
    doc.OnPlay();
    EXPECT_EQ(player.opened, song("a.mp3"));
    player.completed();
    EXPECT_EQ(player.opened, song("c.mp3"));
    EXPECT_EQ(doc.m_curSong, 2);
    EXPECT_EQ(doc.m_playingSong, 2);
    // After the last song the list starts again; no row is selected on the way.
    player.completed();
    EXPECT_EQ(player.opened, song("a.mp3"));
    EXPECT_EQ(doc.m_curSong, 0);
    EXPECT_EQ(songList.selected, std::vector<int>{1});
    EXPECT_EQ(doc.m_playState, kPlaying);
}

TEST_F(PlaybackController, NoOpenableSongTriesEachOnceAndSaysSo) {
    addSongs({"a.mp3", "b.mp3"});
    player.unplayable = {song("a.mp3"), song("b.mp3")};
    QSignalSpy status(&doc, &CMelodeckDoc::statusMessage);
    doc.m_curSong = 1;
    doc.OnPlay();
    EXPECT_EQ(player.attempts, (std::vector<std::string>{song("b.mp3"), song("a.mp3")}));
    EXPECT_EQ(doc.m_playState, kStopped);
    EXPECT_EQ(doc.m_playingSong, -1);
    EXPECT_EQ(status.count(), 1);
    EXPECT_FALSE(doc.IsTimerRunning(2));
}

TEST_F(PlaybackController, CurrentSongPastTheEndCountsAsNone) {
    addSongs({"a.mp3", "b.mp3"});
    doc.m_curSong = 4;
    doc.OnPlay();
    EXPECT_EQ(doc.m_curSong, 0);
    EXPECT_EQ(player.opened, song("a.mp3"));
}

TEST_F(PlaybackController, PauseTogglesOnlyWhilePlaying) {
    doc.OnPause();
    EXPECT_EQ(doc.m_playState, kStopped);
    addSongs({"a.mp3"});
    doc.OnPlay();
    doc.OnPause();
    EXPECT_EQ(doc.m_playState, kPaused);
    EXPECT_EQ(player.state, FakePlayer::State::Paused);
    // Timers keep running while paused.
    EXPECT_TRUE(doc.IsTimerRunning(2));
    doc.OnPause();
    EXPECT_EQ(doc.m_playState, kPlaying);
    EXPECT_EQ(player.state, FakePlayer::State::Running);
}

TEST_F(PlaybackController, StopWhileStoppedOnlyDropsTheVideo) {
    lyrics.video = "clip.avi";
    doc.OnStop();
    EXPECT_TRUE(lyrics.video.empty());
    EXPECT_TRUE(songList.cleared.empty());

    addSongs({"a.mp3"});
    doc.OnPlay();
    doc.OnStop();
    EXPECT_EQ(doc.m_playState, kStopped);
    EXPECT_EQ(songList.cleared, std::vector<int>{0});
    EXPECT_FALSE(doc.IsTimerRunning(1));
    EXPECT_FALSE(doc.IsTimerRunning(2));
    EXPECT_EQ(player.state, FakePlayer::State::Stopped);
}

TEST_F(PlaybackController, StatusPanesShowPositionDurationAndSong) {
    addSongs({"a.mp3"});
    doc.OnPlay();
    player.position = 125'400;
    EXPECT_EQ(doc.TimePaneText(), QStringLiteral("02:05/01:01"));
    EXPECT_EQ(doc.SongPaneText(), QStringLiteral("正在播放 歌曲列表1:歌手 - a.mp3"));
}

TEST_F(PlaybackController, RecordWritesBeginTimeAndFailuresCanBeRetried) {
    QSignalSpy errors(&doc, &CMelodeckDoc::errorMessage);
    QSignalSpy texts(&doc, &CMelodeckDoc::commandTextChanged);
    recorder.buildError = "创建音频采集设备失败，操作无法进行。";
    doc.OnRecord();
    EXPECT_FALSE(doc.IsRecording());
    ASSERT_EQ(errors.count(), 1);
    EXPECT_EQ(errors[0][0].toString().toStdString(), recorder.buildError);

    recorder.buildError.clear();
    player.position = 4200;
    doc.OnRecord();
    EXPECT_TRUE(doc.IsRecording());
    EXPECT_TRUE(recorder.running);
    EXPECT_EQ(recorder.lastPath, folder.path() + "temp.mp3");
    EXPECT_EQ(recorder.lastSettings.rateChoice, 441000);
    EXPECT_EQ(recorder.lastSettings.channels, 2);
    // The stored 0.050000 s adds no whole second.
    EXPECT_EQ(readSetting(ConfigKey::RecordBeginTime), 4200);
    ASSERT_EQ(texts.count(), 1);
    EXPECT_EQ(texts[0][0].toInt(), kCmdRecord);
    EXPECT_EQ(texts[0][1].toString(), QStringLiteral("停止"));

    doc.OnRecord();
    EXPECT_FALSE(recorder.running);
    EXPECT_EQ(texts.last()[1].toString(), QStringLiteral("录音"));
}

TEST_F(PlaybackController, RecordOffWhileSingingEndsOnlyTheMonitorRestart) {
    doc.OnSing();
    EXPECT_TRUE(monitor.running);
    EXPECT_EQ(monitor.lastSettings.rateChoice, 22050);
    EXPECT_TRUE(doc.IsTimerRunning(3));
    doc.OnRecord();
    doc.OnRecord();
    EXPECT_TRUE(monitor.running);
    EXPECT_FALSE(doc.IsTimerRunning(3));
    doc.OnSing();
    EXPECT_FALSE(doc.IsSinging());
    EXPECT_FALSE(monitor.running);
}

TEST_F(PlaybackController, PeriodsOfZeroNeverRunATimerFlatOut) {
    writeSetting(ConfigKey::LyricsTimer, 0);
    writeSetting(ConfigKey::PhoneRefreshTimerSing, 0);
    addSongs({"a.mp3"});
    doc.OnPlay();
    EXPECT_TRUE(doc.IsTimerRunning(1));
    EXPECT_EQ(doc.m_lyricPeriod, 500);
    doc.OnSing();
    EXPECT_TRUE(monitor.running);
    EXPECT_FALSE(doc.IsTimerRunning(3));
}

TEST_F(PlaybackController, ReplayPlaysTheRecordingWithoutAdvancingTheList) {
    addSongs({"a.mp3", "b.mp3"});
    doc.OnPlay();
    doc.OnReplay();
    EXPECT_TRUE(doc.IsReplaying());
    EXPECT_EQ(player.opened, folder.path() + "temp.mp3");
    EXPECT_EQ(doc.m_playState, kStopped);
    EXPECT_FALSE(doc.IsTimerRunning(2));
    // The end of the recording moves nothing on.
    player.completed();
    EXPECT_EQ(player.opened, folder.path() + "temp.mp3");
    doc.OnReplay();
    EXPECT_FALSE(doc.IsReplaying());
    EXPECT_EQ(player.state, FakePlayer::State::Empty);
}

TEST_F(PlaybackController, ReplayOfAMissingRecordingStaysOff) {
    player.unplayable = {folder.path() + "temp.mp3"};
    doc.OnReplay();
    EXPECT_FALSE(doc.IsReplaying());
}

TEST_F(PlaybackController, PlayWithLyricKeepsTheListPosition) {
    addSongs({"a.mp3", "b.mp3"});
    doc.m_curSong = 1;
    doc.PlayWithLyric(folder.file("x.lrc"), song("found.mp3"));
    EXPECT_EQ(player.opened, song("found.mp3"));
    EXPECT_EQ(lyrics.loads, std::vector<std::string>{folder.file("x.lrc")});
    EXPECT_EQ(doc.m_curSong, 1);
    EXPECT_EQ(doc.m_playState, kPlaying);
    EXPECT_TRUE(doc.IsTimerRunning(1));
    // The shift the user set stays for the chosen lyric.
    EXPECT_EQ(lyricOffset, 700);
}

}  // namespace

namespace {

TEST_F(PlaybackController, NextAndPreviousFollowTheListAndPassOverUnplayableSongs) {
    addSongs({"a.mp3", "b.mp3", "c.mp3", "d.mp3"});
    player.unplayable = {song("b.mp3")};
    doc.OnNextSong();  // nothing plays yet: the first song
    EXPECT_EQ(player.opened, song("a.mp3"));
    doc.OnNextSong();
    EXPECT_EQ(player.opened, song("c.mp3")) << "b cannot be opened";
    EXPECT_EQ(doc.m_playingSong, 2);
    EXPECT_EQ(doc.m_curSong, 2);
    EXPECT_EQ(songList.selected.back(), 2);
    doc.OnPreviousSong();
    EXPECT_EQ(player.opened, song("a.mp3")) << "b is passed over backwards too";
    doc.OnPreviousSong();
    EXPECT_EQ(player.opened, song("d.mp3")) << "wraps round to the end";
    doc.OnNextSong();
    EXPECT_EQ(player.opened, song("a.mp3")) << "and back to the top";
    EXPECT_EQ(doc.m_playState, kPlaying);
    EXPECT_EQ(songList.marked.back(), 0);

    // Nothing playable: stopped, and the status pane says so.
    QSignalSpy messages(&doc, &CMelodeckDoc::statusMessage);
    player.unplayable = {song("a.mp3"), song("b.mp3"), song("c.mp3"), song("d.mp3")};
    doc.OnNextSong();
    EXPECT_EQ(doc.m_playState, kStopped);
    EXPECT_EQ(messages.count(), 1);
}

TEST_F(PlaybackController, TheSongPaneTellsWhatPlaysOrThatNothingDoes) {
    addSongs({"a.mp3"});
    QSignalSpy ticks(&doc, &CMelodeckDoc::statusTick);
    doc.OnPlay();
    EXPECT_EQ(ticks.last()[1].toString(), QStringLiteral("正在播放 歌曲列表1:歌手 - a.mp3"));
    doc.OnPause();
    EXPECT_EQ(ticks.last()[1].toString(), QStringLiteral("已暂停 歌曲列表1:歌手 - a.mp3"));
    doc.OnPause();
    doc.OnStop();
    EXPECT_EQ(ticks.last()[1].toString(), QStringLiteral("已停止 歌曲列表1:歌手 - a.mp3"));
    EXPECT_EQ(doc.DurationMs(), 0);
    doc.PlayVideoFile("/videos/卡拉OK.dat");
    EXPECT_EQ(ticks.last()[1].toString(), QStringLiteral("正在播放视频 卡拉OK.dat"));
    doc.OnStop();
    EXPECT_EQ(ticks.last()[1].toString().left(3), QStringLiteral("已停止"));
}

TEST_F(PlaybackController, ARecordingThatCannotStartOrBeKeptIsReported) {
    QSignalSpy errors(&doc, &CMelodeckDoc::errorMessage);
    QSignalSpy texts(&doc, &CMelodeckDoc::commandTextChanged);
    recorder.playError = "cannot write the recording";
    doc.OnRecord();
    EXPECT_FALSE(doc.IsRecording());
    ASSERT_EQ(errors.count(), 1);
    EXPECT_TRUE(errors[0][0].toString().contains("cannot write the recording"));
    EXPECT_EQ(texts.count(), 0) << "the button keeps its text";

    recorder.playError.clear();
    recorder.stopError = "cannot put the recording in place";
    doc.OnRecord();
    EXPECT_TRUE(doc.IsRecording());
    doc.OnRecord();
    EXPECT_FALSE(doc.IsRecording());
    ASSERT_EQ(errors.count(), 2);
    EXPECT_TRUE(errors[1][0].toString().contains("cannot put the recording in place"));
    EXPECT_EQ(texts.last()[1].toString(), QStringLiteral("录音"));
}

}  // namespace
