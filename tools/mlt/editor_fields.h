// The settings an editor's panel shows, taken from the settings table.
//
// The table's panel fields in the dialog's reading order: page by page,
// group by group, each flag word through its bits, and without the Hold
// bits, which only the plug-in's own preview reads. The MLT module reads its
// properties by these names and the Kdenlive description lists them, so the
// two cannot drift apart.
#pragma once

#include <string>
#include <vector>

#include "settings_fields.h"

namespace glimmer {

enum class EditorFieldKind {
    number,    // a whole number within the field's range
    checkBox,  // 0 or 1
    list,      // one of the field's list names, stored as its index
};

struct EditorField {
    const SettingsField* field;
    EditorFieldKind kind;
};

const std::vector<EditorField>& editorFields();

// The help of the "settings" path (property_settings.h says how it works).
constexpr char settingsFileHelp[] =
    "A .qvx settings file, absolute or relative to the project's folder: choosing one sets the fields below "
    "to the file's";

// What a panel shows when the pointer rests on the field: the dialog's
// tooltip, or where the dialog has none the record's meaning.
std::string editorFieldHelp(const SettingsField& field);

}  // namespace glimmer
