#include "playback/ChannelLevels.h"

#include <gtest/gtest.h>

using namespace ChannelLevels;

TEST(ChannelLevels, VolumeStepsMoveBothChannelsAndClamp) {
    EXPECT_EQ(volumeUp(0x80008000U, 10000), 0xA710A710U);
    EXPECT_EQ(volumeDown(0x80008000U, 10000), 0x58F058F0U);
    EXPECT_EQ(volumeUp(60000U * 0x10001U, 10000), 0xFFFFFFFFU);
    EXPECT_EQ(volumeDown(5000U * 0x10001U, 10000), 0U);
    // A silenced channel rises from 0 and cannot go below it.
    EXPECT_EQ(volumeUp(kLeftOnly, 10000), 0x2710FFFFU);
    EXPECT_EQ(volumeDown(kRightOnly, 10000), 0xD8EF0000U);
}

TEST(ChannelLevels, CheckedModeFollowsTheExactValues) {
    EXPECT_EQ(checkedMode(levelsFor(Mode::Left)), Mode::Left);
    EXPECT_EQ(checkedMode(levelsFor(Mode::Right)), Mode::Right);
    EXPECT_EQ(checkedMode(levelsFor(Mode::Stereo)), Mode::Stereo);
    EXPECT_EQ(checkedMode(0), Mode::Stereo);
    EXPECT_EQ(checkedMode(volumeUp(kLeftOnly, 10000)), Mode::Stereo);
}
