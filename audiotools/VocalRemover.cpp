#include "audiotools/VocalRemover.h"

#include <emmintrin.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <future>

#include "audiotools/PageAlignedBlock.h"
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

// The smoothing's serial dependency, broken up: the frames are cut into kSegments segments that
// run side by side in SIMD lanes, each starting from a guess of the previous output. Every
// segment but the first is then redone step by step from the true previous output until both
// channels agree with the guessed run again; from there on the two runs see the same state and
// the same input, so every later sample is already right. The guess is the previous frame's
// unsmoothed difference, which the smoothed output tracks, so agreement usually comes within a
// few dozen frames; should it never come, the segment is simply redone whole.
constexpr size_t kGroupLanes = 8;
constexpr size_t kGroups = 2;
constexpr size_t kSegments = kGroupLanes * kGroups;
constexpr size_t kTileFrames = 4;  // one 16-byte load per segment

// The frames smoothed from one copy of their input. Each segment of a whole piece is 4112
// frames long, so the segments' starts lie 64 bytes apart modulo 4096: the sixteen streams of
// loads and stores fall into different sets of the processor's first-level cache. Segments a
// power of two long (4096 frames) all share one set, which more than halved the speed.
constexpr size_t kPieceFrames = kSegments * 4112;

using Lanes = __m128i;  // one channel of eight segments, as 16-bit lanes

// Transposes eight rows of eight 16-bit values in place.
[[gnu::always_inline]] inline void transpose8x8(Lanes* rows) {
    const Lanes a0 = _mm_unpacklo_epi16(rows[0], rows[1]);
    const Lanes a1 = _mm_unpackhi_epi16(rows[0], rows[1]);
    const Lanes a2 = _mm_unpacklo_epi16(rows[2], rows[3]);
    const Lanes a3 = _mm_unpackhi_epi16(rows[2], rows[3]);
    const Lanes a4 = _mm_unpacklo_epi16(rows[4], rows[5]);
    const Lanes a5 = _mm_unpackhi_epi16(rows[4], rows[5]);
    const Lanes a6 = _mm_unpacklo_epi16(rows[6], rows[7]);
    const Lanes a7 = _mm_unpackhi_epi16(rows[6], rows[7]);
    const Lanes b0 = _mm_unpacklo_epi32(a0, a2);
    const Lanes b1 = _mm_unpackhi_epi32(a0, a2);
    const Lanes b2 = _mm_unpacklo_epi32(a1, a3);
    const Lanes b3 = _mm_unpackhi_epi32(a1, a3);
    const Lanes b4 = _mm_unpacklo_epi32(a4, a6);
    const Lanes b5 = _mm_unpackhi_epi32(a4, a6);
    const Lanes b6 = _mm_unpacklo_epi32(a5, a7);
    const Lanes b7 = _mm_unpackhi_epi32(a5, a7);
    rows[0] = _mm_unpacklo_epi64(b0, b4);
    rows[1] = _mm_unpackhi_epi64(b0, b4);
    rows[2] = _mm_unpacklo_epi64(b1, b5);
    rows[3] = _mm_unpackhi_epi64(b1, b5);
    rows[4] = _mm_unpacklo_epi64(b2, b6);
    rows[5] = _mm_unpackhi_epi64(b2, b6);
    rows[6] = _mm_unpacklo_epi64(b3, b7);
    rows[7] = _mm_unpackhi_epi64(b3, b7);
}

// One halving step toward `target` in 16-bit lanes: (value + target) / 2 truncated toward zero,
// without forming the 17-bit sum. The floor of the average, plus one where the sum is negative
// and odd.
Lanes halveToward(Lanes value, Lanes target) {
    const Lanes odd = _mm_xor_si128(value, target);
    const Lanes floored = _mm_add_epi16(_mm_and_si128(value, target), _mm_srai_epi16(odd, 1));
    return _mm_add_epi16(floored, _mm_and_si128(odd, _mm_srli_epi16(floored, 15)));
}

