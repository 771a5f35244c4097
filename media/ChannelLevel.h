#pragma once

#include <gst/gst.h>

#include <cstddef>
#include <cstdint>

#include "media/GstHandles.h"

// The per-channel output level of the player's and the video player's sound: the left level
// in the low 16 bits, the right level in the high 16 bits, each 0 (silent) to 65535 (full).
// One value for the whole program (not stored in the configuration); it acts at once on the
// song or video that plays and on every later one.

constexpr uint32_t kChannelLevelStereo = 0xFFFFFFFF;
constexpr uint32_t kChannelLevelLeftOnly = 0x0000FFFF;
constexpr uint32_t kChannelLevelRightOnly = 0xFFFF0000;

void setOutputChannelLevel(uint32_t level);
uint32_t outputChannelLevel();

// Scales interleaved stereo samples by the two levels.
void applyChannelLevel(float* samples, size_t frames, uint32_t level);

// The stage that applies the level, for a player's audio path: any raw audio in, 32-bit float
// stereo out.
GstRef<GstElement> makeChannelLevelStage();
