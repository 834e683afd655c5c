#include "property_settings.h"

#include <charconv>
#include <cmath>
#include <cstring>

#include "editor_fields.h"
#include "settings/settings_assignments.h"
#include "settings_file.h"

namespace glimmer {

namespace {

// Editors write numbers as decimals ("51.000000"); whole numbers and source
// names go through the same parser as the command line's --set.
bool readPropertyValue(const SettingsField& field, const char* text, int32_t& value, std::string& error) {
    double number = 0;
    const char* end = text + std::strlen(text);
    const auto [stop, failure] = std::from_chars(text, end, number);
    if (failure == std::errc() && stop == end && std::isfinite(number) && std::fabs(number) < 1e9)
        return parseSettingsValue(field, std::to_string(std::lround(number)), value, error);
    return parseSettingsValue(field, text, value, error);
}

}  // namespace

PropertySettings::PropertySettings() : fileSettings_(defaultSettings()) {}

TransitionSettings PropertySettings::read(PropertyLookup lookup, void* context, std::string& complaint) {
    const char* path = lookup("settings", context);
    const std::string newPath = path != nullptr ? path : "";
    if (newPath != settingsPath_) {
        settingsPath_ = newPath;
        fileSettings_ = defaultSettings();
        fileComplaint_.clear();
        if (!newPath.empty()) {
            const SettingsFileStatus status = readSettingsFile(newPath, fileSettings_);
            if (status != SettingsFileStatus::ok)
                fileComplaint_ = "cannot read settings file '" + newPath + "': " + settingsFileMessage(status);
        }
    }
    complaint = fileComplaint_;
    TransitionSettings settings = fileSettings_;
    for (const EditorField& e : editorFields()) {
        const char* text = lookup(e.field->name, context);
        if (text == nullptr || *text == '\0') continue;
        int32_t value = 0;
        std::string error;
        if (!readPropertyValue(*e.field, text, value, error)) {
            complaint += (complaint.empty() ? "" : "; ") + error;
            continue;
        }
        if (value != e.field->defaultValue) writeSettingsField(settings, *e.field, value);
    }
    return settings;
}

}  // namespace glimmer
