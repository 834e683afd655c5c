// The transition as a frei0r mixer2 plug-in for MLT-based editors: a thin
// adapter that converts frames and parameters and runs the engine's frame
// setup, like every other caller.
//
// Parameters, described once in parameterTable():
//   0 "position"  the transition's progress, 0..1 (MLT keyframes it);
//   1 "settings"  path of a .qvx settings file, whose fields become the
//                 values of every field parameter the host has not set;
//   2.. one double per settings field (no single-bit aliases), 0..1 scaled
//                 linearly onto the field's range: value = minimum +
//                 round(d * (maximum - minimum)), d clamped to 0..1.
// Progress maps to a fixed transition length, so the picture at a given
// progress does not depend on the clip's frame rate or length: total 1000,
// position round(progress * 999). `time` is ignored.
// Debian's frei0r.h declares the entry points without C linkage.
extern "C" {
#include <frei0r.h>
}

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "frame_setup.h"
#include "parallel_render.h"
#include "settings/settings_assignments.h"
#include "settings_fields.h"
#include "settings_file.h"

namespace {

using namespace glimmer;

constexpr int32_t mappedTotal = 1000;
constexpr int positionParameter = 0;
constexpr int settingsParameter = 1;
constexpr int firstFieldParameter = 2;

struct Parameter {
    std::string name;
    int type;
    std::string explanation;
    const SettingsField* field;  // null for position and settings
};

const std::vector<Parameter>& parameterTable() {
    static const std::vector<Parameter> table = [] {
        std::vector<Parameter> t = {
            {"position", F0R_PARAM_DOUBLE, "progress of the transition, 0 = image A, 1 = image B; keyframe it", nullptr},
            {"settings", F0R_PARAM_STRING, "a .qvx settings file; its fields are the defaults of the parameters below",
             nullptr},
        };
        for (std::size_t i = 0; i < settingsFieldCount; ++i) {
            const SettingsField& f = settingsFields[i];
            if (f.alias) continue;
            // The dialog's caption and place first, as the other hosts show it.
            const std::string caption = std::string(panelCaption(f)) + " (" + f.page + ", " + f.group + "): ";
            t.push_back({f.name, F0R_PARAM_DOUBLE,
                         caption + (*f.tooltip != '\0' ? f.tooltip : f.meaning) + "; 0..1 scales onto " +
                             describeSettingsRange(f) +
                             " (value = " + std::to_string(f.minimum) + " + round(d * " +
                             std::to_string(f.maximum - f.minimum) + "))",
                         &f});
        }
        return t;
    }();
    return table;
}

struct Instance {
    int32_t width, height;
    double progress = 0;
    std::string settingsPath;
    TransitionSettings fileSettings = defaultSettings();
    // Field values the host has set; the others come from fileSettings.
    std::vector<char> fieldSet;
    std::vector<int32_t> fieldValue;
    // Frames in engine order: row 0 is the bottom line.
    std::vector<uint32_t> imageA, imageB, destination;
    // The instance's own threads, one a core, kept for its life: hosts
    // render a frame at a time and wait for it. They start with the first
    // frame: started while melt loads a project, they now and then leave it
    // ending at once, exit status 0, without a frame written.
    std::unique_ptr<ParallelRenderer> renderer;
};

Instance* instanceOf(f0r_instance_t instance) { return static_cast<Instance*>(instance); }

double toUnit(const SettingsField& f, int32_t value) {
    return f.maximum == f.minimum ? 0 : double(value - f.minimum) / (f.maximum - f.minimum);
}

void loadSettingsFile(Instance& self, const char* path) {
    const std::string newPath = path != nullptr ? path : "";
    if (newPath == self.settingsPath) return;  // MLT sets every parameter before every frame
    self.settingsPath = newPath;
    self.fileSettings = defaultSettings();
    // Kdenlive's generic panel for frei0r plug-ins writes a string parameter
    // nobody set as "0": no file was chosen, so there is nothing to read or to
    // complain about.
    if (newPath.empty() || newPath == "0") return;
    const SettingsFileStatus status = readSettingsFile(newPath, self.fileSettings);
    if (status != SettingsFileStatus::ok)
        std::fprintf(stderr, "glimmerscatterweft: cannot read settings file '%s': %s\n", newPath.c_str(),
                     settingsFileMessage(status));
}

TransitionSettings effectiveSettings(const Instance& self) {
    TransitionSettings s = self.fileSettings;
    const std::vector<Parameter>& table = parameterTable();
    for (std::size_t i = firstFieldParameter; i < table.size(); ++i)
        if (self.fieldSet[i]) writeSettingsField(s, *table[i].field, self.fieldValue[i]);
    return s;
}

// frei0r frames run top row first; the engine keeps the top row last.
void flipRows(const uint32_t* from, uint32_t* to, int32_t width, int32_t height) {
    for (int32_t r = 0; r < height; ++r)
        std::memcpy(to + std::size_t(height - 1 - r) * width, from + std::size_t(r) * width, std::size_t(width) * 4);
}

}  // namespace

