#include "transition_properties.h"

#include <algorithm>
#include <string>

#include "settings_fields.h"
#include "settings_file.h"
#include "source_map.h"

namespace glimmer::obs {
namespace {

// Remembers which file the fields came from, so that showing the settings
// again does not undo what the user changed after loading it.
constexpr char loadedFileKey[] = "settings.loaded";

enum class Control { bitsOnly, checkBox, sourceList, slider, number };

bool hasListedBits(const SettingsField& field) {
    for (std::size_t i = 0; i < settingsFieldCount; ++i)
        if (settingsFields[i].alias && settingsFields[i].offset == field.offset) return true;
    return false;
}

Control controlOf(const SettingsField& f) {
    if (f.alias) return Control::checkBox;
    if (hasListedBits(f)) return Control::bitsOnly;
    if (isSourceField(f)) return Control::sourceList;
    if (f.minimum == 0 && f.maximum == 1) return Control::checkBox;
    // A slider of a few thousand steps cannot be set to one of them.
    return f.maximum - f.minimum <= 256 ? Control::slider : Control::number;
}

int32_t settingOf(obs_data_t* data, const SettingsField& f) {
    if (controlOf(f) == Control::checkBox) return obs_data_get_bool(data, f.name) ? 1 : 0;
    const long long value = obs_data_get_int(data, f.name);
    return static_cast<int32_t>(std::clamp<long long>(value, f.minimum, f.maximum));
}

void setSetting(obs_data_t* data, const SettingsField& f, int32_t value) {
    if (controlOf(f) == Control::checkBox)
        obs_data_set_bool(data, f.name, value != 0);
    else
        obs_data_set_int(data, f.name, value);
}

bool loadedFileChanged(obs_properties_t*, obs_property_t*, obs_data_t* data) { return loadChosenSettingsFile(data); }

}  // namespace

void setTransitionDefaults(obs_data_t* data) {
    obs_data_set_default_string(data, settingsFileKey, "");
    for (std::size_t i = 0; i < settingsFieldCount; ++i) {
        const SettingsField& f = settingsFields[i];
        switch (controlOf(f)) {
        case Control::bitsOnly: break;
        case Control::checkBox: obs_data_set_default_bool(data, f.name, f.defaultValue != 0); break;
        default: obs_data_set_default_int(data, f.name, f.defaultValue); break;
        }
    }
}

obs_properties_t* makeTransitionProperties(const char* presets) {
    obs_properties_t* properties = obs_properties_create();
    obs_property_t* file = obs_properties_add_path(properties, settingsFileKey, "settings file", OBS_PATH_FILE,
                                                   "Settings files (*.qvx);;All files (*.*)", presets);
    obs_property_set_long_description(file, "a .qvx settings file; choosing one loads its fields below");
    obs_property_set_modified_callback(file, loadedFileChanged);
    for (std::size_t i = 0; i < settingsFieldCount; ++i) {
        const SettingsField& f = settingsFields[i];
        obs_property_t* p = nullptr;
        switch (controlOf(f)) {
        case Control::bitsOnly: continue;
        case Control::checkBox: p = obs_properties_add_bool(properties, f.name, f.name); break;
        case Control::sourceList:
            p = obs_properties_add_list(properties, f.name, f.name, OBS_COMBO_TYPE_LIST, OBS_COMBO_FORMAT_INT);
            for (int32_t s = 0; s < sourceCount; ++s) obs_property_list_add_int(p, sourceMapNames[s], s);
            break;
        case Control::slider:
            p = obs_properties_add_int_slider(properties, f.name, f.name, f.minimum, f.maximum, 1);
            break;
        case Control::number: p = obs_properties_add_int(properties, f.name, f.name, f.minimum, f.maximum, 1); break;
        }
        obs_property_set_long_description(p, f.meaning);
    }
    return properties;
}

bool loadChosenSettingsFile(obs_data_t* data) {
    const std::string path = obs_data_get_string(data, settingsFileKey);
    if (path.empty() || path == obs_data_get_string(data, loadedFileKey)) return false;
    obs_data_set_string(data, loadedFileKey, path.c_str());
    TransitionSettings loaded = defaultSettings();
    const SettingsFileStatus status = readSettingsFile(path, loaded);
    if (status != SettingsFileStatus::ok) {
        blog(LOG_WARNING, "[glimmerscatterweft] settings file '%s': %s", path.c_str(), settingsFileMessage(status));
        return false;
    }
    for (std::size_t i = 0; i < settingsFieldCount; ++i) {
        const SettingsField& f = settingsFields[i];
        if (controlOf(f) != Control::bitsOnly) setSetting(data, f, readSettingsField(loaded, f));
    }
    return true;
}

TransitionSettings recordFromSettings(obs_data_t* data) {
    TransitionSettings record = defaultSettings();
    for (std::size_t i = 0; i < settingsFieldCount; ++i) {
        const SettingsField& f = settingsFields[i];
        if (controlOf(f) != Control::bitsOnly) writeSettingsField(record, f, settingOf(data, f));
    }
    return record;
}

}  // namespace glimmer::obs
