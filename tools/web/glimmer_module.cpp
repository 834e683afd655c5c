// The engine bound for JavaScript: the settings record and its file as
// bytes, the settings table and the named looks as plain objects, and a
// renderer that keeps its frames in the module's memory between calls.
//
// Pictures cross this boundary as RGBA bytes with the top row first, as
// ImageData and glimmer's PNGs hold them; the engine's frames have the
// bottom row first, so every picture is turned over on its way in and out.
// Byte views into the module's memory are valid until the next call that
// may grow it; glimmer.js copies them out at once.
#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "frame_setup.h"
#include "inputs/sample_pictures.h"
#include "settings/settings_assignments.h"
#include "settings_fields.h"
#include "settings_file.h"
#include "settings_presets.h"
#include "source_map.h"
#include "source_thumbnail.h"
#include "timecode.h"
#include "transition_settings.h"

using emscripten::val;

namespace {

val bytesOf(const void* data, std::size_t size) {
    return val(emscripten::typed_memory_view(size, static_cast<const uint8_t*>(data)));
}

// A record from JavaScript bytes: exactly 424 of them, or null.
bool recordFrom(const std::string& bytes, glimmer::TransitionSettings& settings) {
    if (bytes.size() != glimmer::transitionSettingsSize) return false;
    std::memcpy(&settings, bytes.data(), sizeof settings);
    return true;
}

val failure(const std::string& message) {
    val answer = val::object();
    answer.set("error", message);
    return answer;
}

val defaultSettingsBytes() {
    static glimmer::TransitionSettings settings;
    settings = glimmer::defaultSettings();
    return bytesOf(&settings, sizeof settings);
}

// The settings file is read by the plug-in's own code from an in-memory
// file, so a page refuses exactly what the dialog's "&Load" refuses, with
// its words.
val readSettingsFileBytes(const std::string& file) {
    static glimmer::TransitionSettings settings;
    const char* path = "/loaded.qvx";
    if (std::FILE* out = std::fopen(path, "wb")) {
        std::fwrite(file.data(), 1, file.size(), out);
        std::fclose(out);
    }
    const glimmer::SettingsFileStatus status = glimmer::readSettingsFile(path, settings);
    std::remove(path);
    if (status != glimmer::SettingsFileStatus::ok) return failure(glimmer::settingsFileMessage(status));
    val answer = val::object();
    answer.set("settings", bytesOf(&settings, sizeof settings));
    return answer;
}

val writeSettingsFileBytes(const std::string& record) {
    static unsigned char file[glimmer::settingsFileSize];
    glimmer::TransitionSettings settings;
    if (!recordFrom(record, settings)) return failure("a settings record is 424 bytes");
    std::memcpy(file, glimmer::settingsFileHeader, glimmer::settingsFileHeaderSize);
    std::memcpy(file + glimmer::settingsFileHeaderSize, &settings, sizeof settings);
    val answer = val::object();
    answer.set("file", bytesOf(file, sizeof file));
    return answer;
}

// FIELD=VALUE as glimmer's --set takes it, with its words for a refusal.
val applyAssignment(const std::string& record, const std::string& assignment) {
    static glimmer::TransitionSettings settings;
    if (!recordFrom(record, settings)) return failure("a settings record is 424 bytes");
    std::string error;
    if (!glimmer::applySettingsAssignment(settings, assignment, error)) return failure(error);
    val answer = val::object();
    answer.set("settings", bytesOf(&settings, sizeof settings));
    return answer;
}

// The dialog's preset buttons: the letter beside a slider and the value it
// sets, which are the dialog's own and not the record's defaults.
struct PresetButton {
    const char* field;
    const char* label;
    int32_t value;
};
constexpr PresetButton presetButtons[] = {
    {"speedVariance", "V", 16},    {"speedNoise", "N", 4},   {"xySpeedDifference", "C", 127},
    {"centerX", "X", 127},         {"centerY", "Y", 127},    {"minimumSpeed", "M", 8},
    {"timelineLinearity", "G", 127}, {"gravity", "G", 0},    {"wind", "W", 128},
    {"delay", "D", 0},             {"delayNoise", "N", 0},   {"lifeMinimum", "M", 255},
    {"lifeMaximum", "L", 255},
};

// The Order box's radio buttons each have a tooltip of their own, by the
// value of their bit; the table carries the one of the set bit.
struct ListTooltips {
    const char* field;
    const char* tooltips[2];
};
constexpr ListTooltips listTooltips[] = {
    {"orderRightLeft", {"Left to right calculation order", "Right to left calculation order"}},
    {"orderDownUp", {"Up to down calculation order", "Down to up calculation order"}},
};

val fieldTable() {
    val fields = val::array();
    for (std::size_t i = 0; i < glimmer::settingsFieldCount; ++i) {
        const glimmer::SettingsField& f = glimmer::settingsFields[i];
        val field = val::object();
        field.set("name", std::string(f.name));
        field.set("offset", static_cast<int>(f.offset));
        field.set("bit", f.bit);
        field.set("defaultValue", f.defaultValue);
        field.set("minimum", f.minimum);
        field.set("maximum", f.maximum);
        field.set("sliderMaximum", f.sliderMaximum);
        field.set("alias", f.alias);
        field.set("meaning", std::string(f.meaning));
        field.set("page", std::string(f.page));
        field.set("group", std::string(f.group));
        field.set("caption", std::string(f.caption));
        field.set("tooltip", std::string(f.tooltip));
        field.set("panel", f.panel);
        field.set("panelOrder", f.panelOrder);
        val names = val::array();
        for (int32_t n = 0; n < f.listCount; ++n) names.call<void>("push", std::string(f.listNames[n]));
        field.set("listNames", names);
        val tips = val::array();
        for (const ListTooltips& list : listTooltips)
            if (std::strcmp(list.field, f.name) == 0)
                for (const char* tip : list.tooltips) tips.call<void>("push", std::string(tip));
        field.set("listTooltips", tips);
        field.set("preset", val::null());
        for (const PresetButton& button : presetButtons) {
            if (std::strcmp(button.field, f.name) != 0) continue;
            val preset = val::object();
            preset.set("label", std::string(button.label));
            preset.set("value", button.value);
            field.set("preset", preset);
        }
        fields.call<void>("push", field);
    }
    return fields;
}

val presetTable() {
    val presets = val::array();
    for (std::size_t i = 0; i < glimmer::settingsPresetCount; ++i) {
        const glimmer::SettingsPreset& p = glimmer::settingsPresets[i];
        val preset = val::object();
        preset.set("name", std::string(p.name));
        preset.set("title", std::string(p.title));
        preset.set("description", std::string(p.description));
        static glimmer::TransitionSettings settings;
        settings = glimmer::presetSettings(p);
        preset.set("settings", bytesOf(&settings, sizeof settings).call<val>("slice"));
        presets.call<void>("push", preset);
    }
    return presets;
}

std::string formatTimecode(int32_t frames, int32_t framesPerSecond) {
    char text[timecodeBufferSize];
    FormatTimecode(frames, framesPerSecond, text);
    return text;
}

// The dialog's two-line readout, its 54 characters as the plug-in lays them out.
std::string timeReadout(int32_t total, int32_t position, int32_t framesPerSecond) {
    TimeReadout readout;
    readout.Update(total, position, framesPerSecond);
    return readout.Text();
}

// Turns rows over between top-first and bottom-first order.
void copyRowsTurned(uint32_t* to, const uint32_t* from, int32_t width, int32_t rows) {
    const std::size_t rowBytes = static_cast<std::size_t>(width) * 4;
    for (int32_t r = 0; r < rows; ++r)
        std::memcpy(to + static_cast<std::size_t>(rows - 1 - r) * width, from + static_cast<std::size_t>(r) * width,
                    rowBytes);
}

// The built-in pair at a size: 0 is image A (the sunset), 1 image B (the
// mosaic), exactly the pictures glimmer renders without inputs.
val samplePicture(int32_t which, int32_t width, int32_t rows) {
    static std::vector<uint32_t> turned;
    const glimmer::tool::Picture picture = which == 0 ? glimmer::tool::makeSunsetPicture(width, rows)
                                                      : glimmer::tool::makeMosaicPicture(width, rows);
    turned.resize(picture.pixels.size());
    copyRowsTurned(turned.data(), picture.pixels.data(), width, rows);
    return bytesOf(turned.data(), turned.size() * 4);
}

// Frames of one size, kept between calls: a page playing a transition
// allocates nothing per frame. Image A and image B are written through
// their views (top row first) and turned over only when they change.
class FrameRenderer {
public:
    FrameRenderer(int32_t width, int32_t rows)
        : m_width(width), m_rows(rows), m_words(static_cast<std::size_t>(width) * rows),
          m_upload(m_words), m_imageA(m_words), m_imageB(m_words), m_destination(m_words), m_output(m_words) {}