Lanes smoothLanes(Lanes value, Lanes previous, int passes) {
    for (int step = 0; step < passes; ++step) {
        value = halveToward(value, previous);
    }
    return value;
}

// The guessed run of all segments at once, `segmentFrames` (a multiple of kTileFrames) each.
// The segments go in groups of eight, one segment to a lane; the groups' chains are
// independent, which keeps more of the processor busy.
void smoothSegmentsSideBySide(const uint8_t* in, uint8_t* out, size_t segmentFrames, int passes,
                              int firstLeft, int firstRight) {
    const size_t stride = segmentFrames * 4;
    alignas(16) int16_t guessLeft[kSegments];
    alignas(16) int16_t guessRight[kSegments];
    guessLeft[0] = static_cast<int16_t>(firstLeft);
    guessRight[0] = static_cast<int16_t>(firstRight);
    for (size_t segment = 1; segment < kSegments; ++segment) {
        const uint8_t* before = in + segment * stride - 4;
        guessLeft[segment] = wrap16(load16(before + 2) - load16(before));
        guessRight[segment] = wrap16(load16(before) - load16(before + 2));
    }
    Lanes previousLeft[kGroups];
    Lanes previousRight[kGroups];
    for (size_t group = 0; group < kGroups; ++group) {
        previousLeft[group] = _mm_load_si128(reinterpret_cast<const Lanes*>(guessLeft) + group);
        previousRight[group] = _mm_load_si128(reinterpret_cast<const Lanes*>(guessRight) + group);
    }
    for (size_t offset = 0; offset < stride; offset += kTileFrames * 4) {
        Lanes rows[kGroups][kGroupLanes];
        for (size_t segment = 0; segment < kSegments; ++segment) {
            rows[segment / kGroupLanes][segment % kGroupLanes] =
                _mm_loadu_si128(reinterpret_cast<const Lanes*>(in + segment * stride + offset));
        }
        // Rows 2f and 2f + 1 now hold frame f's left and right of each segment of the group.
        for (Lanes* group : rows) {
            transpose8x8(group);
        }
        for (size_t frame = 0; frame < kTileFrames; ++frame) {
            for (size_t group = 0; group < kGroups; ++group) {
                const Lanes left = rows[group][2 * frame];
                const Lanes right = rows[group][2 * frame + 1];
                previousLeft[group] =
                    smoothLanes(_mm_sub_epi16(right, left), previousLeft[group], passes);
                previousRight[group] =
                    smoothLanes(_mm_sub_epi16(left, right), previousRight[group], passes);
                rows[group][2 * frame] = previousLeft[group];
                rows[group][2 * frame + 1] = previousRight[group];
            }
        }
        for (Lanes* group : rows) {
            transpose8x8(group);
        }
        for (size_t segment = 0; segment < kSegments; ++segment) {
            _mm_storeu_si128(reinterpret_cast<Lanes*>(out + segment * stride + offset),
                             rows[segment / kGroupLanes][segment % kGroupLanes]);
        }
    }
}

// Redoes one channel of a segment from its true previous output until it meets the guessed
// run's output again. `channel` is 0 (left) or 1 (right); the frames are at `in` and `out`.
void reconcileChannel(const uint8_t* in, uint8_t* out, size_t frames, int channel, int passes,
                      int previous) {
    const size_t own = 2 * static_cast<size_t>(channel);
    const size_t other = 2 - own;
    for (size_t offset = 0; offset < frames * 4; offset += 4) {
        const int value = smooth(wrap16(load16(in + offset + other) - load16(in + offset + own)),
                                 previous, passes);
        if (value == load16(out + offset + own)) {
            return;
        }
        store16(out + offset + own, value);
        previous = value;
    }
}

