// How the renderer's cost compares with one plain copy of the frame.
//
// Each renderer case reports its time; the FrameCopy case copies a
// 1920 x 1080 frame between buffers larger than the cache, so the ratio of
// the two says how many frame copies one rendered frame costs.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "render_dissipation.h"
#include "transition_settings.h"

namespace {

using glimmer::TransitionSettings;

std::vector<uint32_t> pictureOf(int64_t words, uint32_t seed) {
    std::vector<uint32_t> v(static_cast<size_t>(words));
    for (size_t i = 0; i < v.size(); ++i) v[i] = seed ^ static_cast<uint32_t>(i * 2654435761u);
    return v;
}

void renderCase(benchmark::State& state) {
    const int32_t width = static_cast<int32_t>(state.range(0));
    const int32_t rows = static_cast<int32_t>(state.range(1));
    const int32_t cell = static_cast<int32_t>(state.range(2));
    const int32_t position = static_cast<int32_t>(state.range(3));
    TransitionSettings s = glimmer::defaultSettings();
    s.cellWidth = s.cellHeight = cell;
    const auto a = pictureOf(int64_t{width} * rows, 0x11111111u);
    const auto b = pictureOf(int64_t{width} * rows, 0x22222222u);
    std::vector<uint32_t> d(b.size());
    for (auto _ : state) {
        state.PauseTiming();
        std::memcpy(d.data(), b.data(), b.size() * 4);
        state.ResumeTiming();
        glimmer::renderDissipation(a.data(), d.data(), rows, width * 4, s, position, 30);
        benchmark::DoNotOptimize(d.data());
        benchmark::ClobberMemory();
    }
}

void frameCopy(benchmark::State& state) {
    // Eight frames round robin: about 66 MB, well past the last-level cache.
    const size_t bytes = 1920 * 1080 * 4;
    std::vector<std::vector<unsigned char>> frames(8, std::vector<unsigned char>(bytes, 1));
    size_t next = 0;
    for (auto _ : state) {
        std::memcpy(frames[next].data(), frames[(next + 4) % 8].data(), bytes);
        benchmark::DoNotOptimize(frames[next].data());
        benchmark::ClobberMemory();
        next = (next + 1) % 8;
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * bytes);
}

void renderArguments(benchmark::internal::Benchmark* b) {
    for (auto size : {std::pair<int, int>{1920, 1080}, {640, 480}})
        for (int cell : {2, 1})
            for (int position : {0, 8, 15, 29}) b->Args({size.first, size.second, cell, position});
    b->ArgNames({"w", "h", "cell", "pos"});
}

}  // namespace

BENCHMARK(frameCopy)->Unit(benchmark::kMillisecond);
BENCHMARK(renderCase)->Apply(renderArguments)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
