#include "shell/OpenedFiles.h"

#include <gtest/gtest.h>

#include <QUrl>
#include <filesystem>

#include "tests/support/TestSupport.h"

namespace {

QString q(const std::string& text) {
    return QString::fromStdString(text);
}

class OpenedFilesTest : public ::testing::Test {
protected:
    std::string make(const std::string& name, const std::string& bytes = "x") {
        std::string path = folder.file(name);
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        writeBytes(path, bytes);
        return path;
    }

    TempDir folder;
};

TEST_F(OpenedFilesTest, ArgumentsBecomeSongsAndOptionsAreLeftOut) {
    const std::string song = make("a b.mp3");
    const std::string midi = make("tune.MID");
    make("shot.mp3");  // the value of --screenshot, not a song
    const QStringList arguments{QStringLiteral("Vocalia"),
                                QStringLiteral("--home"),
                                q(folder.path()),
                                QStringLiteral("--no-splash"),
                                QStringLiteral("--screenshot"),
                                QStringLiteral("shot.mp3"),
                                QStringLiteral("a b.mp3"),
                                QUrl::fromLocalFile(q(midi)).toString(),
                                QStringLiteral("missing.mp3"),
                                q(make("notes.txt")),
                                q(folder.path())};
    const OpenedFiles opened = OpenedFiles::FromArguments(arguments, q(folder.path()));
    EXPECT_EQ(opened.songs, (std::vector<std::string>{song, midi}));
    EXPECT_TRUE(opened.lyric.empty());
    EXPECT_TRUE(opened.video.empty());
}

TEST_F(OpenedFilesTest, PlaylistsAddTheirSongsInOrder) {
    const std::string first = make("list/one.wav");
    const std::string second = make("two.wma");
    const std::string playlist = make("list/songs.m3u", "#EXTM3U\r\none.wav\r\n" + second + "\r\n");
    const OpenedFiles opened = OpenedFiles::FromPaths({q(make("zero.mp3")), q(playlist)});
    EXPECT_EQ(opened.songs, (std::vector<std::string>{folder.file("zero.mp3"), first, second}));
}

TEST_F(OpenedFilesTest, ALyricTakesTheSongBesideItAndIsHandedOverWhole) {
    const std::string song = make("sing/Song.MP3");
    const std::string lyric = make("sing/Song.lrc");
    make("sing/Song.txt");
    const OpenedFiles opened = OpenedFiles::FromPaths({q(lyric)});
    EXPECT_EQ(opened.lyric, lyric);
    EXPECT_EQ(opened.lyricMedia, song);
    EXPECT_FALSE(opened.empty());
    // What a second start hands over is sorted the same way by the first.
    const OpenedFiles handed = OpenedFiles::FromPaths(opened.Paths());
    EXPECT_EQ(handed.lyric, lyric);
    EXPECT_EQ(handed.lyricMedia, song);
}

TEST_F(OpenedFilesTest, ALyricWithoutItsSongAndAVideoAreKeptApart) {
    const std::string video = make("clip.AVI");
    const OpenedFiles opened =
        OpenedFiles::FromPaths({q(make("alone.lrc")), q(video), q(make("other.mpg"))});
    EXPECT_TRUE(opened.lyric.empty());
    EXPECT_EQ(opened.video, video);
    EXPECT_EQ(opened.Paths(), QStringList{q(video)});
    EXPECT_TRUE(OpenedFiles::FromPaths({}).empty());
}

}  // namespace
