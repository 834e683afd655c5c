// Kept apart from the renderer: a build of the plug-in that is to run the
// baseline kernels on any processor links its own definition of this one
// function in place of this file.
#include "chunk_kernels.h"

namespace glimmer {

const ChunkKernels& chosenChunkKernels() {
#if GLIMMER_AVX2_KERNELS
    // libgcc answers from CPUID and, for the 32-byte registers, from whether
    // the operating system saves them (XGETBV); it reads them once, at load.
    __builtin_cpu_init();
    if (__builtin_cpu_supports("avx2")) return avx2::chunkKernels;
#endif
    return baseline::chunkKernels;
}

}  // namespace glimmer
