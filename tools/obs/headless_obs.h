// A small headless OBS of our own, for the tests and the benchmark: libobs
// with its OpenGL backend on the X display in DISPLAY (Xvfb and Mesa here),
// OBS's image source module and our transition module, and the transition on
// the canvas as OBS's output source.
//
// One per process: libobs is a set of globals.
#pragma once

#include <obs.h>

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

namespace glimmer::obs {

class HeadlessObs {
public:
    // Starts libobs with a canvas of width x rows at fps frames a second and
    // loads the transition module from `module`, its data from `moduleData`;
    // failure() says what went wrong, if anything did.
    HeadlessObs(const std::string& module, const std::string& moduleData, uint32_t width, uint32_t rows,
                uint32_t fps);
    ~HeadlessObs();
    HeadlessObs(const HeadlessObs&) = delete;
    HeadlessObs& operator=(const HeadlessObs&) = delete;

    const std::string& failure() const { return failure_; }

    // A new canvas size; the sources stay.
    bool resizeCanvas(uint32_t width, uint32_t rows);

    // A scene holding one image source that shows the PNG file.
    obs_source_t* imageScene(const std::string& name, const std::string& png);

    // The transition, on the canvas, showing `from` (null for none).
    obs_source_t* transition(obs_source_t* from);

    // Holds the transition from its scene to `to` at progress t, as the
    // T-bar of OBS's studio mode does, once OBS has ticked past the change.
    void holdAt(obs_source_t* to, float t);

    // The transition drawn as OBS draws it on the canvas, read back from
    // the graphics card: RGBA, top row first.
    std::vector<uint8_t> frameAt(obs_source_t* to, float t);

    // The lines OBS logged that contain `text`.
    std::vector<std::string> logLines(const std::string& text) const;

private:
    static void logLine(int level, const char* format, va_list args, void* self);
    static void countTick(void* self, float seconds);
    bool resetVideo(uint32_t width, uint32_t rows);
    bool loadModule(const char* binary, const char* data);

    std::string failure_;
    void* display_ = nullptr;
    uint32_t width_, rows_, fps_;
    std::vector<obs_source_t*> sources_;
    obs_source_t* transition_ = nullptr;

    mutable std::mutex lock_;
    std::condition_variable ticked_;
    uint64_t ticks_ = 0;
    std::vector<std::string> log_;
};

}  // namespace glimmer::obs
