#pragma once

#include <cstddef>
#include <cstdint>

// The vocal remover's smoothing run over many segments side by side in SIMD lanes, in the widest
// form the processor runs. `segments` segments of `segmentFrames` frames each (a multiple of
// kTileFrames) are smoothed in place; segment s starts from the previous output (startLeft[s],
// startRight[s]).
struct SmoothingKernel {
    static constexpr size_t kTileFrames = 4;
    static constexpr size_t kMaxSegments = 16;
    size_t segments;
    void (*run)(uint8_t* frames, size_t segmentFrames, int passes, const int16_t* startLeft,
                const int16_t* startRight);
};

enum class SmoothingWidth {
    Widest,    // AVX2 where the processor has it, otherwise SSE2
    Baseline,  // SSE2, which every x86-64 processor has
};

SmoothingKernel smoothingKernel(SmoothingWidth width);

// The kernels themselves, each in a file built for its instruction set.
SmoothingKernel sse2SmoothingKernel();
SmoothingKernel avx2SmoothingKernel();
