// Frame setup and the renderer on an arbitrary record, position, length,
// render flags and a small frame of arbitrary geometry, with buffers of
// exactly the frame's size so that AddressSanitizer sees any access past
// them. The optimised renderer must also agree with the plain one.
#include <cstring>
#include <vector>

#include "chunk_kernels.h"
#include "frame_setup.h"
#include "fuzz_input.h"
#include "reference_renderer.h"
#include "render_dissipation.h"

namespace {

std::vector<uint32_t> picture(size_t words, uint32_t seed) {
    std::vector<uint32_t> v(words);
    for (size_t i = 0; i < words; ++i) v[i] = seed ^ static_cast<uint32_t>(i * 2654435761u);
    return v;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace glimmer;
    fuzz::FuzzInput in(data, size);
    TransitionSettings settings;
    in.takeBytes(&settings, sizeof settings);
    const int32_t position = in.take<int32_t>();
    const int32_t total = in.take<int32_t>();
    const uint16_t renderFlags = in.take<uint16_t>();
    int32_t rows = in.take<int32_t>();
    int32_t rowBytes = in.take<int32_t>();

    // Small frames only: at most 64 rows and 64 KiB. Rows of 0 bytes or
    // fewer stay as they come: they must write nothing.
    if (rowBytes > 0) rowBytes %= 65537;
    const int64_t lineBytes = rowBytes;
    if (rows > 64) rows %= 65;
    while (rows > 0 && lineBytes * rows > 65536) rows /= 2;
    const size_t words = rows > 0 && lineBytes > 0 ? static_cast<size_t>((lineBytes * rows + 3) / 4) : 0;

    const auto a = picture(words, 0xA0000000u);
    const auto b = picture(words, 0xB0000000u);
    std::vector<uint32_t> d = picture(words, 0xD0000000u);
    const bool interleaved = (renderFlags & 0x300) != 0;
    runFrameSetup(FrameRequest{a.data(), b.data(), d.data(), rows, rowBytes, position, total, interleaved},
                  settings);

    if (rows > 0 && lineBytes >= 4) {
        std::vector<uint32_t> plain = b;
        const int32_t line = static_cast<int32_t>(lineBytes);
        testing::referenceRenderDissipation(a.data(), plain.data(), rows, line, settings, position, total);
        // The kernels this processor gets, and the baseline ones every
        // processor runs.
        for (const ChunkKernels* kernels : {&chosenChunkKernels(), &baseline::chunkKernels}) {
            std::vector<uint32_t> fast = b;
            renderDissipation(a.data(), fast.data(), rows, line, settings, position, total, *kernels);
            if (fast != plain) __builtin_trap();
        }
    }
    return 0;
}
