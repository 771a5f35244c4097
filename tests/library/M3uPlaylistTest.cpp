#include <gtest/gtest.h>

#include "library/M3uPlaylist.h"
#include "shell/TextCodec.h"
#include "tests/support/TestSupport.h"

namespace {

class M3uPlaylistTest : public ::testing::Test {
protected:
    TempDir dir;
    std::string list = dir.file("list.m3u");
};

TEST_F(M3uPlaylistTest, WritesTheByteLayoutAndReadsItBack) {
    const std::vector<SongEntry> songs = {
        MakeSongEntry("/music/a,b.mp3", "A,B: x", 185),
        MakeSongEntry("/music/歌.mp3", "歌手 - 歌名", 3725),
        MakeSongEntry("/music/none", "", 0),
    };
    ASSERT_TRUE(SaveM3u(list, songs));
    EXPECT_EQ(readBytes(list),
              "#EXTM3U\n#EXTINF:185,A,B: x\r\n/music/a,b.mp3\r\n"
              "#EXTINF:3725,歌手 - 歌名\r\n/music/歌.mp3\r\n#EXTINF:0,\r\n/music/none\r\n");
    EXPECT_EQ(LoadM3u(list), songs);
    EXPECT_EQ(songs[0].DurationText, "03:05");
    EXPECT_EQ(songs[1].DurationText, "62:05");
}

TEST_F(M3uPlaylistTest, EmptyListIsTheHeaderAlone) {
    ASSERT_TRUE(SaveM3u(list, {}));
    EXPECT_EQ(readBytes(list), "#EXTM3U\n");
    EXPECT_TRUE(LoadM3u(list).empty());
}

TEST_F(M3uPlaylistTest, LineBreaksInsideNamesCannotSplitAnEntry) {
    ASSERT_TRUE(SaveM3u(list, {MakeSongEntry("/a\n.mp3", "two\r\nlines", 1)}));
    const auto back = LoadM3u(list);
    ASSERT_EQ(back.size(), 1u);
    EXPECT_EQ(back[0].DisplayName, "two  lines");
    EXPECT_EQ(back[0].Path, "/a .mp3");
}

TEST_F(M3uPlaylistTest, ReadsOrdinaryPlaylistsFromElsewhere) {
    const std::string text =
        "#EXTM3U\n\n# a comment\n#EXTINF:-1,Radio\nhttp://host/stream\n"
        "   \nsub/Plain Song.mp3\nD:\\Music\\Win Song.wma\n#EXTINF:abc,Letters\n/abs/x.mp3\n"
        "#EXTINF:12 tvg-id=\"x\",Attr, with comma\r\nC:\\win\\y.mp3\n#EXTINF:7,Last\n/no/lf.mp3";
    writeBytes(list, text);
    const auto songs = LoadM3u(list);
    ASSERT_EQ(songs.size(), 6u);
    EXPECT_EQ(songs[0], MakeSongEntry("http://host/stream", "Radio", 0));
    EXPECT_EQ(songs[1], MakeSongEntry(dir.file("sub/Plain Song.mp3"), "Plain Song", 0));
    EXPECT_EQ(songs[2], MakeSongEntry("D:\\Music\\Win Song.wma", "Win Song", 0));
    EXPECT_EQ(songs[3], MakeSongEntry("/abs/x.mp3", "Letters", 0));
    EXPECT_EQ(songs[4], MakeSongEntry("C:\\win\\y.mp3", "Attr, with comma", 12));
    EXPECT_EQ(songs[5], MakeSongEntry("/no/lf.mp3", "Last", 7));
}

TEST_F(M3uPlaylistTest, FileUrisGiveLocalPaths) {
    writeBytes(list,
               "#EXTM3U\nfile:///music/My%20Song.mp3\n#EXTINF:3,歌\n"
               "file://localhost/%E6%AD%8c/a%2.mp3\nfile:///x%00y.mp3\n");
    const auto songs = LoadM3u(list);
    ASSERT_EQ(songs.size(), 3u);
    EXPECT_EQ(songs[0], MakeSongEntry("/music/My Song.mp3", "My Song", 0));
    EXPECT_EQ(songs[1], MakeSongEntry("/歌/a%2.mp3", "歌", 3));
    EXPECT_EQ(songs[2].Path, "/x%00y.mp3");
}

TEST_F(M3uPlaylistTest, GbkPlaylistsAreDecoded) {
    writeBytes(list, TextCodec::utf8ToGbk("#EXTM3U\r\n#EXTINF:61,歌手 - 歌名\r\n/音乐/歌.mp3\r\n"));
    const auto songs = LoadM3u(list);
    ASSERT_EQ(songs.size(), 1u);
    EXPECT_EQ(songs[0], MakeSongEntry("/音乐/歌.mp3", "歌手 - 歌名", 61));
    EXPECT_EQ(songs[0].DurationText, "01:01");
}

TEST_F(M3uPlaylistTest, MissingBinaryAndHostileFiles) {
    EXPECT_TRUE(LoadM3u(dir.file("none.m3u")).empty());
    EXPECT_TRUE(LoadM3u(dir.path()).empty());
    writeBytes(list, std::string("#EXTM3U\n/a.mp3\n\0/b.mp3\n", 23));
    EXPECT_EQ(LoadM3u(list).size(), 1u);
    const std::string longPath = "/" + std::string(10000, 'p') + ".mp3";
    writeBytes(list, "#EXTINF:99999999999999,x\n" + longPath + "\n");
    const auto songs = LoadM3u(list);
    ASSERT_EQ(songs.size(), 1u);
    EXPECT_EQ(songs[0].Path, longPath);
    EXPECT_EQ(songs[0].DurationSeconds, 2147483647);
}

TEST_F(M3uPlaylistTest, AFailedSaveKeepsTheOldPlaylist) {
    ASSERT_TRUE(SaveM3u(list, {MakeSongEntry("/a.mp3", "a", 1)}));
    const std::string before = readBytes(list);
    std::string error;
    EXPECT_FALSE(SaveM3u(dir.file("no/folder.m3u"), {}, &error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(readBytes(list), before);
    EXPECT_EQ(CategoryFilePath("/p/", 3), "/p/OrvMusicList3.m3u");
}

}  // namespace
