// The native side of the browser benchmark: the same frames as the page's
// worker renders (the built-in pair, a size, a position, a cell size), timed
// on one thread with the kernels this processor gets and with the baseline
// (SSE2) ones. Prints one JSON line of median milliseconds per frame.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "chunk_kernels.h"
#include "inputs/sample_pictures.h"
#include "transition_settings.h"

namespace {

double medianMilliseconds(const glimmer::tool::Picture& a, const glimmer::tool::Picture& b,
                          const glimmer::TransitionSettings& settings, int32_t position, int32_t total,
                          const glimmer::ChunkKernels& kernels, int repetitions) {
    std::vector<uint32_t> destination(b.pixels.size());
    std::vector<double> times;
    for (int i = 0; i < repetitions; ++i) {
        const auto start = std::chrono::steady_clock::now();
        // As frame setup does: image B is the background, then the render.
        std::memcpy(destination.data(), b.pixels.data(), destination.size() * 4);
        glimmer::renderDissipation(a.pixels.data(), destination.data(), a.rows, a.width * 4, settings, position,
                                   total, kernels);
        times.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 7) {
        std::fprintf(stderr, "usage: %s WIDTH HEIGHT CELL POSITION TOTAL REPETITIONS\n", argv[0]);
        return 2;
    }
    const int32_t width = std::atoi(argv[1]), rows = std::atoi(argv[2]), cell = std::atoi(argv[3]);
    const int32_t position = std::atoi(argv[4]), total = std::atoi(argv[5]);
    const int repetitions = std::max(1, std::atoi(argv[6]));
    const auto a = glimmer::tool::makeSunsetPicture(width, rows);
    const auto b = glimmer::tool::makeMosaicPicture(width, rows);
    glimmer::TransitionSettings settings = glimmer::defaultSettings();
    settings.cellWidth = settings.cellHeight = cell;
    const double chosen = medianMilliseconds(a, b, settings, position, total, glimmer::chosenChunkKernels(), repetitions);
    const double baseline = medianMilliseconds(a, b, settings, position, total, glimmer::baseline::chunkKernels, repetitions);
    std::printf("{\"chosen\": %.3f, \"baseline\": %.3f}\n", chosen, baseline);
    return 0;
}
