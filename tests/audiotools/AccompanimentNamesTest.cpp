#include <gtest/gtest.h>

#include "audiotools/AccompanimentNames.h"

namespace {

TEST(AccompanimentNamesTest, OutputCutsAtTheLastDotAnywhereInThePath) {
    using AccompanimentNames::defaultOutput;
    EXPECT_EQ(defaultOutput("/a/song.mp3"), "/a/song(music).mp3");
    EXPECT_EQ(defaultOutput("/a/my.song.mp3"), "/a/my.song(music).mp3");
    EXPECT_EQ(defaultOutput("/a.b/song"), "/a(music).mp3");
    EXPECT_EQ(defaultOutput("song"), "(music).mp3");
    EXPECT_EQ(defaultOutput(""), "(music).mp3");
}

}  // namespace
