#include "editor_fields.h"

#include <algorithm>
#include <cstddef>

namespace glimmer {

namespace {

// A whole flag word is shown through its bits, when the table has them.
bool hasBitAliases(const SettingsField& word) {
    return std::any_of(settingsFields, settingsFields + settingsFieldCount,
                       [&](const SettingsField& f) { return f.alias && f.offset == word.offset; });
}

EditorFieldKind kindOf(const SettingsField& f) {
    if (isSourceField(f)) return EditorFieldKind::sourceList;
    if (f.minimum == 0 && f.maximum == 1) return EditorFieldKind::checkBox;
    return EditorFieldKind::number;
}

}  // namespace

const std::vector<EditorField>& editorFields() {
    static const std::vector<EditorField> fields = [] {
        std::vector<EditorField> list;
        for (std::size_t i = 0; i < settingsFieldCount; ++i) {
            const SettingsField& f = settingsFields[i];
            if (f.offset == offsetof(TransitionSettings, holdFlags)) continue;
            if (!f.alias && hasBitAliases(f)) continue;
            list.push_back({&f, kindOf(f)});
        }
        return list;
    }();
    return fields;
}

}  // namespace glimmer
