#include "transition_metadata.h"

#include <string>
#include <vector>

#include "editor_fields.h"
#include "settings_presets.h"

namespace glimmer {

namespace {

// Lists that MLT's YAML writer shows as sequences: items named 0, 1, ...
void appendItem(mlt_properties list, mlt_properties item) {
    const std::string key = std::to_string(mlt_properties_count(list));
    mlt_properties_set_data(list, key.c_str(), item, 0, reinterpret_cast<mlt_destructor>(mlt_properties_close),
                            nullptr);
}

mlt_properties newParameter(const char* identifier, const std::string& title, const char* type,
                            const std::string& description) {
    mlt_properties p = mlt_properties_new();
    mlt_properties_set(p, "identifier", identifier);
    mlt_properties_set(p, "title", title.c_str());
    mlt_properties_set(p, "type", type);
    mlt_properties_set(p, "description", description.c_str());
    mlt_properties_set(p, "mutable", "yes");
    return p;
}

void setValues(mlt_properties p, const char* const* names, std::size_t count) {
    mlt_properties values = mlt_properties_new();
    for (std::size_t i = 0; i < count; ++i) mlt_properties_set(values, std::to_string(i).c_str(), names[i]);
    mlt_properties_set_data(p, "values", values, 0, reinterpret_cast<mlt_destructor>(mlt_properties_close), nullptr);
}

mlt_properties fieldParameter(const EditorField& e) {
    const SettingsField& f = *e.field;
    const std::string title = panelCaption(f);
    // The page and group box say where the dialog keeps it.
    const std::string description = editorFieldHelp(f) + " (" + f.page + ", " + f.group + ")";
    switch (e.kind) {
    case EditorFieldKind::list: {
        mlt_properties p = newParameter(f.name, title, "string", description);
        mlt_properties_set(p, "default", f.listNames[f.defaultValue]);
        mlt_properties_set(p, "widget", "combo");
        setValues(p, f.listNames, static_cast<std::size_t>(f.listCount));
        return p;
    }
    case EditorFieldKind::checkBox: {
        mlt_properties p = newParameter(f.name, title, "boolean", description);
        mlt_properties_set_int(p, "default", f.defaultValue);
        mlt_properties_set(p, "widget", "checkbox");
        return p;
    }
    case EditorFieldKind::number:
        break;
    }
    mlt_properties p = newParameter(f.name, title, "integer", description);
    mlt_properties_set_int(p, "minimum", f.minimum);
    mlt_properties_set_int(p, "maximum", f.maximum);
    mlt_properties_set_int(p, "default", f.defaultValue);
    mlt_properties_set(p, "widget", f.sliderMaximum < f.maximum ? "spinner" : "slider");
    return p;
}

mlt_properties presetParameter() {
    std::vector<const char*> names;
    for (std::size_t i = 0; i < settingsPresetCount; ++i) names.push_back(settingsPresets[i].name);
    mlt_properties p = newParameter("preset", "Preset", "string",
                                    "A named look; choosing one sets every field below to it");
    mlt_properties_set(p, "default", "");
    mlt_properties_set(p, "widget", "combo");
    setValues(p, names.data(), names.size());
    return p;
}

}  // namespace

mlt_properties transitionMetadata(const char* identifier) {
    mlt_properties m = mlt_properties_new();
    mlt_properties_set(m, "schema_version", "0.3");
    mlt_properties_set(m, "type", "transition");
    mlt_properties_set(m, "identifier", identifier);
    mlt_properties_set(m, "title", "Glimmerscatterweft");
    mlt_properties_set(m, "version", "1");
    mlt_properties_set(m, "creator", "The Glimmerscatterweft developers");
    mlt_properties_set(m, "language", "en");
    mlt_properties_set(m, "description",
                       "Image A dissipates and reveals image B. Frame k of a transition of n frames is position k "
                       "of n: nothing needs keyframing.");
    mlt_properties tags = mlt_properties_new();
    mlt_properties_set(tags, "0", "Video");
    mlt_properties_set_data(m, "tags", tags, 0, reinterpret_cast<mlt_destructor>(mlt_properties_close), nullptr);

    mlt_properties parameters = mlt_properties_new();
    appendItem(parameters, newParameter("settings", "Settings file", "string", settingsFileHelp));
    appendItem(parameters, presetParameter());
    mlt_properties invert = newParameter("invert", "Invert", "boolean", "Swap the clips: the upper track breaks up");
    mlt_properties_set_int(invert, "default", 0);
    appendItem(parameters, invert);
    for (const EditorField& e : editorFields()) appendItem(parameters, fieldParameter(e));
    mlt_properties_set_data(m, "parameters", parameters, 0, reinterpret_cast<mlt_destructor>(mlt_properties_close),
                            nullptr);
    return m;
}

}  // namespace glimmer
