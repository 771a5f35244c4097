#include "shell/DemoSong.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "library/M3uPlaylist.h"
#include "lyrics/LrcLyric.h"
#include "lyrics/LyricLibrary.h"
#include "tests/support/TestSupport.h"

namespace {

unsigned bigEndian(const std::string& bytes, size_t at, int count) {
    unsigned value = 0;
    for (int i = 0; i < count; ++i) {
        value = (value << 8U) | static_cast<unsigned char>(bytes[at + static_cast<size_t>(i)]);
    }
    return value;
}

TEST(DemoSong, MidiFileIsOneWellFormedTrack) {
    const std::string midi = DemoSong::MidiBytes();
    ASSERT_GT(midi.size(), 22U);
    EXPECT_EQ(midi.substr(0, 4), "MThd");
    EXPECT_EQ(bigEndian(midi, 8, 2), 0U);   // format 0
    EXPECT_EQ(bigEndian(midi, 10, 2), 1U);  // one track
    EXPECT_EQ(midi.substr(14, 4), "MTrk");
    EXPECT_EQ(bigEndian(midi, 18, 4), midi.size() - 22);
    EXPECT_EQ(midi.substr(midi.size() - 3), std::string("\xFF\x2F\x00", 3));
}

TEST(DemoSong, LyricLinesFollowTheTuneAndEndBeforeTheSong) {
    LrcLyric lyric;
    lyric.Parse(DemoSong::LyricText());
    const auto& lines = lyric.Lines();
    ASSERT_EQ(lines.size(), 8U);
    EXPECT_EQ(lines[1].Start, 1200);
    EXPECT_EQ(lines[2].Start - lines[1].Start, 4800);
    EXPECT_LE(lines.back().Start / 1000, DemoSong::DurationSeconds());
    EXPECT_EQ(ReadTagHeadFromBytes(DemoSong::LyricText()).title, DemoSong::kTitle);
}

TEST(DemoSong, InstallsOnceIntoAFreshFolder) {
    TempDir folder;
    ASSERT_TRUE(DemoSong::InstallIfFresh(folder.path()));
    const auto songs = LoadM3u(CategoryFilePath(folder.path(), 0));
    ASSERT_EQ(songs.size(), 1U);
    EXPECT_EQ(songs[0].Path, DemoSong::MidiPath(folder.path()));
    EXPECT_EQ(songs[0].DisplayName, "Vocalia - 星光小调");
    // The song finds its lyric through its display name.
    EXPECT_TRUE(std::filesystem::exists(
        LyricLibraryPath(folder.path(), SplitDisplayName(songs[0].DisplayName))));
    EXPECT_EQ(readBytes(DemoSong::MidiPath(folder.path())), DemoSong::MidiBytes());

    // A folder that has a first category already keeps it as it is.
    SaveM3u(CategoryFilePath(folder.path(), 0), {});
    EXPECT_FALSE(DemoSong::InstallIfFresh(folder.path()));
    EXPECT_TRUE(LoadM3u(CategoryFilePath(folder.path(), 0)).empty());
}

}  // namespace
