#include <emmintrin.h>

#include "audiotools/SideBySideSmoothing.h"
#include "audiotools/SmoothingKernels.h"

namespace {

struct Sse2Lanes {
    using Vector = __m128i;
    static constexpr size_t kSegments = 8;

    static Vector loadRow(const uint8_t* at, size_t /*stride*/) {
        return _mm_loadu_si128(reinterpret_cast<const Vector*>(at));
    }
    static void storeRow(uint8_t* at, size_t /*stride*/, Vector row) {
        _mm_storeu_si128(reinterpret_cast<Vector*>(at), row);
    }
    static Vector loadStarts(const int16_t* starts) {
        return _mm_loadu_si128(reinterpret_cast<const Vector*>(starts));
    }
    static Vector unpackLo16(Vector a, Vector b) { return _mm_unpacklo_epi16(a, b); }
    static Vector unpackHi16(Vector a, Vector b) { return _mm_unpackhi_epi16(a, b); }
    static Vector unpackLo32(Vector a, Vector b) { return _mm_unpacklo_epi32(a, b); }
    static Vector unpackHi32(Vector a, Vector b) { return _mm_unpackhi_epi32(a, b); }
    static Vector unpackLo64(Vector a, Vector b) { return _mm_unpacklo_epi64(a, b); }
    static Vector unpackHi64(Vector a, Vector b) { return _mm_unpackhi_epi64(a, b); }
    static Vector add(Vector a, Vector b) { return _mm_add_epi16(a, b); }
    static Vector sub(Vector a, Vector b) { return _mm_sub_epi16(a, b); }
    static Vector bitAnd(Vector a, Vector b) { return _mm_and_si128(a, b); }
    static Vector bitXor(Vector a, Vector b) { return _mm_xor_si128(a, b); }
    static Vector shiftRightArithmetic1(Vector a) { return _mm_srai_epi16(a, 1); }
    static Vector signBit(Vector a) { return _mm_srli_epi16(a, 15); }
};

}  // namespace

SmoothingKernel sse2SmoothingKernel() {
    static_assert(Sse2Lanes::kSegments <= SmoothingKernel::kMaxSegments);
    return {Sse2Lanes::kSegments, &side_by_side::smoothSegments<Sse2Lanes>};
}
