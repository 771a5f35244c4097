#include "audiotools/SmoothingKernels.h"

SmoothingKernel smoothingKernel(SmoothingWidth width) {
    static const bool hasAvx2 = __builtin_cpu_supports("avx2") != 0;
    return width == SmoothingWidth::Widest && hasAvx2 ? avx2SmoothingKernel()
                                                      : sse2SmoothingKernel();
}
