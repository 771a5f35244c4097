#pragma once

#include <cstdint>

// The output level of the two channels packed as the channel-mode and volume commands see it:
// left in the low 16 bits, right in the high 16 bits, each 0 (silent) to 65535 (full).
namespace ChannelLevels {

inline constexpr std::uint32_t kLeftOnly = 0x0000FFFFU;
inline constexpr std::uint32_t kStereo = 0xFFFFFFFFU;
inline constexpr std::uint32_t kRightOnly = 0xFFFF0000U;

enum class Mode { Left, Stereo, Right };

// The levels a channel-mode command writes.
std::uint32_t levelsFor(Mode mode);
// The mode whose menu item shows the check: left or right only for exactly their value,
// stereo for every other one.
Mode checkedMode(std::uint32_t levels);

// Each channel's level moved by `step`, held within 0..65535.
std::uint32_t volumeUp(std::uint32_t levels, int step);
std::uint32_t volumeDown(std::uint32_t levels, int step);

// The volume a slider shows: the louder channel's level, 0..65535.
int volume(std::uint32_t levels);
// The levels at another volume (held within 0..65535): both channels keep their balance, so a
// silenced channel stays silent; with both silent, both take the volume.
std::uint32_t withVolume(std::uint32_t levels, int volume);

}  // namespace ChannelLevels
