#pragma once

// The hot loops come in a portable form and, on x86-64, in one compiled for
// POPCNT and AVX2, chosen at run time: the build targets plain x86-64, so
// only a processor check can tell whether the faster one may run. Elsewhere
// both forms are built for the target and the portable one runs, so callers
// choose with useAvx2Kernels() alone.

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define QV_HAS_AVX2_KERNELS 1
#define QV_AVX2_TARGET __attribute__((target("avx2,popcnt")))
#else
#define QV_HAS_AVX2_KERNELS 0
#define QV_AVX2_TARGET
#endif

namespace qv {

enum class KernelLevel { Portable, Avx2 };

// The best level this processor runs.
KernelLevel supportedKernelLevel();

// The level the kernels use: the supported one unless lowered, as the tests
// do to compare the forms. Not for use while a run is in progress.
KernelLevel kernelLevel();
void setKernelLevel(KernelLevel level);  // capped at the supported level

inline bool useAvx2Kernels() {
    return QV_HAS_AVX2_KERNELS && kernelLevel() == KernelLevel::Avx2;
}

}  // namespace qv
