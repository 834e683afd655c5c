#include "frame_round_trip.h"

#include <util/profiler.h>

#include <cstring>


namespace glimmer::obs {
namespace {

// Scope names of OBS's profiler, which compares them by address.
const char* const stageScope = "glimmerscatterweft: stage both pictures";
const char* const engineScope = "glimmerscatterweft: engine";
const char* const uploadScope = "glimmerscatterweft: upload";

}  // namespace

void FrameRoundTrip::release() {
    gs_stagesurface_destroy(stageA_);
    gs_stagesurface_destroy(stageB_);
    gs_texture_destroy(frame_);
    stageA_ = stageB_ = nullptr;
    frame_ = nullptr;
    width_ = rows_ = 0;
}

bool FrameRoundTrip::fit(uint32_t width, uint32_t rows) {
    if (width == width_ && rows == rows_ && frame_ != nullptr) return true;
    release();
    stageA_ = gs_stagesurface_create(width, rows, GS_RGBA);
    stageB_ = gs_stagesurface_create(width, rows, GS_RGBA);
    frame_ = gs_texture_create(width, rows, GS_RGBA, 1, nullptr, GS_DYNAMIC);
    if (stageA_ == nullptr || stageB_ == nullptr || frame_ == nullptr) {
        release();
        return false;
    }
    width_ = width;
    rows_ = rows;
    imageA_.assign(std::size_t(width) * rows, 0);
    destination_.assign(std::size_t(width) * rows, 0);
    return true;
}

// The pictures OBS hands a transition are the canvas's size in 8-bit RGBA
// whenever both scenes are there; a missing scene comes as a small
// placeholder, and a wide-gamut canvas as half floats.
bool FrameRoundTrip::canStage(gs_texture_t* texture, uint32_t width, uint32_t rows) {
    return texture != nullptr && gs_texture_get_width(texture) == width && gs_texture_get_height(texture) == rows &&
           gs_texture_get_color_format(texture) == GS_RGBA;
}

bool FrameRoundTrip::readBack(gs_stagesurf_t* surface, uint32_t* engineOrder) {
    uint8_t* data = nullptr;
    uint32_t linesize = 0;
    if (!gs_stagesurface_map(surface, &data, &linesize)) return false;
    const std::size_t rowBytes = std::size_t(width_) * 4;
    if (linesize >= rowBytes) {
        for (uint32_t r = 0; r < rows_; ++r)
            std::memcpy(engineOrder + std::size_t(rows_ - 1 - r) * width_, data + std::size_t(r) * linesize, rowBytes);
    }
    gs_stagesurface_unmap(surface);
    return linesize >= rowBytes;
}

RoundTripOutcome FrameRoundTrip::render(gs_texture_t* a, gs_texture_t* b, uint32_t width, uint32_t rows,
                                        int32_t position, int32_t total, const TransitionSettings& settings) {
    if (width > widestCanvas) return RoundTripOutcome::tooWide;
    if (!canStage(a, width, rows) || !canStage(b, width, rows) || !fit(width, rows))
        return RoundTripOutcome::notStaged;

    profile_start(stageScope);
    // Both copies are queued before either is waited for.
    gs_stage_texture(stageA_, a);
    gs_stage_texture(stageB_, b);
    const bool staged = readBack(stageA_, imageA_.data()) && readBack(stageB_, destination_.data());
    profile_end(stageScope);
    if (!staged) return RoundTripOutcome::notStaged;

    profile_start(engineScope);
    renderer_.render(imageA_.data(), destination_.data(), int32_t(rows), int32_t(width) * 4, settings, position, total);
    profile_end(engineScope);

    profile_start(uploadScope);
    gs_texture_set_image(frame_, reinterpret_cast<const uint8_t*>(destination_.data()), width * 4, true);
    profile_end(uploadScope);
    return RoundTripOutcome::rendered;
}

}  // namespace glimmer::obs
