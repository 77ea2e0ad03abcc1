#include "core/kernel_level.h"

#include <atomic>

namespace qv {

namespace {

KernelLevel detect() {
#if QV_HAS_AVX2_KERNELS
    __builtin_cpu_init();
    if (__builtin_cpu_supports("avx2") && __builtin_cpu_supports("popcnt"))
        return KernelLevel::Avx2;
#endif
    return KernelLevel::Portable;
}

std::atomic<KernelLevel>& current() {
    static std::atomic<KernelLevel> level{supportedKernelLevel()};
    return level;
}

}  // namespace

KernelLevel supportedKernelLevel() {
    static const KernelLevel supported = detect();
    return supported;
}

KernelLevel kernelLevel() {
    return current().load(std::memory_order_relaxed);
}

void setKernelLevel(KernelLevel level) {
    const KernelLevel best = supportedKernelLevel();
    current().store(static_cast<int>(level) > static_cast<int>(best) ? best : level,
                    std::memory_order_relaxed);
}

}  // namespace qv
