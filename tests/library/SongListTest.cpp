#include <gtest/gtest.h>

#include <filesystem>

#include "library/SongList.h"
#include "tests/support/TestSupport.h"

namespace {

class SongListTest : public ::testing::Test {
protected:
    TempDir dir;
    SongList list{MakeDurationProbe([](const std::string&) { return 61; })};

    std::string file(const std::string& name) {
        writeBytes(dir.file(name), "x");
        return dir.file(name);
    }
};

TEST_F(SongListTest, CurrentSongFollowsClicksAndSongEnds) {
    EXPECT_EQ(list.CurrentSong(), -1);
    list.SelectCurrentSong(-1);
    EXPECT_EQ(list.CurrentSong(), -1);
    list.AddSongFile(file("a.wav"));
    list.AddSongFile(file("a.wav"));
    ASSERT_EQ(list.Songs().size(), 2u);
    EXPECT_EQ(list.Songs()[1], MakeSongEntry(dir.file("a.wav"), "a", 61));
    list.SelectCurrentSong(-1);
    EXPECT_EQ(list.CurrentSong(), 0);
    list.AdvanceAfterSongEnd();
    EXPECT_EQ(list.CurrentSong(), 1);
    list.AdvanceAfterSongEnd();
    EXPECT_EQ(list.CurrentSong(), -1);
    // Rows removed under the current song: it no longer points into the list.
    list.SelectCurrentSong(1);
    list.Songs().pop_back();
    EXPECT_EQ(list.CurrentSong(), -1);
    list.ClearSongList();
    EXPECT_TRUE(list.Songs().empty());
}

TEST_F(SongListTest, FolderAddsItsMp3FilesByNameAndPlaylistsRoundTrip) {
    file("b.MP3");
    file("a.mp3");
    file("c.wma");
    std::filesystem::create_directory(dir.file("sub.mp3"));
    list.AddSongFile(file("old.wav"));
    list.SelectCurrentSong(0);
    list.AddFolder(dir.path());
    ASSERT_EQ(list.Songs().size(), 2u);
    EXPECT_EQ(list.Songs()[0].DisplayName, "a");
    EXPECT_EQ(list.Songs()[1].DisplayName, "b");
    EXPECT_EQ(list.CurrentSong(), -1);

    ASSERT_TRUE(list.SaveM3u(dir.file("l.m3u")));
    SongList other;
    other.LoadM3u(dir.file("l.m3u"));
    EXPECT_EQ(other.Songs(), list.Songs());
    other.SelectCurrentSong(1);
    other.LoadM3u(dir.file("missing.m3u"));
    EXPECT_TRUE(other.Songs().empty());
    EXPECT_EQ(other.CurrentSong(), -1);
    list.AddFolder(dir.file("no such folder"));
    EXPECT_TRUE(list.Songs().empty());
}

}  // namespace
