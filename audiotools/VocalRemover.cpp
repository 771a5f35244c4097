#include "audiotools/VocalRemover.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <vector>

#include "audiotools/WaveFile.h"

namespace {

// Samples are loaded as host integers: WAV data is little-endian.
static_assert(std::endian::native == std::endian::little);

// After this many halving steps every channel has reached its fixed point (the distance to the
// target at most halves each step, from at most 65535), so more passes change nothing.
constexpr int kMaxEffectivePasses = 20;

int16_t wrap16(int value) {
    return static_cast<int16_t>(static_cast<uint16_t>(value));
}

int load16(const uint8_t* at) {
    int16_t value = 0;
    std::memcpy(&value, at, sizeof value);
    return value;
}

void store16(uint8_t* at, int value) {
    const int16_t narrow = wrap16(value);
    std::memcpy(at, &narrow, sizeof narrow);
}

// `passes` halving steps of `value` toward `target` (the previous frame's output), each sum
// divided by 2 truncating toward zero. The steps collapse into one shift when every sum along
// the way has the sign of `target`: with sums >= 0 each step floors, with sums <= 0 each step
// rounds up, and nested floors (ceilings) of halvings are the floor (ceiling) of the whole
// division. The sums move monotonically from value + target toward 2 * target, so the first
// sum decides. Otherwise (rare: around zero crossings) step. The common case is kept free of
// unpredictable branches: it is the loop's critical path.
[[gnu::noinline]] int smoothStepwise(int value, int target, int passes) {
    for (int step = 0; step < passes; ++step) {
        value = (value + target) / 2;
    }
    return value;
}

[[gnu::always_inline]] inline int smooth(int value, int target, int passes) {
    const int firstSum = value + target;
    const bool upward = target >= 0;
    if (upward ? firstSum < 0 : firstSum > 0) [[unlikely]] {
        return smoothStepwise(value, target, passes);
    }
    const int floored = target + ((value - target) >> passes);
    const int ceiled = target - ((target - value) >> passes);
    return upward ? floored : ceiled;
}

// Without smoothing the frames are independent: swap each pair and subtract, lane by lane.
// Unsigned lanes make the 16-bit wrap-around defined.
void differenceOnly(uint8_t* samples, size_t frames) {
    using Lanes = uint16_t __attribute__((vector_size(16)));
    const size_t bytes = frames * 4;
    size_t offset = 0;
    for (; offset + sizeof(Lanes) <= bytes; offset += sizeof(Lanes)) {
        Lanes v;
        std::memcpy(&v, samples + offset, sizeof v);
        const Lanes result = __builtin_shufflevector(v, v, 1, 0, 3, 2, 5, 4, 7, 6) - v;
        std::memcpy(samples + offset, &result, sizeof result);
    }
    for (; offset < bytes; offset += 4) {
        const int left = load16(samples + offset);
        const int right = load16(samples + offset + 2);
        store16(samples + offset, right - left);
        store16(samples + offset + 2, left - right);
    }
}

// Smooths `frames` frames after the one whose output is (previousLeft, previousRight), which
// then hold the last frame's output.
void smoothFrames(uint8_t* samples, size_t frames, int passes, int& previousLeft,
                  int& previousRight) {
    for (size_t offset = 0; offset < frames * 4; offset += 4) {
        const int left = load16(samples + offset);
        const int right = load16(samples + offset + 2);
        previousLeft = smooth(wrap16(right - left), previousLeft, passes);
        previousRight = smooth(wrap16(left - right), previousRight, passes);
        store16(samples + offset, previousLeft);
        store16(samples + offset + 2, previousRight);
    }
}

}  // namespace

void VocalRemover::processSamples(uint8_t* samples, size_t count, int passes) {
    const size_t frames = count / 2;
    if (frames < 2) {
        return;
    }
    if (passes <= 0) {
        differenceOnly(samples + 4, frames - 1);
        return;
    }
    int previousLeft = load16(samples);
    int previousRight = load16(samples + 2);
    smoothFrames(samples + 4, frames - 1, std::min(passes, kMaxEffectivePasses), previousLeft,
                 previousRight);
}

void VocalRemover::processFile(const WaveFile& wave, int passes) {
    // Blocks of whole frames, read, processed and written back; the last frame's output carries
    // the smoothing over into the next block.
    constexpr size_t kBlockFrames = 256 * 1024;
    const size_t frames = wave.sampleBytes() / 4;
    if (frames < 2) {
        return;
    }
    passes = std::min(passes, kMaxEffectivePasses);
    std::vector<uint8_t> block(std::min(frames, kBlockFrames) * 4);
    uint8_t first[4];
    wave.read(wave.dataOffset(), first, sizeof first);
    int previousLeft = load16(first);
    int previousRight = load16(first + 2);
    for (size_t frame = 1; frame < frames;) {
        const size_t count = std::min(frames - frame, kBlockFrames);
        const size_t offset = wave.dataOffset() + frame * 4;
        wave.read(offset, block.data(), count * 4);
        if (passes <= 0) {
            differenceOnly(block.data(), count);
        } else {
            smoothFrames(block.data(), count, passes, previousLeft, previousRight);
        }
        wave.write(offset, block.data(), count * 4);
        frame += count;
    }
}

bool VocalRemover::RemoveVocals(const std::string& path, int passes, std::string* errorName) const {
    return catchWaveErrors(
        [&] {
            const WaveFile wave(path);
            if (!wave.isPcm16()) {
                throw WaveErrors::FmtDoesntMatch();
            }
            processFile(wave, passes);
        },
        errorName);
}
