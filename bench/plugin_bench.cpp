// The plug-in's own speed: Fx.prm and Fx-baseline.prm loaded as the editor
// loads them and timed through xEffect(0), against a plain copy of one
// 1920 x 1080 frame timed in the same run, render by render.
//
// A line per case, comma-separated: plugin, kernel set, width, rows, cell
// size, position of 30, median milliseconds, median frame copies.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "effect_session.h"
#include "plugin_library.h"
#include "transition_settings.h"

namespace {

using glimmer::EffectSession;
using glimmer::TransitionSettings;

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

// Eight 1080p frames, about 66 MB, past the last-level cache: each copy
// reads and writes memory, as the plug-in's frames do in an editor.
class FrameCopies {
public:
    double timeOne() {
        const auto start = Clock::now();
        std::memcpy(frames_[next_].data(), frames_[(next_ + 4) % 8].data(), bytes);
        const double t = secondsSince(start);
        next_ = (next_ + 1) % 8;
        return t;
    }

private:
    static constexpr size_t bytes = 1920 * 1080 * 4;
    std::vector<std::vector<unsigned char>> frames_ =
        std::vector<std::vector<unsigned char>>(8, std::vector<unsigned char>(bytes, 1));
    size_t next_ = 0;
};

void fill(std::vector<uint32_t>& pixels, uint32_t seed) {
    for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = seed ^ static_cast<uint32_t>(i * 2654435761u);
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

struct Case {
    int32_t width, rows, cell, position;
};

// Renders `c` a few times and answers the median time of a render and of a
// frame copy made right before it.
std::pair<double, double> timeCase(const glimmer::PluginLibrary& plugin, const Case& c, FrameCopies& copies,
                                   int repetitions) {
    EffectSession session(c.width, c.rows);
    fill(session.imageA().pixels(), 0x11111111u);
    fill(session.imageB().pixels(), 0x22222222u);
    TransitionSettings settings = glimmer::defaultSettings();
    settings.cellWidth = settings.cellHeight = c.cell;
    TransitionSettings* block = &settings;
    session.record().settingsHandle = &block;
    session.record().position = c.position;
    session.record().total = 30;
    std::vector<double> renders, copied;
    plugin.call(0, session.handle());  // first touch of the pages
    for (int n = 0; n < repetitions; ++n) {
        copied.push_back(copies.timeOne());
        const auto start = Clock::now();
        plugin.call(0, session.handle());
        renders.push_back(secondsSince(start));
    }
    return {median(renders), median(copied)};
}

}  // namespace

int main(int argc, char** argv) {
    const int repetitions = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
    __builtin_cpu_init();
    const bool avx2 = __builtin_cpu_supports("avx2");
    const std::pair<const char*, const char*> plugins[] = {{"Fx.prm", avx2 ? "avx2" : "baseline"},
                                                           {"Fx-baseline.prm", "baseline"}};
    FrameCopies copies;
    std::printf("plugin,kernels,width,rows,cell,position,ms,copies\n");
    for (const auto& [name, kernels] : plugins) {
        const glimmer::PluginLibrary plugin(name);
        if (!plugin.loaded()) {
            std::fprintf(stderr, "plugin_bench: cannot load %s beside this program\n", name);
            return 1;
        }
        for (const auto& size : {std::pair<int32_t, int32_t>{1920, 1080}, {640, 480}})
            for (int32_t cell : {2, 1})
                for (int32_t position : {0, 8, 15, 29}) {
                    const Case c{size.first, size.second, cell, position};
                    const auto [render, copy] = timeCase(plugin, c, copies, repetitions);
                    std::printf("%s,%s,%d,%d,%d,%d,%.2f,%.1f\n", name, kernels, c.width, c.rows, c.cell, c.position,
                                render * 1e3, render / copy);
                    std::fflush(stdout);
                }
    }
    return 0;
}
