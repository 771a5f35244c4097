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

TEST(ChannelLevels, TheVolumeSliderKeepsTheBalanceOfTheChannels) {
    EXPECT_EQ(volume(kStereo), 0xFFFF);
    EXPECT_EQ(volume(0x40002000U), 0x4000);
    EXPECT_EQ(withVolume(kStereo, 0x8000), 0x80008000U);
    EXPECT_EQ(withVolume(kLeftOnly, 0x8000), 0x00008000U) << "a silenced channel stays silent";
    EXPECT_EQ(withVolume(0x40002000U, 0x8000), 0x80004000U);
    EXPECT_EQ(withVolume(0, 0x1234), 0x12341234U);
    EXPECT_EQ(withVolume(kStereo, 70000), kStereo);
    EXPECT_EQ(withVolume(kStereo, -5), 0U);
    EXPECT_EQ(volume(withVolume(kRightOnly, 300)), 300);
}
