// Built with AVX2 enabled: nothing here may run before smoothingKernel has checked that the
// processor has it, so this file holds only the kernel and includes no shared inline code that
// another file could end up calling.
#include <immintrin.h>

#include "audiotools/SideBySideSmoothing.h"
#include "audiotools/SmoothingKernels.h"

namespace {

// A row takes segment s in the low half and segment s + 8 in the high half, so that after the
// transpose within each half the sixteen lanes hold the sixteen segments in order.
struct Avx2Lanes {
    using Vector = __m256i;
    using Half = __m128i;
    static constexpr size_t kSegments = 16;

    static Vector loadRow(const uint8_t* at, size_t stride) {
        return _mm256_loadu2_m128i(reinterpret_cast<const Half*>(at + 8 * stride),
                                   reinterpret_cast<const Half*>(at));
    }
    static void storeRow(uint8_t* at, size_t stride, Vector row) {
        _mm256_storeu2_m128i(reinterpret_cast<Half*>(at + 8 * stride), reinterpret_cast<Half*>(at),
                             row);
    }
    static Vector loadStarts(const int16_t* starts) {
        return _mm256_loadu_si256(reinterpret_cast<const Vector*>(starts));
    }
    static Vector unpackLo16(Vector a, Vector b) { return _mm256_unpacklo_epi16(a, b); }
    static Vector unpackHi16(Vector a, Vector b) { return _mm256_unpackhi_epi16(a, b); }
    static Vector unpackLo32(Vector a, Vector b) { return _mm256_unpacklo_epi32(a, b); }
    static Vector unpackHi32(Vector a, Vector b) { return _mm256_unpackhi_epi32(a, b); }
    static Vector unpackLo64(Vector a, Vector b) { return _mm256_unpacklo_epi64(a, b); }
    static Vector unpackHi64(Vector a, Vector b) { return _mm256_unpackhi_epi64(a, b); }
    static Vector add(Vector a, Vector b) { return _mm256_add_epi16(a, b); }
    static Vector sub(Vector a, Vector b) { return _mm256_sub_epi16(a, b); }
    static Vector bitAnd(Vector a, Vector b) { return _mm256_and_si256(a, b); }
    static Vector bitXor(Vector a, Vector b) { return _mm256_xor_si256(a, b); }
    static Vector shiftRightArithmetic1(Vector a) { return _mm256_srai_epi16(a, 1); }
    static Vector signBit(Vector a) { return _mm256_srli_epi16(a, 15); }
};

}  // namespace

SmoothingKernel avx2SmoothingKernel() {
    static_assert(Avx2Lanes::kSegments <= SmoothingKernel::kMaxSegments);
    return {Avx2Lanes::kSegments, &side_by_side::smoothSegments<Avx2Lanes>};
}
