#include <gtest/gtest.h>

#include "playback/SongKeys.h"
#include "tests/support/TestSupport.h"

namespace {

TEST(SongKeysTest, ReadsGoodLinesAndPassesOverTheRest) {
    TempDir dir;
    writeBytes(dir.file("keys.txt"),
               "-2\t/a.mp3\n3\t/with\ttab.mp3\n9\t/far.mp3\nx\t/word.mp3\n0\t/zero.mp3\n"
               "no tab here\n4\t\n-6\t/last.mp3");
    const SongKeys keys(dir.file("keys.txt"));
    EXPECT_EQ(keys.KeyFor("/a.mp3"), -2);
    EXPECT_EQ(keys.KeyFor("/with\ttab.mp3"), 3);
    EXPECT_EQ(keys.KeyFor("/last.mp3"), -6);
    for (const char* ignored : {"/far.mp3", "/word.mp3", "/zero.mp3", "", "/missing.mp3"}) {
        EXPECT_EQ(keys.KeyFor(ignored), 0) << ignored;
    }
}

TEST(SongKeysTest, EveryChangeIsWrittenAndTheOriginalKeyForgetsTheSong) {
    TempDir dir;
    SongKeys keys(dir.file("keys.txt"));
    EXPECT_EQ(keys.KeyFor("/a.mp3"), 0);
    ASSERT_TRUE(keys.SetKey("/b.mp3", 2));
    ASSERT_TRUE(keys.SetKey("/a.mp3", -1));
    EXPECT_EQ(readBytes(dir.file("keys.txt")), "-1\t/a.mp3\n2\t/b.mp3\n");
    ASSERT_TRUE(keys.SetKey("/b.mp3", 0));
    EXPECT_EQ(readBytes(dir.file("keys.txt")), "-1\t/a.mp3\n");
    // A path no line can hold is not stored.
    ASSERT_TRUE(keys.SetKey("/new\nline.mp3", 1));
    EXPECT_EQ(SongKeys(dir.file("keys.txt")).KeyFor("/a.mp3"), -1);
}

TEST(SongKeysTest, AFileThatCannotBeWrittenFailsButKeepsTheKeyForTheRun) {
    TempDir dir;
    // Its folder is a plain file, which no one can write into.
    writeBytes(dir.file("plain"), "x");
    SongKeys keys(dir.file("plain") + "/keys.txt");
    std::string error;
    EXPECT_FALSE(keys.SetKey("/a.mp3", 3, &error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(keys.KeyFor("/a.mp3"), 3);
    EXPECT_EQ(readBytes(dir.file("plain")), "x");
}

}  // namespace