// smoothFrames, with `in` and `out` apart: `in` must stay as it is until the end.
void smoothFramesApart(const uint8_t* in, uint8_t* out, size_t frames, int passes,
                       int& previousLeft, int& previousRight) {
    const size_t segmentFrames = frames / kSegments / kTileFrames * kTileFrames;
    if (segmentFrames == 0) {
        smoothFrames(in, out, frames, passes, previousLeft, previousRight);
        return;
    }
    const size_t stride = segmentFrames * 4;
    smoothSegmentsSideBySide(in, out, segmentFrames, passes, previousLeft, previousRight);
    for (size_t segment = 1; segment < kSegments; ++segment) {
        const uint8_t* last = out + segment * stride - 4;
        for (int channel = 0; channel < 2; ++channel) {
            reconcileChannel(in + segment * stride, out + segment * stride, segmentFrames, channel,
                             passes, load16(last + 2 * static_cast<std::ptrdiff_t>(channel)));
        }
    }
    const uint8_t* last = out + kSegments * stride - 4;
    previousLeft = load16(last);
    previousRight = load16(last + 2);
    smoothFrames(in + kSegments * stride, out + kSegments * stride,
                 frames - kSegments * segmentFrames, passes, previousLeft, previousRight);
}

}  // namespace

VocalRemovalStream::VocalRemovalStream(int passes)
    : m_passes(std::clamp(passes, 0, kMaxEffectivePasses)) {}

void VocalRemovalStream::process(uint8_t* frames, size_t count) {
    if (count == 0) {
        return;
    }
    if (!m_started) {
        // The first frame has no previous one: it stays as it is and seeds the smoothing.
        m_started = true;
        m_previousLeft = load16(frames);
        m_previousRight = load16(frames + 2);
        frames += 4;
        --count;
    }
    if (m_passes == 0) {
        differenceOnly(frames, count);
        return;
    }
    // The segments' redo needs the input beside the output: a bounded copy, piece by piece,
    // small enough to stay in the cache.
    if (!m_input) {
        m_input.emplace(kPieceFrames * 4);
    }
    for (size_t done = 0; done < count;) {
        const size_t piece = std::min(count - done, kPieceFrames);
        uint8_t* at = frames + done * 4;
        std::memcpy(m_input->data(), at, piece * 4);
        smoothFramesApart(m_input->data(), at, piece, m_passes, m_previousLeft, m_previousRight);
        done += piece;
    }
}

void VocalRemover::processSamples(uint8_t* samples, size_t count, int passes) {
    VocalRemovalStream(passes).process(samples, count / 2);
}

void VocalRemover::processFile(const WaveFile& wave, int passes) {
    // Blocks of whole frames, read, processed and written back.
    constexpr size_t kBlockFrames = size_t{256} * 1024;
    const size_t frames = wave.sampleBytes() / 4;
    if (frames < 2) {
        return;  // nothing to change
    }
    VocalRemovalStream stream(passes);
    // Writing a block back (the kernel copying it into the page cache) costs about as much as
    // reading and processing one, so each block is written on a second thread while the next
    // is read and processed: two buffers, at most one write under way. A write's failure comes
    // back through its future; a pending write ends before the buffers go.
    std::array<PageAlignedBlock, 2> blocks{PageAlignedBlock(kBlockFrames * 4),
                                           PageAlignedBlock(kBlockFrames * 4)};
    std::future<void> writing;
    for (size_t frame = 0, index = 0; frame < frames; ++index) {
        const size_t count = std::min(frames - frame, kBlockFrames);
        const size_t offset = wave.dataOffset() + frame * 4;
        uint8_t* block = blocks[index % 2].data();
        wave.read(offset, block, count * 4);
        stream.process(block, count);
        if (writing.valid()) {
            writing.get();
        }
        writing = std::async(std::launch::async, [&wave, block, offset, count] {
            wave.write(offset, block, count * 4);
        });
        frame += count;
    }
    writing.get();
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
