#include "transition_metadata.h"

#include <string>

#include "editor_fields.h"
#include "settings/settings_assignments.h"
#include "source_map.h"

namespace glimmer {

namespace {

// Lists that MLT's YAML writer shows as sequences: items named 0, 1, ...
void appendItem(mlt_properties list, mlt_properties item) {
    const std::string key = std::to_string(mlt_properties_count(list));
    mlt_properties_set_data(list, key.c_str(), item, 0, reinterpret_cast<mlt_destructor>(mlt_properties_close),
                            nullptr);
}

mlt_properties newParameter(const char* identifier, const char* type, const std::string& description) {
    mlt_properties p = mlt_properties_new();
    mlt_properties_set(p, "identifier", identifier);
    mlt_properties_set(p, "title", identifier);
    mlt_properties_set(p, "type", type);
    mlt_properties_set(p, "description", description.c_str());
    mlt_properties_set(p, "mutable", "yes");
    return p;
}

mlt_properties fieldParameter(const EditorField& e) {
    const SettingsField& f = *e.field;
    switch (e.kind) {
    case EditorFieldKind::sourceList: {
        mlt_properties p = newParameter(f.name, "string", std::string(f.meaning));
        mlt_properties_set(p, "default", sourceMapNames[f.defaultValue]);
        mlt_properties_set(p, "widget", "combo");
        mlt_properties values = mlt_properties_new();
        for (int32_t i = 0; i < sourceCount; ++i) mlt_properties_set(values, std::to_string(i).c_str(), sourceMapNames[i]);
        mlt_properties_set_data(p, "values", values, 0, reinterpret_cast<mlt_destructor>(mlt_properties_close), nullptr);
        return p;
    }
    case EditorFieldKind::checkBox: {
        mlt_properties p = newParameter(f.name, "boolean", f.meaning);
        mlt_properties_set_int(p, "default", f.defaultValue);
        mlt_properties_set(p, "widget", "checkbox");
        return p;
    }
    case EditorFieldKind::number:
        break;
    }
    mlt_properties p = newParameter(f.name, "integer", f.meaning);
    mlt_properties_set_int(p, "minimum", f.minimum);
    mlt_properties_set_int(p, "maximum", f.maximum);
    mlt_properties_set_int(p, "default", f.defaultValue);
    mlt_properties_set(p, "widget", "spinner");
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
    appendItem(parameters, newParameter("settings", "string",
                                        "a .qvx settings file; its fields are the base, and a field below "
                                        "overrides it when set to anything but its default"));
    mlt_properties invert = newParameter("invert", "boolean", "swap the clips: the upper track breaks up");
    mlt_properties_set_int(invert, "default", 0);
    appendItem(parameters, invert);
    for (const EditorField& e : editorFields()) appendItem(parameters, fieldParameter(e));
    mlt_properties_set_data(m, "parameters", parameters, 0, reinterpret_cast<mlt_destructor>(mlt_properties_close),
                            nullptr);
    return m;
}

}  // namespace glimmer
