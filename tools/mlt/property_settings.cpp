#include "property_settings.h"

#include <charconv>
#include <cmath>
#include <cstring>

#include "editor_fields.h"
#include "settings/settings_assignments.h"
#include "settings_file.h"
#include "settings_presets.h"

namespace glimmer {

namespace {

// Editors write numbers as decimals ("51.000000"); whole numbers and list
// names go through the same parser as the command line's --set.
bool readPropertyValue(const SettingsField& field, const char* text, int32_t& value, std::string& error) {
    double number = 0;
    const char* end = text + std::strlen(text);
    const auto [stop, failure] = std::from_chars(text, end, number);
    if (failure == std::errc() && stop == end && std::isfinite(number) && std::fabs(number) < 1e9)
        return parseSettingsValue(field, std::to_string(std::lround(number)), value, error);
    return parseSettingsValue(field, text, value, error);
}

std::string text(const PropertyAccess& access, const char* name) {
    const char* value = access.get(name, access.context);
    return value != nullptr ? value : "";
}

std::string resolved(const std::string& path, const std::string& root) {
    if (path.empty() || path[0] == '/' || root.empty()) return path;
    return root + "/" + path;
}

bool atDefault(const PropertyAccess& access, const SettingsField& f) {
    const std::string value = text(access, f.name);
    int32_t number = 0;
    std::string error;
    return value.empty() || !readPropertyValue(f, value.c_str(), number, error) || number == f.defaultValue;
}

// Writes a file's or a look's record into the field properties.
void writeFields(const PropertyAccess& access, const TransitionSettings& record, bool onlyDefaults) {
    for (const EditorField& e : editorFields()) {
        if (onlyDefaults && !atDefault(access, *e.field)) continue;
        access.set(e.field->name, std::to_string(readSettingsField(record, *e.field)).c_str(), access.context);
    }
}

}  // namespace

TransitionSettings PropertySettings::read(const PropertyAccess& access, const std::function<std::string()>& root,
                                          std::string& complaint) {
    const std::string path = text(access, "settings"), loadedPath = text(access, "settings.loaded");
    const std::string look = text(access, "preset"), loadedLook = text(access, "preset.loaded");
    const bool firstSource = loadedPath.empty() && loadedLook.empty();
    // A saved project may hold the path relative to its folder and the mark
    // as it was loaded, or the other way round.
    if (path.empty()) failedPath_.clear();
    if (!path.empty() && path != loadedPath && path != failedPath_) {
        // A saved project may hold the path relative to its folder and the
        // mark as it was loaded, or the other way round: the same file.
        const std::string folder = root();
        const std::string file = resolved(path, folder);
        TransitionSettings fromFile = defaultSettings();
        const SettingsFileStatus status =
            file == resolved(loadedPath, folder) ? SettingsFileStatus::ok : readSettingsFile(file, fromFile);
        if (status == SettingsFileStatus::ok) {
            if (file != resolved(loadedPath, folder)) writeFields(access, fromFile, firstSource);
            access.set("settings.loaded", path.c_str(), access.context);
            failedPath_.clear();
        } else {
            failedPath_ = path;
            pathFailure_ = "cannot read settings file '" + file + "': " + settingsFileMessage(status);
        }
    }
    if (look.empty()) failedLook_.clear();
    if (!look.empty() && look != loadedLook && look != failedLook_) {
        if (const SettingsPreset* preset = findSettingsPreset(look.c_str())) {
            writeFields(access, presetSettings(*preset), firstSource);
            access.set("preset.loaded", look.c_str(), access.context);
            failedLook_.clear();
        } else {
            failedLook_ = look;
            lookFailure_ = "no look is called '" + look + "' (glimmer presets lists them)";
        }
    }
    complaint = failedPath_.empty() ? "" : pathFailure_;
    if (!failedLook_.empty()) complaint += (complaint.empty() ? "" : "; ") + lookFailure_;

    TransitionSettings settings = defaultSettings();
    for (const EditorField& e : editorFields()) {
        const std::string value = text(access, e.field->name);
        if (value.empty()) continue;
        int32_t number = 0;
        std::string error;
        if (readPropertyValue(*e.field, value.c_str(), number, error))
            writeSettingsField(settings, *e.field, number);
        else
            complaint += (complaint.empty() ? "" : "; ") + error;
    }
    return settings;
}

}  // namespace glimmer
