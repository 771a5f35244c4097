#include <gtest/gtest.h>

#include <unistd.h>

#include <QSignalSpy>
#include <filesystem>

#include "lyrics/ui/LyricsView.h"
#include "lyrics/ui/VideoSurface.h"
#include "playback/EnginePorts.h"
#include "playback/MelodeckDoc.h"
#include "resources/CommandIds.h"
#include "tests/media/CdgWriter.h"
#include "tests/media/MediaFixtures.h"
#include "tests/media/ZipMaker.h"
#include "tests/playback/FakeMedia.h"
#include "tests/views/GuiTestSupport.h"
#include "tests/views/ProgramFolderFixture.h"

// MP3+G songs in the lyrics view, on the real song player and the test sound server.

namespace {

constexpr std::uint32_t kRed = 0xFFFF0000;
constexpr std::uint32_t kGreen = 0xFF00FF00;

// Red from the start, a green border from 1 s.
std::string twoStepDisc() {
    CdgWriter disc;
    disc.colorTable(false, {0x000, 0xF00, 0x0F0, 0x00F, 0xFFF, 0, 0, 0}).memoryPreset(1);
    disc.at(300).borderPreset(2).at(900);
    return disc.bytes();
}

// This process's private copies of zipped audio.
std::vector<std::string> privateCopies() {
    std::vector<std::string> copies;
    std::error_code error;
    const std::string prefix = std::to_string(getpid()) + '-';
    for (const auto& item :
         std::filesystem::directory_iterator(KaraokeSong::PrivateFolder(), error)) {
        if (item.path().filename().string().rfind(prefix, 0) == 0) {
            copies.push_back(item.path().string());
        }
    }
    return copies;
}

class Mp3gViewTest : public ProgramFolderFixture {
protected:
    void SetUp() override {
        ProgramFolderFixture::SetUp();
        view.AttachDocument(&doc);
        doc.AttachViews(&songList, &view);
        view.resize(600, 432);
        view.show();
    }
    void TearDown() override {
        doc.OnStop();
        ProgramFolderFixture::TearDown();
    }

    QRgb surfacePixel(int x, int y) const {
        const QImage& frame = view.Surface()->Frame();
        return frame.isNull() ? 0 : frame.pixel(x, y);
    }

    MusicPlayerPort player;
    int offset = 0;
    FakeSongList songList;
    CMelodeckDoc doc{MediaObjects{&player, nullptr, nullptr, &offset}};
    CLyricsView view;
};

}  // namespace

TEST_F(Mp3gViewTest, AZipPairShowsItsGraphicsInTimeAndLeavesNoFileBehind) {
    makeToneMp3(folder.file("tone.mp3"), 2.0);
    ASSERT_TRUE(writeZip(folder.file("song.zip"), {{"Song.mp3", readBytes(folder.file("tone.mp3"))},
                                                   {"SONG.cdg", twoStepDisc()}}));
    std::filesystem::remove(folder.file("tone.mp3"));
    doc.m_songs = {MakeSongEntry(folder.file("song.zip"), "Song", 2)};
    doc.OnPlay();
    ASSERT_EQ(doc.m_playState, kPlaying);
    ASSERT_TRUE(view.ShowsGraphics());
    EXPECT_EQ(view.CurrentState(), CLyricsView::ShowVideo);
    EXPECT_EQ(privateCopies().size(), 1U);
    ASSERT_TRUE(processEventsUntil([&] { return surfacePixel(0, 0) == kRed; }));
    // The border shows once the song reaches 1 s, not before.
    ASSERT_TRUE(processEventsUntil([&] { return surfacePixel(0, 0) == kGreen; }, 5000));
    EXPECT_GE(doc.PositionMs(), 1000);
    EXPECT_EQ(surfacePixel(150, 100), kRed);

    // Full screen and back, as for a video.
    view.OnCommand(kCmdFullScreen);
    EXPECT_TRUE(view.Surface()->isWindow());
    view.OnCommand(kCmdNormalScreen);
    EXPECT_EQ(view.Surface()->geometry(), view.rect());
    if (const char* shot = std::getenv("VOCALIA_MP3G_SHOT")) {
        view.grab().save(QString::fromUtf8(shot));
    }

    doc.OnStop();
    EXPECT_FALSE(view.ShowsGraphics());
    EXPECT_EQ(view.CurrentState(), CLyricsView::ShowEmpty);
    EXPECT_TRUE(privateCopies().empty());
    // No audio was unpacked beside the song.
    for (const auto& item : std::filesystem::directory_iterator(folder.path())) {
        EXPECT_NE(item.path().extension(), ".mp3") << item.path();
    }
}

TEST_F(Mp3gViewTest, ACdgBesideTheAudioShowsAndABadZipIsRefusedWithItsReason) {
    makeToneMp3(folder.file("Beside.mp3"), 1.0);
    writeBytes(folder.file("BESIDE.CDG"), twoStepDisc());
    writeBytes(folder.file("broken.zip"), "PK\x03\x04 no archive");
    doc.m_songs = {MakeSongEntry(folder.file("broken.zip"), "broken", 1),
                   MakeSongEntry(folder.file("Beside.mp3"), "Beside", 1)};
    QSignalSpy errors(&doc, &CMelodeckDoc::errorMessage);
    doc.OnPlay();
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors.at(0).at(0).toString().contains("broken.zip"))
        << errors.at(0).at(0).toString().toStdString();
    EXPECT_EQ(doc.m_playingSong, 1);
    ASSERT_TRUE(view.ShowsGraphics());
    EXPECT_TRUE(processEventsUntil([&] { return surfacePixel(150, 100) == kRed; }));
    doc.OnStop();

    // A song whose graphics file is no CD+G still plays, with its lyric view.
    writeBytes(folder.file("BESIDE.CDG"), "");
    doc.m_curSong = 1;
    doc.OnPlay();
    EXPECT_EQ(doc.m_playState, kPlaying);
    EXPECT_FALSE(view.ShowsGraphics());
}
