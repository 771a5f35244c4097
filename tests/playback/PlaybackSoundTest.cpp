#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <filesystem>

#include "library/SongEntry.h"
#include "playback/EnginePorts.h"
#include "playback/MelodeckDoc.h"
#include "shell/DemoSong.h"
#include "shell/Settings.h"
#include "tests/media/MediaFixtures.h"
#include "tests/playback/FakeMedia.h"
#include "tests/support/TestSupport.h"

// The playback controller on the real song player and the test sound server.

namespace {

bool runEventsUntil(const std::function<bool()>& done, int timeoutMs) {
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < timeoutMs) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return done();
}

class PlaybackSound : public ::testing::Test {
protected:
    PlaybackSound() {
        theSettings.SetFilePath(folder.file("OrvMelodeck.ini").c_str());
        writeSetting(ConfigKey::AppPath, folder.path());
        doc.AttachViews(&songList, &lyrics);
    }
    ~PlaybackSound() override { theSettings.SetFilePath(nullptr); }

    void add(const std::string& path) { doc.m_songs.push_back(MakeSongEntry(path, path, 1)); }

    TempDir folder;
    MusicPlayerPort player;
    int lyricOffset = 0;
    FakeSongList songList;
    FakeLyrics lyrics;
    CMelodeckDoc doc{MediaObjects{&player, nullptr, nullptr, &lyricOffset}};
};

TEST_F(PlaybackSound, SongsFollowOneAnotherSkippingUnplayableOnesAndWrapAround) {
    makeToneWav(folder.file("a.wav"), 0.5);
    writeBytes(folder.file("b.mp3"), "not a song at all");
    makeToneWav(folder.file("c.wav"), 0.5);
    add(folder.file("a.wav"));
    add(folder.file("b.mp3"));
    add(folder.file("c.wav"));

    doc.OnPlay();
    ASSERT_EQ(doc.m_playState, kPlaying);
    EXPECT_EQ(doc.m_playingSong, 0);
    ASSERT_TRUE(runEventsUntil([&] { return doc.m_playingSong == 2; }, 10000));
    EXPECT_EQ(doc.m_playState, kPlaying);
    ASSERT_TRUE(runEventsUntil([&] { return doc.m_playingSong == 0; }, 10000));
    doc.OnStop();
    EXPECT_EQ(doc.m_playState, kStopped);
}

TEST_F(PlaybackSound, TheDemoSongPlaysAndPausesInPlace) {
    ASSERT_TRUE(DemoSong::InstallIfFresh(folder.path()));
    add(DemoSong::MidiPath(folder.path()));
    doc.OnPlay();
    ASSERT_EQ(doc.m_playState, kPlaying);
    ASSERT_TRUE(runEventsUntil([&] { return doc.PositionMs() > 300; }, 10000));
    doc.OnPause();
    const long long paused = doc.PositionMs();
    runEventsUntil([] { return false; }, 300);
    EXPECT_LT(doc.PositionMs() - paused, 100);
    doc.OnPause();
    EXPECT_TRUE(runEventsUntil([&] { return doc.PositionMs() > paused + 200; }, 5000));
}

// The document over the real recorder and monitor, in a fresh program folder.
class PlaybackRecording : public ::testing::Test {
protected:
    PlaybackRecording() {
        theSettings.SetFilePath(folder.file("OrvMelodeck.ini").c_str());
        writeSetting(ConfigKey::AppPath, folder.path());
    }
    ~PlaybackRecording() override { theSettings.SetFilePath(nullptr); }

    TempDir folder;
    MusicPlayerPort player;
    VoiceRecorderPort recorder;
    MicMonitorPort monitor;
    int lyricOffset = 0;
    CMelodeckDoc doc{MediaObjects{&player, &recorder, &monitor, &lyricOffset}};
};

TEST_F(PlaybackRecording, TheRecordButtonDrivesTheRealRecorder) {
    doc.OnRecord();
    EXPECT_TRUE(doc.IsRecording());
    runEventsUntil([] { return false; }, 500);
    doc.OnRecord();
    EXPECT_FALSE(doc.IsRecording());
    doc.OnSing();
    EXPECT_TRUE(doc.IsSinging());
    doc.OnSing();
}

// Names that even the superuser cannot write over: folders where the take and the recording
// should go.
TEST_F(PlaybackRecording, ATakeThatCannotBeWrittenOrKeptIsReportedAndTheButtonComesBack) {
    QSignalSpy errors(&doc, &CMelodeckDoc::errorMessage);

    std::filesystem::create_directories(folder.file("temp.mp3.part"));
    doc.OnRecord();
    EXPECT_FALSE(doc.IsRecording());
    EXPECT_EQ(errors.count(), 1);

    std::filesystem::remove(folder.file("temp.mp3.part"));
    std::filesystem::create_directories(folder.file("temp.mp3/taken"));
    doc.OnRecord();
    ASSERT_TRUE(doc.IsRecording());
    runEventsUntil([] { return false; }, 300);
    doc.OnRecord();
    EXPECT_FALSE(doc.IsRecording());
    EXPECT_EQ(errors.count(), 2);
    EXPECT_TRUE(std::filesystem::is_directory(folder.file("temp.mp3/taken")));
}

}  // namespace
