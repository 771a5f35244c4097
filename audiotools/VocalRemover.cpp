#include "audiotools/VocalRemover.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <future>
#include <optional>

#include "audiotools/PageAlignedBlock.h"
#include "audiotools/SmoothingKernels.h"
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

// Smooths the `frames` frames at `in` into `out` (which may be `in`), after the frame whose
// output is (previousLeft, previousRight); these then hold the last frame's output.
void smoothFrames(const uint8_t* in, uint8_t* out, size_t frames, int passes, int& previousLeft,
                  int& previousRight) {
    for (size_t offset = 0; offset < frames * 4; offset += 4) {
        const int left = load16(in + offset);
        const int right = load16(in + offset + 2);
        previousLeft = smooth(wrap16(right - left), previousLeft, passes);
        previousRight = smooth(wrap16(left - right), previousRight, passes);
        store16(out + offset, previousLeft);
        store16(out + offset + 2, previousRight);
    }
}

// Where the smoothing stops depending on what came before. It is monotone in the previous
// output, so the runs from the lowest and the highest previous output hold every possible run
// between them: where the two meet in both channels, every run has met, and the output from
// there on is known without the frames before. They usually meet within a few dozen frames; a
// steady offset between the channels can keep them one step apart for ever.
struct RunsMeet {
    size_t frames = 0;  // up to and including the frame where they meet
    int left = 0;       // that frame's output
    int right = 0;
};

std::optional<RunsMeet> whereRunsMeet(const uint8_t* frames, size_t count, int passes) {
    int lowLeft = INT16_MIN;
    int lowRight = INT16_MIN;
    int highLeft = INT16_MAX;
    int highRight = INT16_MAX;
    for (size_t frame = 0; frame < count; ++frame) {
        const uint8_t* at = frames + frame * 4;
        const int left = wrap16(load16(at + 2) - load16(at));
        const int right = wrap16(-left);
        lowLeft = smooth(left, lowLeft, passes);
        highLeft = smooth(left, highLeft, passes);
        lowRight = smooth(right, lowRight, passes);
        highRight = smooth(right, highRight, passes);
        if (lowLeft == highLeft && lowRight == highRight) {
            return RunsMeet{frame + 1, lowLeft, lowRight};
        }
    }
    return std::nullopt;
}

// The smoothing's serial dependency, broken up: the frames are cut into segments that run side
// by side in SIMD lanes (SmoothingKernel), each but the first from an arbitrary previous output.
// Each later segment's output is wrong only until every possible run has met (whereRunsMeet),
// so the input up to there is kept aside beforehand and those frames are redone afterwards from
// the true previous output. Should the runs not meet within kHeadFrames of a segment's start,
// the piece is smoothed one frame after the other instead.
//
// Each segment of a whole piece is 4112 frames long, so the segments' starts lie 64 bytes apart
// modulo 4096 and their streams of loads and stores fall into different sets of the processor's
// first-level cache. Segments a power of two long (4096 frames) all share one set, which more
// than halved the speed.
constexpr size_t kPieceSegmentFrames = 4112;
constexpr size_t kHeadFrames = 1024;

int effectivePasses(int passes) {
    return std::clamp(passes, 0, kMaxEffectivePasses);
}

// whereRunsMeet on the file's frames from `from` on, within `window` frames.
std::optional<RunsMeet> whereRunsMeetInFile(const WaveFile& wave, int passes, size_t from,
                                            size_t window) {
    const PageAlignedBlock frames(window * 4);
    wave.read(wave.dataOffset() + from * 4, frames.data(), window * 4);
    return whereRunsMeet(frames.data(), window, passes);
}

// Processes frames [from, to) of the file through `stream`, a block at a time.
void processRange(const WaveFile& wave, VocalRemovalStream& stream, size_t from, size_t to) {
    constexpr size_t kBlockFrames = size_t{256} * 1024;
    const PageAlignedBlock block(kBlockFrames * 4);
    for (size_t frame = from; frame < to;) {
        const size_t count = std::min(to - frame, kBlockFrames);
        const size_t offset = wave.dataOffset() + frame * 4;
        wave.read(offset, block.data(), count * 4);
        stream.process(block.data(), count);
        wave.write(offset, block.data(), count * 4);
        frame += count;
    }
}

}  // namespace

VocalRemovalStream::VocalRemovalStream(int passes, SmoothingWidth width)
    : m_passes(effectivePasses(passes)), m_kernel(smoothingKernel(width)) {}

void VocalRemovalStream::resumeAfter(int previousLeft, int previousRight) {
    m_started = true;
    m_previousLeft = previousLeft;
    m_previousRight = previousRight;
}