extern "C" {

int f0r_init() { return 1; }
void f0r_deinit() {}

void f0r_get_plugin_info(f0r_plugin_info_t* info) {
    info->name = "Glimmerscatterweft";
    info->author = "The Glimmerscatterweft developers";
    info->plugin_type = F0R_PLUGIN_TYPE_MIXER2;
    info->color_model = F0R_COLOR_MODEL_RGBA8888;
    info->frei0r_version = FREI0R_MAJOR_VERSION;
    info->major_version = 1;
    info->minor_version = 0;
    info->num_params = static_cast<int>(parameterTable().size());
    info->explanation = "Image A dissipates and reveals image B.";
}

void f0r_get_param_info(f0r_param_info_t* info, int index) {
    const std::vector<Parameter>& table = parameterTable();
    if (index < 0 || index >= static_cast<int>(table.size())) return;
    info->name = table[index].name.c_str();
    info->type = table[index].type;
    info->explanation = table[index].explanation.c_str();
}

f0r_instance_t f0r_construct(unsigned int width, unsigned int height) {
    if (width == 0 || height == 0 || width > 1u << 15 || height > 1u << 15) return nullptr;
    auto* self = new Instance{static_cast<int32_t>(width), static_cast<int32_t>(height)};
    const std::size_t pixels = std::size_t(width) * height, parameters = parameterTable().size();
    self->fieldSet.assign(parameters, 0);
    self->fieldValue.assign(parameters, 0);
    self->imageA.resize(pixels);
    self->imageB.resize(pixels);
    self->destination.resize(pixels);
    return self;
}

void f0r_destruct(f0r_instance_t instance) { delete instanceOf(instance); }

void f0r_set_param_value(f0r_instance_t instance, f0r_param_t param, int index) {
    Instance& self = *instanceOf(instance);
    const std::vector<Parameter>& table = parameterTable();
    if (param == nullptr || index < 0 || index >= static_cast<int>(table.size())) return;
    if (index == settingsParameter) {
        loadSettingsFile(self, *static_cast<f0r_param_string*>(param));
        return;
    }
    const double d = *static_cast<f0r_param_double*>(param);
    if (std::isnan(d)) return;
    const double unit = std::clamp(d, 0.0, 1.0);
    if (index == positionParameter) {
        self.progress = unit;
        return;
    }
    const SettingsField& f = *table[index].field;
    const int32_t value = f.minimum + static_cast<int32_t>(std::lround(unit * (f.maximum - f.minimum)));
    TransitionSettings check = self.fileSettings;
    std::string error;
    if (assignSettingsField(check, f, value, error)) {
        self.fieldSet[index] = 1;
        self.fieldValue[index] = value;
    }
}

void f0r_get_param_value(f0r_instance_t instance, f0r_param_t param, int index) {
    const Instance& self = *instanceOf(instance);
    const std::vector<Parameter>& table = parameterTable();
    if (param == nullptr || index < 0 || index >= static_cast<int>(table.size())) return;
    if (index == settingsParameter) {
        *static_cast<f0r_param_string*>(param) = const_cast<char*>(self.settingsPath.c_str());
    } else if (index == positionParameter) {
        *static_cast<f0r_param_double*>(param) = self.progress;
    } else {
        const SettingsField& f = *table[index].field;
        const int32_t value = self.fieldSet[index] ? self.fieldValue[index] : readSettingsField(self.fileSettings, f);
        *static_cast<f0r_param_double*>(param) = toUnit(f, value);
    }
}

void f0r_update2(f0r_instance_t instance, double, const uint32_t* inframe1, const uint32_t* inframe2,
                 const uint32_t*, uint32_t* outframe) {
    Instance& self = *instanceOf(instance);
    const int32_t position = static_cast<int32_t>(std::lround(self.progress * (mappedTotal - 1)));
    const std::size_t bytes = self.destination.size() * 4;
    if (self.width > widestFrame) {
        // Wider than any frame we render: a cut at the middle.
        std::memcpy(outframe, position < mappedTotal / 2 ? inframe1 : inframe2, bytes);
        return;
    }
    flipRows(inframe1, self.imageA.data(), self.width, self.height);
    flipRows(inframe2, self.imageB.data(), self.width, self.height);
    const FrameRequest request{self.imageA.data(), self.imageB.data(), self.destination.data(), self.height,
                               self.width * 4, position, mappedTotal, false};
    if (!self.renderer) self.renderer = std::make_unique<ParallelRenderer>(processorThreads());
    runFrameSetup(request, effectiveSettings(self), *self.renderer);
    flipRows(self.destination.data(), outframe, self.width, self.height);
}

// A mixer is never given a single frame; hosts that look the symbol up
// anyway get a pass-through.
void f0r_update(f0r_instance_t instance, double, const uint32_t* inframe, uint32_t* outframe) {
    std::memcpy(outframe, inframe, instanceOf(instance)->destination.size() * 4);
}

}  // extern "C"
