// How long the transition takes in OBS per frame, next to the engine.
//
// Our headless OBS runs the transition at a fixed progress on a 1920 x 1080
// canvas between two pictures; OBS's profiler times the transition's render
// callback in OBS's own graphics thread, staging, engine (on the module's
// threads) and upload included.
// Staging waits for the graphics card to finish drawing both scenes, which on
// a software renderer is most of the frame, so the round trip is also timed
// alone on scenes already drawn. In the same run the engine renders the same
// frame on its own, and a plain copy of one frame is timed, so the ratios
// hold when the machine's speed drifts. Prints medians in milliseconds.
#include <util/profiler.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "frame_round_trip.h"
#include "headless_obs.h"
#include "common/png_io.h"
#include "render_dissipation.h"
#include "inputs/sample_pictures.h"

namespace {

using namespace glimmer;

// The canvas: 1920 x 1080, or 3840 x 2160 with --size 4k.
uint32_t width = 1920, rows = 1080;

// Durations of one profiler scope, in microseconds, each with its count.
using Histogram = std::map<uint64_t, uint64_t>;

double medianMs(const Histogram& h) {
    uint64_t total = 0, seen = 0;
    for (const auto& [micros, count] : h) total += count;
    for (const auto& [micros, count] : h)
        if ((seen += count) * 2 >= total) return micros / 1000.0;
    return 0;
}

bool collectScopes(void* context, profiler_snapshot_entry_t* entry) {
    auto& scopes = *static_cast<std::map<std::string, Histogram>*>(context);
    const std::string name = profiler_snapshot_entry_name(entry);
    if (name.rfind("glimmerscatterweft", 0) == 0) {
        const profiler_time_entries_t* times = profiler_snapshot_entry_times(entry);
        for (std::size_t i = 0; i < times->num; ++i) scopes[name][times->array[i].time_delta] += times->array[i].count;
    }
    profiler_snapshot_enumerate_children(entry, collectScopes, context);
    return true;
}

// The scopes that ran outside OBS's threads are roots of their own.
bool collectRootScopes(void* context, profiler_snapshot_entry_t* entry) {
    auto& scopes = *static_cast<std::map<std::string, Histogram>*>(context);
    const std::string name = profiler_snapshot_entry_name(entry);
    const profiler_time_entries_t* times = profiler_snapshot_entry_times(entry);
    if (name.rfind("glimmerscatterweft", 0) == 0)
        for (std::size_t i = 0; i < times->num; ++i) scopes[name][times->array[i].time_delta] += times->array[i].count;
    return true;
}

// A scene drawn into a texture of its own, as OBS hands it to a transition.
gs_texrender_t* drawnScene(obs_source_t* scene) {
    gs_texrender_t* texture = gs_texrender_create(GS_RGBA, GS_ZS_NONE);
    if (gs_texrender_begin(texture, width, rows)) {
        vec4 clear;
        vec4_zero(&clear);
        gs_clear(GS_CLEAR_COLOR, &clear, 0.0f, 0);
        gs_ortho(0.0f, float(width), 0.0f, float(rows), -100.0f, 100.0f);
        obs_source_video_render(scene);
        gs_texrender_end(texture);
    }
    return texture;
}

double millisecondsOf(const std::function<void()>& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

double median(std::vector<double> values) {
    std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
    return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    int frames = 150;
    double progress = 8.0 / 30;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--frames") == 0) frames = std::max(10, std::atoi(argv[i + 1]));
        if (std::strcmp(argv[i], "--progress") == 0) progress = std::clamp(std::atof(argv[i + 1]), 0.0, 0.99);
        if (std::strcmp(argv[i], "--size") == 0 && std::strcmp(argv[i + 1], "4k") == 0) {
            width = 3840;
            rows = 2160;
        }
    }
    const int32_t position = static_cast<int32_t>(std::lround(progress * 999));
    char folder[] = "/tmp/obs-bench-XXXXXX";
    if (mkdtemp(folder) == nullptr) return 1;
    const tool::Picture a = tool::makeSunsetPicture(width, rows), b = tool::makeMosaicPicture(width, rows);
    const std::string pathA = std::string(folder) + "/a.png", pathB = std::string(folder) + "/b.png";
    tool::writePng(pathA, a, 1);
    tool::writePng(pathB, b, 1);

    // The engine alone on the same frame, and one plain copy of a frame,
    // between buffers larger than the cache.
    std::vector<uint32_t> destination(b.pixels.size());
    const auto engineAlone = [&] {
        renderDissipation(a.pixels.data(), destination.data(), rows, width * 4, defaultSettings(), position, 1000);
    };
    std::vector<std::vector<uint32_t>> frames8(8, std::vector<uint32_t>(b.pixels.size(), 1));
    int next = 0;
    const auto frameCopy = [&] {
        std::memcpy(frames8[next].data(), frames8[(next + 4) % 8].data(), b.pixels.size() * 4);
        next = (next + 1) % 8;
    };

    std::map<std::string, Histogram> scopes, idleScopes;
    std::vector<double> roundTrips, engines, copies;
    {
        obs::HeadlessObs host(GLIMMER_OBS_MODULE, GLIMMER_OBS_DATA, width, rows, 30);
        if (!host.failure().empty()) {
            std::fprintf(stderr, "obs-bench: %s\n", host.failure().c_str());
            return 1;
        }
        obs_source_t* sceneA = host.imageScene("a", pathA);
        obs_source_t* sceneB = host.imageScene("b", pathB);
        host.transition(sceneA);
        host.holdAt(sceneB, float(progress));
        std::this_thread::sleep_for(std::chrono::milliseconds(frames * 1000 / 30));
        profiler_snapshot_t* snapshot = profile_snapshot_create();
        profiler_snapshot_enumerate_roots(snapshot, collectScopes, &scopes);
        profile_snapshot_free(snapshot);

        // Taken in turns, so that the machine's drift touches all three alike.
        host.transition(sceneA);
        obs_enter_graphics();
        gs_texrender_t* drawnA = drawnScene(sceneA);
        gs_texrender_t* drawnB = drawnScene(sceneB);
        obs::FrameRoundTrip trip;
        const auto roundTrip = [&] {
            trip.render(gs_texrender_get_texture(drawnA), gs_texrender_get_texture(drawnB), width, rows, position,
                        1000, defaultSettings(), true);
        };
        roundTrip();  // waits for the drawing and makes the surfaces
        for (int i = 0; i < 61; ++i) {
            roundTrips.push_back(millisecondsOf(roundTrip));
            copies.push_back(millisecondsOf(frameCopy));
            std::memcpy(destination.data(), b.pixels.data(), b.pixels.size() * 4);
            engines.push_back(millisecondsOf(engineAlone));
        }
        snapshot = profile_snapshot_create();
        profiler_snapshot_enumerate_roots(snapshot, collectRootScopes, &idleScopes);
        profile_snapshot_free(snapshot);
        trip.release();
        gs_texrender_destroy(drawnA);
        gs_texrender_destroy(drawnB);
        obs_leave_graphics();
    }
    std::system(("rm -rf '" + std::string(folder) + "'").c_str());
    const double roundTrip = median(roundTrips), engine = median(engines), copy = median(copies);

    const Histogram& frameTimes = scopes["glimmerscatterweft: transition frame"];
    uint64_t count = 0;
    for (const auto& [micros, n] : frameTimes) count += n;
    const double callback = medianMs(frameTimes), target = 1.5 * engine + copy;
    std::printf("OBS transition, %u x %u, position %d of 1000, default settings\n", width, rows, position);
    std::printf("  render callback in OBS's graphics thread, %llu frames: %.2f ms\n",
                static_cast<unsigned long long>(count), callback);
    for (const char* part : {"read back", "engine", "upload"})
        std::printf("    %-34s %7.2f ms\n", part, medianMs(scopes[std::string("glimmerscatterweft: ") + part]));
    std::printf("  round trip on scenes already drawn    %7.2f ms (%.2f of the target)\n", roundTrip,
                roundTrip / target);
    for (const char* part : {"read back", "engine", "upload"})
        std::printf("    %-34s %7.2f ms\n", part, medianMs(idleScopes[std::string("glimmerscatterweft: ") + part]));
    std::printf("  engine alone, same frame, one thread  %7.2f ms (round trip / engine: %.2f)\n", engine,
                roundTrip / engine);
    std::printf("  one frame copy                        %7.2f ms\n", copy);
    std::printf("  target: 1.5 x engine + one copy       %7.2f ms\n", target);
    return callback > 0 && roundTrip > 0 ? 0 : 1;
}