    int32_t width() const { return m_width; }
    int32_t rows() const { return m_rows; }

    // Where the caller writes a picture before setImage(which).
    val uploadView() { return bytesOf(m_upload.data(), m_words * 4); }
    void setImage(int32_t which) {
        copyRowsTurned(which == 0 ? m_imageA.data() : m_imageB.data(), m_upload.data(), m_width, m_rows);
    }

    // The frame, top row first; null for a record that is not 424 bytes.
    val render(const std::string& record, int32_t position, int32_t total) {
        glimmer::TransitionSettings settings;
        if (!recordFrom(record, settings)) return val::null();
        const glimmer::FrameRequest request{m_imageA.data(), m_imageB.data(), m_destination.data(), m_rows,
                                            m_width * 4, position, total, false};
        glimmer::runFrameSetup(request, settings);
        copyRowsTurned(m_output.data(), m_destination.data(), m_width, m_rows);
        return bytesOf(m_output.data(), m_words * 4);
    }

    // The Sources page's 128 x 96 grey picture of one map of the record
    // (0 "Moving X", 1 "Moving Y", 2 "Delay") over the current pictures, as
    // RGBA with the top row first.
    val sourceThumbnail(const std::string& record, int32_t parameter) {
        glimmer::TransitionSettings settings;
        if (!recordFrom(record, settings)) return val::null();
        const glimmer::SourceMap& map = parameter == 0   ? settings.movingXMap
                                        : parameter == 1 ? settings.movingYMap
                                                         : settings.delayMap;
        computeSourceThumbnail(m_grey, map, {m_width, m_rows, m_imageA.data(), m_imageB.data()});
        for (uint32_t& word : m_grey) word |= 0xFF000000u;  // opaque for a canvas
        copyRowsTurned(m_thumbnail, m_grey, thumbnailWidth, thumbnailRows);
        return bytesOf(m_thumbnail, sizeof m_thumbnail);
    }

private:
    int32_t m_width;
    int32_t m_rows;
    std::size_t m_words;
    std::vector<uint32_t> m_upload, m_imageA, m_imageB, m_destination, m_output;
    uint32_t m_grey[thumbnailWidth * thumbnailRows];
    uint32_t m_thumbnail[thumbnailWidth * thumbnailRows];
};

}  // namespace

EMSCRIPTEN_BINDINGS(glimmer) {
    emscripten::function("defaultSettings", &defaultSettingsBytes);
    emscripten::function("readSettingsFile", &readSettingsFileBytes);
    emscripten::function("writeSettingsFile", &writeSettingsFileBytes);
    emscripten::function("applyAssignment", &applyAssignment);
    emscripten::function("fieldTable", &fieldTable);
    emscripten::function("presetTable", &presetTable);
    emscripten::function("formatTimecode", &formatTimecode);
    emscripten::function("timeReadout", &timeReadout);
    emscripten::function("samplePicture", &samplePicture);
    emscripten::constant("widestFrame", glimmer::widestFrame);
    emscripten::class_<FrameRenderer>("FrameRenderer")
        .constructor<int32_t, int32_t>()
        .function("width", &FrameRenderer::width)
        .function("rows", &FrameRenderer::rows)
        .function("uploadView", &FrameRenderer::uploadView)
        .function("setImage", &FrameRenderer::setImage)
        .function("render", &FrameRenderer::render)
        .function("sourceThumbnail", &FrameRenderer::sourceThumbnail);
}
