#include "transition_properties.h"

#include <algorithm>
#include <string>

#include "settings_fields.h"
#include "settings_file.h"
#include "settings_presets.h"

namespace glimmer::obs {
namespace {

// Remember which file and which look the fields came from, so that showing
// the settings again does not undo what the user changed after choosing it.
constexpr char loadedFileKey[] = "settings.loaded";
constexpr char loadedPresetKey[] = "preset.loaded";
// A slider over a cell size's useful range beside the number box that
// takes the whole of it.
constexpr char dragSuffix[] = ".drag";

enum class Control { checkBox, list, slider, number };

Control controlOf(const SettingsField& f) {
    if (f.listNames != nullptr) return Control::list;
    if (f.minimum == 0 && f.maximum == 1) return Control::checkBox;
    return f.sliderMaximum < f.maximum ? Control::number : Control::slider;
}

template <typename Visit>
void forEachPanelField(Visit visit) {
    for (std::size_t order = 0; const SettingsField* f = panelField(order); ++order) visit(*f);
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
    if (controlOf(f) == Control::number)
        obs_data_set_int(data, (std::string(f.name) + dragSuffix).c_str(), std::min(value, f.sliderMaximum));
}

void setAllFields(obs_data_t* data, const TransitionSettings& record) {
    forEachPanelField([&](const SettingsField& f) { setSetting(data, f, readSettingsField(record, f)); });
}

bool loadedFileChanged(obs_properties_t*, obs_property_t*, obs_data_t* data) { return loadChosenSettingsFile(data); }
bool presetChanged(obs_properties_t*, obs_property_t*, obs_data_t* data) { return loadChosenPreset(data); }

// The slider and the number box of a cell size follow each other.
bool dragMoved(obs_properties_t*, obs_property_t* slider, obs_data_t* data) {
    std::string name = obs_property_name(slider);
    const long long value = obs_data_get_int(data, name.c_str());
    name.resize(name.size() - std::char_traits<char>::length(dragSuffix));
    if (obs_data_get_int(data, name.c_str()) == value) return false;
    obs_data_set_int(data, name.c_str(), value);
    return true;
}

bool numberTyped(obs_properties_t*, obs_property_t* box, obs_data_t* data) {
    const SettingsField* f = findSettingsField(obs_property_name(box));
    const std::string drag = std::string(f->name) + dragSuffix;
    const long long shown = std::min<long long>(obs_data_get_int(data, f->name), f->sliderMaximum);
    if (obs_data_get_int(data, drag.c_str()) == shown) return false;
    obs_data_set_int(data, drag.c_str(), shown);
    return true;
}

obs_property_t* addField(obs_properties_t* group, const SettingsField& f) {
    obs_property_t* p = nullptr;
    switch (controlOf(f)) {
    case Control::checkBox: p = obs_properties_add_bool(group, f.name, f.caption); break;
    case Control::list:
        p = obs_properties_add_list(group, f.name, f.caption, OBS_COMBO_TYPE_LIST, OBS_COMBO_FORMAT_INT);
        for (int32_t i = 0; i < f.listCount; ++i) obs_property_list_add_int(p, f.listNames[i], i);
        break;
    case Control::slider:
        p = obs_properties_add_int_slider(group, f.name, f.caption, f.minimum, f.maximum, 1);
        break;
    case Control::number: {
        obs_property_t* slider = obs_properties_add_int_slider(group, (std::string(f.name) + dragSuffix).c_str(),
                                                               f.caption, f.minimum, f.sliderMaximum, 1);
        obs_property_set_modified_callback(slider, dragMoved);
        p = obs_properties_add_int(group, f.name, (std::string(f.caption) + " (up to " +
                                                   std::to_string(f.maximum) + ")").c_str(),
                                   f.minimum, f.maximum, 1);
        obs_property_set_modified_callback(p, numberTyped);
        break;
    }
    }
    obs_property_set_long_description(p, *f.tooltip != '\0' ? f.tooltip : f.meaning);
    return p;
}

}  // namespace

void setTransitionDefaults(obs_data_t* data) {
    obs_data_set_default_string(data, settingsFileKey, "");
    obs_data_set_default_string(data, presetKey, "");
    forEachPanelField([&](const SettingsField& f) {
        if (controlOf(f) == Control::checkBox)
            obs_data_set_default_bool(data, f.name, f.defaultValue != 0);
        else
            obs_data_set_default_int(data, f.name, f.defaultValue);
        if (controlOf(f) == Control::number)
            obs_data_set_default_int(data, (std::string(f.name) + dragSuffix).c_str(), f.defaultValue);
    });
}

obs_properties_t* makeTransitionProperties(const char* presets) {
    obs_properties_t* properties = obs_properties_create();
    obs_property_t* look =
        obs_properties_add_list(properties, presetKey, "Preset", OBS_COMBO_TYPE_LIST, OBS_COMBO_FORMAT_STRING);
    obs_property_list_add_string(look, "(none)", "");
    for (std::size_t i = 0; i < settingsPresetCount; ++i)
        obs_property_list_add_string(look, settingsPresets[i].title, settingsPresets[i].name);
    obs_property_set_long_description(look, "A named look: choosing one sets the fields below to it");
    obs_property_set_modified_callback(look, presetChanged);
    obs_property_t* file = obs_properties_add_path(properties, settingsFileKey, "Settings file", OBS_PATH_FILE,
                                                   "Settings files (*.qvx);;All files (*.*)", presets);
    obs_property_set_long_description(file, "A .qvx settings file: choosing one sets the fields below to the file's");
    obs_property_set_modified_callback(file, loadedFileChanged);

    // One group a group box of the dialog, page by page.
    obs_properties_t* group = nullptr;
    std::string groupName;
    forEachPanelField([&](const SettingsField& f) {
        const std::string name = std::string("group.") + f.page + "." + f.group;
        if (name != groupName) {
            groupName = name;
            group = obs_properties_create();
            obs_properties_add_group(properties, name.c_str(), (std::string(f.page) + ": " + f.group).c_str(),
                                     OBS_GROUP_NORMAL, group);
        }
        addField(group, f);
    });
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
    setAllFields(data, loaded);
    return true;
}

bool loadChosenPreset(obs_data_t* data) {
    const std::string name = obs_data_get_string(data, presetKey);
    if (name.empty() || name == obs_data_get_string(data, loadedPresetKey)) return false;
    obs_data_set_string(data, loadedPresetKey, name.c_str());
    const SettingsPreset* preset = findSettingsPreset(name.c_str());
    if (preset == nullptr) {
        blog(LOG_WARNING, "[glimmerscatterweft] no look is called '%s'", name.c_str());
        return false;
    }
    setAllFields(data, presetSettings(*preset));
    return true;
}

TransitionSettings recordFromSettings(obs_data_t* data) {
    TransitionSettings record = defaultSettings();
    forEachPanelField([&](const SettingsField& f) { writeSettingsField(record, f, settingOf(data, f)); });
    return record;
}

}  // namespace glimmer::obs
