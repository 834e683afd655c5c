// Fx-baseline.prm's choice of kernels: always the baseline, whatever the
// processor, so that the tests and the benchmark run what a PC without AVX2
// runs.
#include "chunk_kernels.h"

namespace glimmer {

const ChunkKernels& chosenChunkKernels() { return baseline::chunkKernels; }

}  // namespace glimmer
