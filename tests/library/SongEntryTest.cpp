#include <gtest/gtest.h>

#include "library/Mp3Info.h"
#include "library/SongEntry.h"
#include "shell/TextCodec.h"
#include "tests/support/TestSupport.h"

namespace {

void tag(const std::string& path, const std::string& artist, const std::string& title) {
    Mp3Info info;
    info.SetArtist(artist);
    info.SetTitle(title);
    ASSERT_TRUE(info.WriteTag(path, false));
}

TEST(SongEntryTest, DurationTextHasUnlimitedMinutes) {
    EXPECT_EQ(FormatDuration(0), "00:00");
    EXPECT_EQ(FormatDuration(185), "03:05");
    EXPECT_EQ(FormatDuration(3725), "62:05");
    EXPECT_EQ(FormatDuration(-5), "00:00");
    EXPECT_EQ(FormatDuration(2147483647), "35791394:07");
}

TEST(SongEntryTest, DisplayNameFromTagOrFileName) {
    TempDir dir;
    const std::string song = dir.file("file name.mp3");
    writeBytes(song, "x");
    tag(song, "Artist", "Title   ");
    EXPECT_EQ(SongDisplayName(song), "Artist - Title");
    tag(song, "Artist", "   ");
    EXPECT_EQ(SongDisplayName(song), "file name");
    tag(song, TextCodec::utf8ToGbk("歌手"), TextCodec::utf8ToGbk("歌名"));
    EXPECT_EQ(SongDisplayName(song), "歌手 - 歌名");
    EXPECT_EQ(SongDisplayName(dir.file("missing.v1.wma")), "missing.v1");
    EXPECT_EQ(SongDisplayName("/folder.x/noext"), "noext");
}

TEST(SongEntryTest, DurationComesThroughTheProbe) {
    TempDir dir;
    const std::string mp3 = dir.file("a.MP3");
    std::string frames;
    for (int i = 0; i < 200; ++i) {
        std::string f(417, '\0');
        f.replace(0, 4, "\xFF\xFB\x90\x40");
        frames += f;
    }
    writeBytes(mp3, frames);
    writeBytes(dir.file("b.wav"), "RIFF");
    std::vector<std::string> asked;
    const DurationProbe probe = MakeDurationProbe([&](const std::string& path) {
        asked.push_back(path);
        return 42;
    });
    EXPECT_EQ(CreateSongEntry(mp3, probe), MakeSongEntry(mp3, "a", 200 * 417 * 8 / 128000));
    EXPECT_TRUE(asked.empty());
    EXPECT_EQ(CreateSongEntry(dir.file("b.wav"), probe).DurationText, "00:42");
    // An MP3 in which no frame is found goes to the other probe too.
    writeBytes(dir.file("c.mp3"), "not audio");
    EXPECT_EQ(CreateSongEntry(dir.file("c.mp3"), probe).DurationSeconds, 42);
    EXPECT_EQ(CreateSongEntry(dir.file("b.wav"), MakeDurationProbe()).DurationSeconds, 0);
    // The same file added twice gives two equal entries.
    EXPECT_EQ(CreateSongEntry(mp3, probe), CreateSongEntry(mp3, probe));
}

}  // namespace
