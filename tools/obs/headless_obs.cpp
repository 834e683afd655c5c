#include "headless_obs.h"

#include <X11/Xlib.h>
#include <obs-nix-platform.h>
#include <util/profiler.h>

#include <chrono>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace glimmer::obs {

HeadlessObs::HeadlessObs(const std::string& module, const std::string& moduleData, uint32_t width, uint32_t rows,
                         uint32_t fps)
    : width_(width), rows_(rows), fps_(fps) {
    base_set_log_handler(logLine, this);
    display_ = XOpenDisplay(nullptr);
    if (display_ == nullptr) {
        failure_ = "no X display (run under Xvfb)";
        return;
    }
    obs_set_nix_platform(OBS_NIX_PLATFORM_X11_EGL);
    obs_set_nix_platform_display(display_);
    profiler_start();
    if (!obs_startup("en-US", nullptr, nullptr)) {
        failure_ = "obs_startup failed";
        return;
    }
    const obs_audio_info audio{48000, SPEAKERS_STEREO};
    if (!obs_reset_audio(&audio)) {
        failure_ = "obs_reset_audio failed";
        return;
    }
    if (!resetVideo(width, rows)) return;
    if (!loadModule(OBS_SYSTEM_PLUGIN_DIR "/image-source.so", OBS_SYSTEM_DATA_DIR "/image-source") ||
        !loadModule(module.c_str(), moduleData.c_str()))
        return;
    obs_post_load_modules();
    obs_add_tick_callback(countTick, this);
}

HeadlessObs::~HeadlessObs() {
    if (obs_initialized()) {
        obs_remove_tick_callback(countTick, this);
        obs_set_output_source(0, nullptr);
        obs_source_release(transition_);
        for (obs_source_t* s : sources_) obs_source_release(s);
        obs_shutdown();
    }
    profiler_stop();
    profiler_free();
    if (display_ != nullptr) XCloseDisplay(static_cast<Display*>(display_));
    base_set_log_handler(nullptr, nullptr);
}

bool HeadlessObs::resetVideo(uint32_t width, uint32_t rows) {
    obs_video_info video{};
    video.graphics_module = "libobs-opengl";
    video.fps_num = fps_;
    video.fps_den = 1;
    video.base_width = video.output_width = width;
    video.base_height = video.output_height = rows;
    video.output_format = VIDEO_FORMAT_RGBA;
    video.colorspace = VIDEO_CS_SRGB;
    video.range = VIDEO_RANGE_FULL;
    video.scale_type = OBS_SCALE_POINT;
    const int status = obs_reset_video(&video);
    if (status != OBS_VIDEO_SUCCESS) failure_ = "obs_reset_video failed with " + std::to_string(status);
    width_ = width;
    rows_ = rows;
    return status == OBS_VIDEO_SUCCESS;
}

bool HeadlessObs::resizeCanvas(uint32_t width, uint32_t rows) { return resetVideo(width, rows); }

bool HeadlessObs::loadModule(const char* binary, const char* data) {
    obs_module_t* module = nullptr;
    const int status = obs_open_module(&module, binary, data);
    if (status != MODULE_SUCCESS || !obs_init_module(module)) {
        failure_ = std::string("cannot load the OBS module ") + binary + " (" + std::to_string(status) + ")";
        return false;
    }
    return true;
}

obs_source_t* HeadlessObs::imageScene(const std::string& name, const std::string& png) {
    obs_data_t* settings = obs_data_create();
    obs_data_set_string(settings, "file", png.c_str());
    obs_source_t* image = obs_source_create("image_source", (name + " picture").c_str(), settings, nullptr);
    obs_data_release(settings);
    obs_scene_t* scene = obs_scene_create(name.c_str());
    obs_scene_add(scene, image);
    sources_.push_back(image);
    sources_.push_back(obs_scene_get_source(scene));
    return sources_.back();
}

obs_source_t* HeadlessObs::transition(obs_source_t* from) {
    if (transition_ == nullptr) {
        transition_ = obs_source_create("glimmerscatterweft_transition", "Glimmerscatterweft", nullptr, nullptr);
        obs_set_output_source(0, transition_);
    }
    obs_transition_set(transition_, from);
    return transition_;
}

void HeadlessObs::holdAt(obs_source_t* to, float t) {
    obs_transition_start(transition_, OBS_TRANSITION_MODE_MANUAL, 0, to);
    obs_transition_set_manual_time(transition_, t);
    // The tick under way may have read the progress before the change; the
    // one after it has not.
    std::unique_lock<std::mutex> lock(lock_);
    const uint64_t wanted = ticks_ + 2;
    ticked_.wait_for(lock, std::chrono::seconds(60), [&] { return ticks_ >= wanted; });
}

std::vector<uint8_t> HeadlessObs::frameAt(obs_source_t* to, float t) {
    holdAt(to, t);
    std::vector<uint8_t> frame(std::size_t(width_) * rows_ * 4);
    obs_enter_graphics();
    gs_texrender_t* canvas = gs_texrender_create(GS_RGBA, GS_ZS_NONE);
    gs_stagesurf_t* staging = gs_stagesurface_create(width_, rows_, GS_RGBA);
    if (gs_texrender_begin(canvas, width_, rows_)) {
        vec4 clear;
        vec4_zero(&clear);
        gs_clear(GS_CLEAR_COLOR, &clear, 0.0f, 0);
        gs_ortho(0.0f, float(width_), 0.0f, float(rows_), -100.0f, 100.0f);
        obs_source_video_render(transition_);
        gs_texrender_end(canvas);
        gs_stage_texture(staging, gs_texrender_get_texture(canvas));
        uint8_t* data = nullptr;
        uint32_t linesize = 0;
        if (gs_stagesurface_map(staging, &data, &linesize)) {
            for (uint32_t r = 0; r < rows_; ++r)
                std::memcpy(frame.data() + std::size_t(r) * width_ * 4, data + std::size_t(r) * linesize, width_ * 4);
            gs_stagesurface_unmap(staging);
        }
    }
    gs_stagesurface_destroy(staging);
    gs_texrender_destroy(canvas);
    obs_leave_graphics();
    return frame;
}

std::vector<std::string> HeadlessObs::logLines(const std::string& text) const {
    std::lock_guard<std::mutex> lock(lock_);
    std::vector<std::string> lines;
    for (const std::string& line : log_)
        if (line.find(text) != std::string::npos) lines.push_back(line);
    return lines;
}

void HeadlessObs::logLine(int level, const char* format, va_list args, void* self) {
    char line[4096];
    std::vsnprintf(line, sizeof line, format, args);
    auto& obs = *static_cast<HeadlessObs*>(self);
    std::lock_guard<std::mutex> lock(obs.lock_);
    obs.log_.push_back(line);
    if (level <= LOG_WARNING || std::getenv("GLIMMER_OBS_LOG") != nullptr) std::fprintf(stderr, "obs: %s\n", line);
}

void HeadlessObs::countTick(void* self, float) {
    auto& obs = *static_cast<HeadlessObs*>(self);
    std::lock_guard<std::mutex> lock(obs.lock_);
    ++obs.ticks_;
    obs.ticked_.notify_all();
}

}  // namespace glimmer::obs
