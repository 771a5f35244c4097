#include "playback/ChannelLevels.h"

#include <algorithm>

namespace ChannelLevels {

namespace {

constexpr long long kFull = 0xFFFF;

std::uint32_t moveEach(std::uint32_t levels, long long delta) {
    const auto moved = [delta](std::uint32_t level) {
        return static_cast<std::uint32_t>(std::clamp(level + delta, 0LL, kFull));
    };
    return moved(levels & 0xFFFFU) | (moved(levels >> 16U) << 16U);
}

}  // namespace

std::uint32_t levelsFor(Mode mode) {
    switch (mode) {
        case Mode::Left:
            return kLeftOnly;
        case Mode::Right:
            return kRightOnly;
        case Mode::Stereo:
            break;
    }
    return kStereo;
}

Mode checkedMode(std::uint32_t levels) {
    if (levels == kLeftOnly) {
        return Mode::Left;
    }
    if (levels == kRightOnly) {
        return Mode::Right;
    }
    return Mode::Stereo;
}

std::uint32_t volumeUp(std::uint32_t levels, int step) {
    return moveEach(levels, step);
}

std::uint32_t volumeDown(std::uint32_t levels, int step) {
    return moveEach(levels, -static_cast<long long>(step));
}

int volume(std::uint32_t levels) {
    return static_cast<int>(std::max(levels & 0xFFFFU, levels >> 16U));
}

std::uint32_t withVolume(std::uint32_t levels, int volume) {
    const long long target = std::clamp<long long>(volume, 0, kFull);
    const long long loudest = ChannelLevels::volume(levels);
    const auto scaled = [&](std::uint32_t level) {
        const long long value = loudest == 0 ? target : (level * target + loudest / 2) / loudest;
        return static_cast<std::uint32_t>(value);
    };
    return scaled(levels & 0xFFFFU) | (scaled(levels >> 16U) << 16U);
}

}  // namespace ChannelLevels