size_t VocalRemovalStream::pieceFrames() const {
    return m_kernel.segments * kPieceSegmentFrames;
}

void VocalRemovalStream::process(uint8_t* frames, size_t count) {
    if (count > 0 && !m_started) {
        // The first frame has no previous one: it stays as it is and seeds the smoothing.
        resumeAfter(load16(frames), load16(frames + 2));
        frames += 4;
        --count;
    }
    if (m_passes == 0) {
        differenceOnly(frames, count);
        return;
    }
    for (size_t done = 0; done < count;) {
        const size_t piece = std::min(count - done, pieceFrames());
        smoothPiece(frames + done * 4, piece);
        done += piece;
    }
}

bool VocalRemovalStream::findHeads(const uint8_t* frames, size_t segmentFrames,
                                   std::array<size_t, SmoothingKernel::kMaxSegments>& heads) const {
    if (segmentFrames == 0) {
        return false;
    }
    for (size_t segment = 1; segment < m_kernel.segments; ++segment) {
        const auto meet = whereRunsMeet(frames + segment * segmentFrames * 4,
                                        std::min(segmentFrames, kHeadFrames), m_passes);
        if (!meet) {
            return false;
        }
        heads[segment] = meet->frames;
    }
    return true;
}

void VocalRemovalStream::smoothPiece(uint8_t* frames, size_t count) {
    const size_t segments = m_kernel.segments;
    const size_t tile = SmoothingKernel::kTileFrames;
    const size_t segmentFrames = count / segments / tile * tile;
    const size_t stride = segmentFrames * 4;
    std::array<size_t, SmoothingKernel::kMaxSegments> heads{};
    if (!findHeads(frames, segmentFrames, heads)) {
        smoothFrames(frames, frames, count, m_passes, m_previousLeft, m_previousRight);
        return;
    }
    if (!m_heads) {
        m_heads.emplace(SmoothingKernel::kMaxSegments * kHeadFrames * 4);
    }
    const auto head = [this](size_t segment) {
        return m_heads->data() + segment * kHeadFrames * 4;
    };
    for (size_t segment = 1; segment < segments; ++segment) {
        std::memcpy(head(segment), frames + segment * stride, heads[segment] * 4);
    }
    std::array<int16_t, SmoothingKernel::kMaxSegments> startLeft{};
    std::array<int16_t, SmoothingKernel::kMaxSegments> startRight{};
    startLeft[0] = static_cast<int16_t>(m_previousLeft);
    startRight[0] = static_cast<int16_t>(m_previousRight);
    m_kernel.run(frames, segmentFrames, m_passes, startLeft.data(), startRight.data());
    for (size_t segment = 1; segment < segments; ++segment) {
        const uint8_t* last = frames + segment * stride - 4;
        int left = load16(last);
        int right = load16(last + 2);
        smoothFrames(head(segment), frames + segment * stride, heads[segment], m_passes, left,
                     right);
    }
    const uint8_t* last = frames + segments * stride - 4;
    m_previousLeft = load16(last);
    m_previousRight = load16(last + 2);
    smoothFrames(frames + segments * stride, frames + segments * stride,
                 count - segments * segmentFrames, m_passes, m_previousLeft, m_previousRight);
}

void VocalRemover::processSamples(uint8_t* samples, size_t count, int passes) {
    VocalRemovalStream(passes).process(samples, count / 2);
}

void VocalRemover::processFile(const WaveFile& wave, int passes) {
    const size_t frames = wave.sampleBytes() / 4;
    if (frames < 2) {
        return;  // nothing to change
    }
    // A long file is processed in two halves side by side, each on its own thread reading and
    // writing its own blocks, which keeps each half's data in its processor's cache. The second
    // half starts where its output no longer depends on the first half's frames. A failure on
    // the second thread comes back through its future, which the first half waits for.
    constexpr size_t kSplitFrames = size_t{1} << 20;
    constexpr size_t kSearchFrames = size_t{1} << 16;
    const size_t middle = frames / 2;
    const std::optional<RunsMeet> meet =
        frames >= kSplitFrames
            ? whereRunsMeetInFile(wave, effectivePasses(passes), middle, kSearchFrames)
            : std::nullopt;
    VocalRemovalStream first(passes);
    if (!meet) {
        processRange(wave, first, 0, frames);
        return;
    }
    const size_t split = middle + meet->frames;  // the second half's first frame
    auto secondHalf = std::async(std::launch::async, [&wave, passes, meet, split, frames] {
        VocalRemovalStream second(passes);
        second.resumeAfter(meet->left, meet->right);
        processRange(wave, second, split, frames);
    });
    processRange(wave, first, 0, split);
    secondHalf.get();
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
