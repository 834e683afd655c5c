// The kernel sets this build carries that this processor runs: the tests
// that compare the vector path with the plain renderer run once per set.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "chunk_kernels.h"

namespace glimmer::testing {

struct KernelSet {
    std::string name;
    const ChunkKernels* kernels;
};

inline std::vector<KernelSet> kernelSetsToTest() {
    std::vector<KernelSet> sets{{"baseline", &baseline::chunkKernels}};
#if GLIMMER_AVX2_KERNELS
    __builtin_cpu_init();
    if (__builtin_cpu_supports("avx2")) sets.push_back({"avx2", &avx2::chunkKernels});
#endif
    return sets;
}

inline std::string kernelSetName(const ::testing::TestParamInfo<KernelSet>& info) { return info.param.name; }

}  // namespace glimmer::testing
