#pragma once

#include <gtest/gtest.h>

#include "core/kernel_level.h"

namespace qv::test {

// Runs `check` once at each kernel level this processor has, portable first,
// and leaves the best level set.
template <typename Check>
void atEachKernelLevel(Check check) {
    for (KernelLevel level : {KernelLevel::Portable, KernelLevel::Avx2}) {
        if (static_cast<int>(level) > static_cast<int>(supportedKernelLevel())) break;
        setKernelLevel(level);
        SCOPED_TRACE(level == KernelLevel::Portable ? "portable kernels" : "AVX2 kernels");
        check();
    }
    setKernelLevel(supportedKernelLevel());
}

}  // namespace qv::test
