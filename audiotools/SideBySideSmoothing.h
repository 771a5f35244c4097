#pragma once

#include <cstddef>
#include <cstdint>

// The smoothing run over many segments at once, written once for any width of SIMD register.
// `Lanes` supplies the vector type and its operations; every 128-bit half of a vector holds
// eight 16-bit lanes, one segment to a lane, so a vector covers Lanes::kSegments segments. A row
// is what one 16-byte load takes from a segment: four frames, left and right. Each instruction
// set instantiates this in its own file, built for that set, with its own Lanes.
namespace side_by_side {

constexpr size_t kTileFrames = 4;  // one row per segment
constexpr size_t kRows = 8;        // the rows of one tile, transposed together

// Transposes eight rows of eight 16-bit values in place, within each 128-bit half.
template <typename Lanes>
[[gnu::always_inline]] inline void transpose8x8(typename Lanes::Vector* rows) {
    using L = Lanes;
    const auto a0 = L::unpackLo16(rows[0], rows[1]);
    const auto a1 = L::unpackHi16(rows[0], rows[1]);
    const auto a2 = L::unpackLo16(rows[2], rows[3]);
    const auto a3 = L::unpackHi16(rows[2], rows[3]);
    const auto a4 = L::unpackLo16(rows[4], rows[5]);
    const auto a5 = L::unpackHi16(rows[4], rows[5]);
    const auto a6 = L::unpackLo16(rows[6], rows[7]);
    const auto a7 = L::unpackHi16(rows[6], rows[7]);
    const auto b0 = L::unpackLo32(a0, a2);
    const auto b1 = L::unpackHi32(a0, a2);
    const auto b2 = L::unpackLo32(a1, a3);
    const auto b3 = L::unpackHi32(a1, a3);
    const auto b4 = L::unpackLo32(a4, a6);
    const auto b5 = L::unpackHi32(a4, a6);
    const auto b6 = L::unpackLo32(a5, a7);
    const auto b7 = L::unpackHi32(a5, a7);
    rows[0] = L::unpackLo64(b0, b4);
    rows[1] = L::unpackHi64(b0, b4);
    rows[2] = L::unpackLo64(b1, b5);
    rows[3] = L::unpackHi64(b1, b5);
    rows[4] = L::unpackLo64(b2, b6);
    rows[5] = L::unpackHi64(b2, b6);
    rows[6] = L::unpackLo64(b3, b7);
    rows[7] = L::unpackHi64(b3, b7);
}

// One halving step toward `target` in 16-bit lanes: (value + target) / 2 truncated toward zero,
// without forming the 17-bit sum. The floor of the average, plus one where the sum is negative
// and odd.
template <typename Lanes>
[[gnu::always_inline]] inline typename Lanes::Vector halveToward(typename Lanes::Vector value,
                                                                 typename Lanes::Vector target) {
    using L = Lanes;
    const auto odd = L::bitXor(value, target);
    const auto floored = L::add(L::bitAnd(value, target), L::shiftRightArithmetic1(odd));
    return L::add(floored, L::bitAnd(odd, L::signBit(floored)));
}

template <typename Lanes>
[[gnu::always_inline]] inline typename Lanes::Vector smoothLanes(typename Lanes::Vector value,
                                                                 typename Lanes::Vector previous,
                                                                 int passes) {
#pragma GCC unroll 4
    for (int step = 0; step < passes; ++step) {
        value = halveToward<Lanes>(value, previous);
    }
    return value;
}

// The run of Lanes::kSegments segments of `segmentFrames` frames each (a multiple of
// kTileFrames), in place. Segment s starts from the previous output (startLeft[s],
// startRight[s]). `kPasses` fixes the number of passes where it is not 0,
// so that the common counts compile to straight code. The rows of one tile, the two channels'
// previous outputs and the temporaries fit the sixteen vector registers: a second set of
// segments beside them spilled to memory and ran slower.
template <typename Lanes, int kPasses>
void smoothSegmentsWith(uint8_t* frames, size_t segmentFrames, int passes, const int16_t* startLeft,
                        const int16_t* startRight) {
    using Vector = typename Lanes::Vector;
    if constexpr (kPasses > 0) {
        passes = kPasses;
    }
    const size_t stride = segmentFrames * 4;
    Vector previousLeft = Lanes::loadStarts(startLeft);
    Vector previousRight = Lanes::loadStarts(startRight);
    for (size_t offset = 0; offset < stride; offset += kTileFrames * 4) {
        Vector rows[kRows];
#pragma GCC unroll 8
        for (size_t row = 0; row < kRows; ++row) {
            rows[row] = Lanes::loadRow(frames + row * stride + offset, stride);
        }
        // Rows 2f and 2f + 1 now hold frame f's left and right of each segment.
        transpose8x8<Lanes>(rows);
#pragma GCC unroll 4
        for (size_t frame = 0; frame < kTileFrames; ++frame) {
            const Vector left = rows[2 * frame];
            const Vector right = rows[2 * frame + 1];
            previousLeft = smoothLanes<Lanes>(Lanes::sub(right, left), previousLeft, passes);
            previousRight = smoothLanes<Lanes>(Lanes::sub(left, right), previousRight, passes);
            rows[2 * frame] = previousLeft;
            rows[2 * frame + 1] = previousRight;
        }
        transpose8x8<Lanes>(rows);
#pragma GCC unroll 8
        for (size_t row = 0; row < kRows; ++row) {
            Lanes::storeRow(frames + row * stride + offset, stride, rows[row]);
        }
    }
}

// smoothSegmentsWith, with the usual pass counts fixed.
template <typename Lanes>
void smoothSegments(uint8_t* frames, size_t segmentFrames, int passes, const int16_t* startLeft,
                    const int16_t* startRight) {
    switch (passes) {
        case 1:
            return smoothSegmentsWith<Lanes, 1>(frames, segmentFrames, passes, startLeft,
                                                startRight);
        case 2:
            return smoothSegmentsWith<Lanes, 2>(frames, segmentFrames, passes, startLeft,
                                                startRight);
        case 3:
            return smoothSegmentsWith<Lanes, 3>(frames, segmentFrames, passes, startLeft,
                                                startRight);
        default:
            return smoothSegmentsWith<Lanes, 0>(frames, segmentFrames, passes, startLeft,
                                                startRight);
    }
}

}  // namespace side_by_side
