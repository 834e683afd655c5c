// How the renderer's cost compares with one plain copy of the frame.
//
// Each renderer case reports its time and, as the counter "copies", that
// time in copies of one 1920 x 1080 frame between buffers larger than the
// cache, timed in the same run. The frameCopy case times the copy alone.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <vector>

#include "chunk_kernels.h"
#include "parallel_render.h"
#include "render_dissipation.h"
#include "transition_settings.h"

namespace {

using glimmer::TransitionSettings;

std::vector<uint32_t> pictureOf(int64_t words, uint32_t seed) {
    std::vector<uint32_t> v(static_cast<size_t>(words));
    for (size_t i = 0; i < v.size(); ++i) v[i] = seed ^ static_cast<uint32_t>(i * 2654435761u);
    return v;
}

// Eight 1920 x 1080 frames, about 66 MB, well past the last-level cache;
// each copy goes to a frame not touched for a while.
struct CopyFrames {
    static constexpr size_t bytes = 1920 * 1080 * 4;
    std::vector<std::vector<unsigned char>> frames = std::vector<std::vector<unsigned char>>(8, std::vector<unsigned char>(bytes, 1));
    size_t next = 0;

    void copyOne() {
        std::memcpy(frames[next].data(), frames[(next + 4) % 8].data(), bytes);
        benchmark::DoNotOptimize(frames[next].data());
        benchmark::ClobberMemory();
        next = (next + 1) % 8;
    }

    // The fastest of a few copies, in seconds.
    double copySeconds() {
        double best = 1e9;
        for (int n = 0; n < 3; ++n) {
            const auto start = std::chrono::steady_clock::now();
            copyOne();
            best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        }
        return best;
    }
};

// Kernel set 0 is what the renderer picks on this machine, 1 the baseline
// that every processor runs.
const glimmer::ChunkKernels& kernelSet(int64_t n) {
    return n == 0 ? glimmer::chosenChunkKernels() : glimmer::baseline::chunkKernels;
}

// A case's frame: the size, cell size and position from the benchmark's
// arguments, the default settings, two pictures and the destination.
struct BenchFrame {
    int32_t width, rows, position;
    TransitionSettings s = glimmer::defaultSettings();
    std::vector<uint32_t> a, b, d;

    explicit BenchFrame(const benchmark::State& state)
        : width(static_cast<int32_t>(state.range(0))),
          rows(static_cast<int32_t>(state.range(1))),
          position(static_cast<int32_t>(state.range(3))),
          a(pictureOf(int64_t{width} * rows, 0x11111111u)),
          b(pictureOf(int64_t{width} * rows, 0x22222222u)),
          d(b.size()) {
        s.cellWidth = s.cellHeight = static_cast<int32_t>(state.range(2));
    }

    void layBackground() { std::memcpy(d.data(), b.data(), b.size() * 4); }

    // render(a, d, rows, rowBytes, settings, position), in seconds.
    template <typename Render>
    double renderSeconds(Render render) {
        const auto start = std::chrono::steady_clock::now();
        render(a.data(), d.data(), rows, width * 4, s, position);
        benchmark::DoNotOptimize(d.data());
        benchmark::ClobberMemory();
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
};

template <typename Render>
void timeRenderer(benchmark::State& state, Render render) {
    BenchFrame frame(state);
    // The copy is timed next to the renderer, in the same run, so that the
    // ratio holds even when the machine's speed drifts between cases.
    CopyFrames copies;
    // A few frames untimed first: a host's renderer already holds its
    // memory, and has shared the rows out over its threads, from earlier ones.
    for (int n = 0; n < 3; ++n) {
        frame.layBackground();
        frame.renderSeconds(render);
    }
    double rendering = 0, copying = 0;
    for (auto _ : state) {
        state.PauseTiming();
        frame.layBackground();
        copying += copies.copySeconds();
        state.ResumeTiming();
        rendering += frame.renderSeconds(render);
    }
    // Renderer time in 1080p frame copies.
    state.counters["copies"] = rendering / copying;
}

void renderCase(benchmark::State& state) {
    const glimmer::ChunkKernels& kernels = kernelSet(state.range(4));
    timeRenderer(state, [&](const uint32_t* a, uint32_t* d, int32_t rows, int32_t rowBytes,
                            const TransitionSettings& s, int32_t position) {
        glimmer::renderDissipation(a, d, rows, rowBytes, s, position, 30, kernels);
    });
}

// The same frames split over a pool of threads made once, as a host keeps
// it. Each iteration also renders the frame on one thread, untimed, first
// or second in turns so that neither finds image A in the cache more often.
// The counter "ofOne" is the median over the iterations of the split
// frame's time over the one-thread frame's next to it: the machine's drift,
// and another program taking a core for a moment, move that far less than
// two cases timed one after the other.
void threadedCase(benchmark::State& state) {
    BenchFrame frame(state);
    glimmer::ParallelRenderer split(static_cast<int32_t>(state.range(4))), one(1);
    CopyFrames copies;
    const auto seconds = [&](glimmer::ParallelRenderer& renderer) {
        frame.layBackground();
        return frame.renderSeconds([&](const uint32_t* a, uint32_t* d, int32_t rows, int32_t rowBytes,
                                       const TransitionSettings& s, int32_t position) {
            renderer.render(a, d, rows, rowBytes, s, position, 30);
        });
    };
    for (int n = 0; n < 3; ++n) seconds(split), seconds(one);
    double splitting = 0, copying = 0;
    std::vector<double> ofOne;
    ofOne.reserve(static_cast<size_t>(state.max_iterations));
    bool oneFirst = true;
    for (auto _ : state) {
        copying += copies.copySeconds();
        const double before = oneFirst ? seconds(one) : 0;
        const double time = seconds(split);
        ofOne.push_back(time / (oneFirst ? before : seconds(one)));
        oneFirst = !oneFirst;
        splitting += time;
        state.SetIterationTime(time);
    }
    state.counters["copies"] = splitting / copying;
    std::nth_element(ofOne.begin(), ofOne.begin() + ofOne.size() / 2, ofOne.end());
    state.counters["ofOne"] = ofOne.empty() ? 0 : ofOne[ofOne.size() / 2];
}

void frameCopy(benchmark::State& state) {
    CopyFrames copies;
    for (auto _ : state) copies.copyOne();
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * CopyFrames::bytes);
}

void renderArguments(benchmark::internal::Benchmark* b) {
    for (auto size : {std::pair<int, int>{1920, 1080}, {640, 480}})
        for (int cell : {2, 1})
            for (int position : {0, 8, 15, 29})
                for (int kernels : {0, 1}) b->Args({size.first, size.second, cell, position, kernels});
    b->ArgNames({"w", "h", "cell", "pos", "baseline"});
}

void threadedArguments(benchmark::internal::Benchmark* b) {
    std::vector<int> counts{1, 2};
    if (glimmer::processorThreads() > 2) counts.push_back(glimmer::processorThreads());
    for (auto size : {std::pair<int, int>{1920, 1080}, {3840, 2160}})
        for (int cell : {2, 1})
            for (int threads : counts) b->Args({size.first, size.second, cell, 8, threads});
    b->ArgNames({"w", "h", "cell", "pos", "threads"});
}

}  // namespace

BENCHMARK(frameCopy)->Unit(benchmark::kMillisecond);
BENCHMARK(renderCase)->Apply(renderArguments)->Unit(benchmark::kMillisecond);
BENCHMARK(threadedCase)->Apply(threadedArguments)->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK_MAIN();
