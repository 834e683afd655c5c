// The transition as an MLT module of its own, service "glimmerscatterweft".
//
// Unlike the frei0r plug-in, which sees only a time and a progress that the
// host must keyframe, an MLT transition knows where it is: frame k of a
// transition of n frames renders as position k of total n, exactly as the
// plug-in's host would ask for it, so a composition runs from image A to
// image B over its whole length with nothing to keyframe. Image A is the
// lower track (a_track), image B the upper one; "invert" swaps them.
//
// Frames arrive as RGBA with the top row first; the engine keeps the top row
// last, so each frame is flipped into scratch buffers from MLT's pool and the
// result flipped back into image A's buffer.
extern "C" {
#include <framework/mlt.h>
}

#include <climits>
#include <cmath>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <utility>

#include "frame_setup.h"
#include "parallel_render.h"
#include "project_root.h"
#include "property_settings.h"
#include "transition_metadata.h"

namespace {

using namespace glimmer;

constexpr char serviceName[] = "glimmerscatterweft";

struct Instance {
    std::mutex mutex;  // frames of one transition may render on several threads
    PropertySettings settings;
    std::string lastComplaint;
    // One frame at a time on as many threads as MLT gives its own slices
    // (MLT_SLICES_COUNT, else one a core); a frame that finds them busy, when
    // the consumer renders frames side by side, renders on its own thread.
    // Its threads start with the first frame, on the thread that renders:
    // started while melt loads the project, they leave it now and then
    // ending at once, exit status 0, without a frame written.
    std::mutex rendererMutex;
    std::unique_ptr<ParallelRenderer> renderer;
};

const char* getProperty(const char* name, void* properties) {
    return mlt_properties_get(static_cast<mlt_properties>(properties), name);
}

void setProperty(const char* name, const char* value, void* properties) {
    mlt_properties_set(static_cast<mlt_properties>(properties), name, value);
}

TransitionSettings currentSettings(mlt_transition transition) {
    auto& self = *static_cast<Instance*>(transition->child);
    std::lock_guard<std::mutex> lock(self.mutex);
    std::string complaint;
    const PropertyAccess access{getProperty, setProperty, MLT_TRANSITION_PROPERTIES(transition)};
    const TransitionSettings settings =
        self.settings.read(access, [&] { return projectRoot(MLT_TRANSITION_SERVICE(transition)); }, complaint);
    // Said once, not for every frame, as an error: editors show MLT's errors
    // to their user, and melt prints them.
    if (!complaint.empty() && complaint != self.lastComplaint)
        mlt_log_error(MLT_TRANSITION_SERVICE(transition), "%s\n", complaint.c_str());
    self.lastComplaint = complaint;
    return settings;
}

// Frame k of n: MLT's progress is k / n over the transition's in and out,
// or over the producer's when the transition has no out point.
void transitionFrame(mlt_transition transition, mlt_frame frame, int32_t& position, int32_t& total) {
    mlt_position length = mlt_transition_get_length(transition);
    if (mlt_transition_get_out(transition) == 0) {
        mlt_producer producer = mlt_frame_get_original_producer(frame);
        length = producer != nullptr ? mlt_producer_get_out(producer) - mlt_producer_get_in(producer) + 1 : 1;
    }
    total = static_cast<int32_t>(length > 0 ? length : 1);
    const double progress = mlt_transition_get_progress(transition, frame);
    position = static_cast<int32_t>(std::lround(progress * total));
    if (position < 0) position = 0;
    if (position > total - 1) position = total - 1;
}

void flipRows(const uint8_t* from, uint8_t* to, int width, int height) {
    const std::size_t row = std::size_t(width) * 4;
    for (int r = 0; r < height; ++r) std::memcpy(to + std::size_t(height - 1 - r) * row, from + r * row, row);
}

int getImage(mlt_frame aFrame, uint8_t** image, mlt_image_format* format, int* width, int* height, int) {
    mlt_frame bFrame = mlt_frame_pop_frame(aFrame);
    auto transition = static_cast<mlt_transition>(mlt_frame_pop_service(aFrame));
    int32_t position = 0, total = 1;
    transitionFrame(transition, aFrame, position, total);

    *format = mlt_image_rgba;
    int error = mlt_frame_get_image(aFrame, image, format, width, height, 1);
    if (error != 0) return error;
    uint8_t* imageB = nullptr;
    mlt_image_format formatB = mlt_image_rgba;
    int widthB = *width, heightB = *height;
    // Without a B picture of the same size there is nothing to mix: A stays.
    if (mlt_frame_get_image(bFrame, &imageB, &formatB, &widthB, &heightB, 0) != 0 || formatB != mlt_image_rgba ||
        widthB != *width || heightB != *height)
        return 0;

    uint8_t* first = *image;
    uint8_t* second = imageB;
    if (mlt_properties_get_int(MLT_TRANSITION_PROPERTIES(transition), "invert") != 0) std::swap(first, second);
    const std::size_t bytes = std::size_t(*width) * *height * 4;
    if (*width > widestFrame) {
        // Wider than any frame we render: a cut at the middle.
        const uint8_t* shown = position < total / 2 ? first : second;
        if (shown != *image) std::memcpy(*image, shown, bytes);
        return 0;
    }
    const TransitionSettings settings = currentSettings(transition);
    // MLT's pool counts in int; a frame it cannot hold three times stays image A.
    auto* scratch = 3 * bytes <= INT_MAX ? static_cast<uint8_t*>(mlt_pool_alloc(static_cast<int>(3 * bytes))) : nullptr;
    if (scratch == nullptr) return 0;
    uint8_t *engineA = scratch, *engineB = scratch + bytes, *destination = scratch + 2 * bytes;
    flipRows(first, engineA, *width, *height);
    flipRows(second, engineB, *width, *height);
    const FrameRequest request{reinterpret_cast<const uint32_t*>(engineA), reinterpret_cast<const uint32_t*>(engineB),
                               reinterpret_cast<uint32_t*>(destination), *height, *width * 4, position, total,
                               false};
    {
        auto& self = *static_cast<Instance*>(transition->child);
        std::unique_lock<std::mutex> pool(self.rendererMutex, std::try_to_lock);
        if (pool.owns_lock() && !self.renderer) self.renderer = std::make_unique<ParallelRenderer>(mlt_slices_count_normal());
        if (pool.owns_lock()) runFrameSetup(request, settings, *self.renderer);
        else runFrameSetup(request, settings);
    }
    flipRows(destination, *image, *width, *height);
    mlt_pool_release(scratch);
    return 0;
}

mlt_frame processFrames(mlt_transition transition, mlt_frame aFrame, mlt_frame bFrame) {
    mlt_frame_push_service(aFrame, transition);
    mlt_frame_push_frame(aFrame, bFrame);
    mlt_frame_push_get_image(aFrame, getImage);
    return aFrame;
}

void closeTransition(mlt_transition transition) {
    delete static_cast<Instance*>(transition->child);
    transition->child = nullptr;
    transition->close = nullptr;
    mlt_transition_close(transition);
}

void* createTransition(mlt_profile, mlt_service_type, const char*, const void*) {
    mlt_transition transition = mlt_transition_new();
    if (transition == nullptr) return nullptr;
    transition->child = new Instance;
    // MLT hands a transition only the frames of the kind it names: 1 is video.
    mlt_properties_set_int(MLT_TRANSITION_PROPERTIES(transition), "_transition_type", 1);
    transition->process = processFrames;
    transition->close = closeTransition;
    return transition;
}

mlt_properties describeTransition(mlt_service_type, const char*, void*) { return transitionMetadata(serviceName); }

}  // namespace

extern "C" MLT_REPOSITORY {
    MLT_REGISTER(mlt_service_transition_type, serviceName, createTransition);
    MLT_REGISTER_METADATA(mlt_service_transition_type, serviceName, describeTransition, nullptr);
}
