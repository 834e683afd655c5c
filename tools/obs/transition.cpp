// The transition as an OBS Studio module: one transition source,
// "Glimmerscatterweft", over the same engine as every other host.
//
// OBS hands the transition both scenes as textures and the progress t from
// 0 to 1; the picture is the engine's frame round(t * 999) of a 1000-frame
// transition, as in the frei0r plug-in, so the same settings give the same
// picture in every host. Audio crossfades as OBS's own fade does. An empty
// side (Show, Hide, no scene) is a transparent picture. A canvas the engine
// cannot take, or scenes that cannot be read back, get a cut at the middle
// instead, with one line in OBS's log that says which.
#include <obs-module.h>
#include <util/profiler.h>

#include <cmath>
#include <mutex>
#include <vector>

#include "frame_round_trip.h"
#include "transition_properties.h"

OBS_DECLARE_MODULE()

namespace glimmer::obs {
namespace {

constexpr int32_t mappedTotal = 1000;
const char* const renderScope = "glimmerscatterweft: transition frame";

struct Transition {
    obs_source_t* source;
    std::mutex settingsLock;   // update() runs on the user interface's thread
    TransitionSettings settings = defaultSettings();
    FrameRoundTrip roundTrip;  // graphics thread only
    RoundTripOutcome lastOutcome = RoundTripOutcome::rendered;
    gs_texture_t* emptySide = nullptr;  // graphics thread only
    gs_effect_t* keyedEffect = nullptr;  // graphics thread only
    bool keyedEffectTried = false;
};

Transition& transitionOf(void* data) { return *static_cast<Transition*>(data); }

int32_t mappedPosition(float t) {
    const double progress = std::isnan(t) ? 0.0 : std::fmin(std::fmax(double(t), 0.0), 1.0);
    return static_cast<int32_t>(std::lround(progress * (mappedTotal - 1)));
}

// Draws a texture's bytes unchanged: no sRGB decoding or encoding on the way.
void drawTexture(gs_texture_t* texture, uint32_t width, uint32_t rows) {
    if (texture == nullptr) return;
    gs_effect_t* effect = obs_get_base_effect(OBS_EFFECT_DEFAULT);
    const bool previous = gs_framebuffer_srgb_enabled();
    gs_enable_framebuffer_srgb(false);
    gs_effect_set_texture(gs_effect_get_param_by_name(effect, "image"), texture);
    while (gs_effect_loop(effect, "Draw")) gs_draw_sprite(texture, 0, width, rows);
    gs_enable_framebuffer_srgb(previous);
}

// The effect that draws a keyed frame over B's texture, loaded on the
// graphics thread at the first frame. Without it both scenes are read back.
gs_effect_t* keyedEffect(Transition& self) {
    if (self.keyedEffectTried) return self.keyedEffect;
    self.keyedEffectTried = true;
    char* path = obs_module_file("keyed_frame.effect");
    char* errors = nullptr;
    if (path != nullptr) self.keyedEffect = gs_effect_create_from_file(path, &errors);
    if (self.keyedEffect == nullptr)
        blog(LOG_WARNING, "[glimmerscatterweft] keyed_frame.effect cannot be loaded (%s): both scenes are read back "
             "every frame", errors != nullptr ? errors : "it is not in the module's data folder");
    bfree(errors);
    bfree(path);
    return self.keyedEffect;
}

// A keyed frame: the engine's pixels, and B's wherever the key is left.
void drawKeyed(gs_effect_t* effect, gs_texture_t* frame, gs_texture_t* b, uint32_t key, uint32_t width,
               uint32_t rows) {
    vec4 colour;
    vec4_set(&colour, float(key & 0xFFu) / 255.0f, float(key >> 8 & 0xFFu) / 255.0f,
             float(key >> 16 & 0xFFu) / 255.0f, float(key >> 24) / 255.0f);
    const bool previous = gs_framebuffer_srgb_enabled();
    gs_enable_framebuffer_srgb(false);
    gs_effect_set_texture(gs_effect_get_param_by_name(effect, "image"), frame);
    gs_effect_set_texture(gs_effect_get_param_by_name(effect, "background"), b);
    gs_effect_set_vec4(gs_effect_get_param_by_name(effect, "key"), &colour);
    while (gs_effect_loop(effect, "Draw")) gs_draw_sprite(frame, 0, width, rows);
    gs_enable_framebuffer_srgb(previous);
}

// One line when the transition starts cutting, and again whenever the
// reason changes; none for each frame.
void noteOutcome(Transition& self, RoundTripOutcome outcome, uint32_t width, uint32_t rows) {
    if (outcome == self.lastOutcome) return;
    self.lastOutcome = outcome;
    if (outcome == RoundTripOutcome::tooWide)
        blog(LOG_WARNING, "[glimmerscatterweft] the canvas is %u x %u, wider than the %u pixels the transition takes: "
             "cutting at the middle instead", width, rows, widestCanvas);
    else if (outcome == RoundTripOutcome::notStaged)
        blog(LOG_WARNING, "[glimmerscatterweft] the scenes' %u x %u pictures cannot be read back from the graphics "
             "card: cutting at the middle instead", width, rows);
}

// The side of a Show or Hide transition, or of one from or to no scene, that
// has nothing: a transparent picture of the canvas's size, so that a shown
// source is uncovered as the empty picture breaks up over it and a hidden
// one breaks up and leaves nothing. Made again only when the canvas changes.
gs_texture_t* emptySide(Transition& self, uint32_t width, uint32_t rows) {
    gs_texture_t*& empty = self.emptySide;
    if (empty != nullptr && (gs_texture_get_width(empty) != width || gs_texture_get_height(empty) != rows)) {
        gs_texture_destroy(empty);
        empty = nullptr;
    }
    if (empty == nullptr) {
        const std::vector<uint8_t> nothing(std::size_t(width) * rows * 4, 0);
        const uint8_t* levels[] = {nothing.data()};
        empty = gs_texture_create(width, rows, GS_RGBA, 1, levels, 0);
    }
    return empty;
}

void renderFrame(void* data, gs_texture_t* a, gs_texture_t* b, float t, uint32_t width, uint32_t rows) {
    Transition& self = transitionOf(data);
    profile_start(renderScope);
    if (a == nullptr) a = emptySide(self, width, rows);
    if (b == nullptr) b = emptySide(self, width, rows);
    TransitionSettings settings;
    {
        std::lock_guard<std::mutex> lock(self.settingsLock);
        settings = self.settings;
    }
    const int32_t position = mappedPosition(t);
    gs_effect_t* keyed = keyedEffect(self);
    const RoundTripOutcome outcome =
        self.roundTrip.render(a, b, width, rows, position, mappedTotal, settings, keyed != nullptr);
    noteOutcome(self, outcome, width, rows);
    if (outcome == RoundTripOutcome::rendered && self.roundTrip.keyed())
        drawKeyed(keyed, self.roundTrip.frame(), b, self.roundTrip.key(), width, rows);
    else if (outcome == RoundTripOutcome::rendered)
        drawTexture(self.roundTrip.frame(), width, rows);
    else
        drawTexture(position < mappedTotal / 2 ? a : b, width, rows);
    profile_end(renderScope);
}

const char* transitionName(void*) { return "Glimmerscatterweft"; }

void updateTransition(void* data, obs_data_t* settings) {
    Transition& self = transitionOf(data);
    loadChosenPreset(settings);
    loadChosenSettingsFile(settings);
    const TransitionSettings record = recordFromSettings(settings);
    std::lock_guard<std::mutex> lock(self.settingsLock);
    self.settings = record;
}

void* createTransition(obs_data_t* settings, obs_source_t* source) {
    auto* self = new Transition{source};
    updateTransition(self, settings);
    return self;
}

void destroyTransition(void* data) {
    Transition* self = &transitionOf(data);
    obs_enter_graphics();
    self->roundTrip.release();
    if (self->emptySide != nullptr) gs_texture_destroy(self->emptySide);
    gs_effect_destroy(self->keyedEffect);
    obs_leave_graphics();
    delete self;
}

// No placeholder: an empty side reaches renderFrame as null, not as OBS's
// small transparent texture, which could never be staged at canvas size.
void renderTransition(void* data, gs_effect_t*) {
    obs_transition_video_render2(transitionOf(data).source, renderFrame, nullptr);
}

float mixA(void*, float t) { return 1.0f - t; }
float mixB(void*, float t) { return t; }

bool renderAudio(void* data, uint64_t* timestamp, obs_source_audio_mix* audio, uint32_t mixers, size_t channels,
                 size_t sampleRate) {
    return obs_transition_audio_render(transitionOf(data).source, timestamp, audio, mixers, channels, sampleRate, mixA,
                                       mixB);
}

// The engine works on 8-bit pictures: OBS converts the scenes to sRGB for it
// and the frame back to whatever the canvas uses.
gs_color_space colorSpace(void*, size_t, const gs_color_space*) { return GS_CS_SRGB; }

void defaults(obs_data_t* settings) { setTransitionDefaults(settings); }

obs_properties_t* properties(void*) {
    char* presets = obs_module_file("presets");
    obs_properties_t* made = makeTransitionProperties(presets);
    bfree(presets);
    return made;
}

obs_source_info transitionInfo() {
    obs_source_info info{};
    info.id = "glimmerscatterweft_transition";
    info.type = OBS_SOURCE_TYPE_TRANSITION;
    // Custom draw: the transition runs its own effect rather than being
    // drawn inside a pass of the default one.
    info.output_flags = OBS_SOURCE_VIDEO | OBS_SOURCE_CUSTOM_DRAW | OBS_SOURCE_COMPOSITE;
    info.get_name = transitionName;
    info.create = createTransition;
    info.destroy = destroyTransition;
    info.update = updateTransition;
    info.get_defaults = defaults;
    info.get_properties = properties;
    info.video_render = renderTransition;
    info.audio_render = renderAudio;
    info.video_get_color_space = colorSpace;
    return info;
}

}  // namespace
}  // namespace glimmer::obs

MODULE_EXPORT const char* obs_module_name(void) { return "Glimmerscatterweft"; }

MODULE_EXPORT const char* obs_module_description(void) { return "Image A dissipates and reveals image B."; }

bool obs_module_load(void) {
    static const obs_source_info info = glimmer::obs::transitionInfo();
    obs_register_source(&info);
    return true;
}
