// The settings an editor's panel shows, taken from the settings table.
//
// Every field of the record, except that a flag word appears as one check
// box per bit and the Hold bits, which only the plug-in's own preview reads,
// are left out. The MLT module reads its properties by these names and the
// Kdenlive description lists them, so the two cannot drift apart.
#pragma once

#include <vector>

#include "settings_fields.h"

namespace glimmer {

enum class EditorFieldKind {
    number,      // a whole number within the field's range
    checkBox,    // 0 or 1
    sourceList,  // one of the 15 source names, stored as its index
};

struct EditorField {
    const SettingsField* field;
    EditorFieldKind kind;
};

// In the table's order.
const std::vector<EditorField>& editorFields();

}  // namespace glimmer
