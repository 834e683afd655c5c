#include "editor_fields.h"

namespace glimmer {

namespace {

EditorFieldKind kindOf(const SettingsField& f) {
    if (f.listNames != nullptr) return EditorFieldKind::list;
    if (f.minimum == 0 && f.maximum == 1) return EditorFieldKind::checkBox;
    return EditorFieldKind::number;
}

}  // namespace

const std::vector<EditorField>& editorFields() {
    static const std::vector<EditorField> fields = [] {
        std::vector<EditorField> list;
        for (std::size_t order = 0; const SettingsField* f = panelField(order); ++order) list.push_back({f, kindOf(*f)});
        return list;
    }();
    return fields;
}

std::string editorFieldHelp(const SettingsField& f) {
    return *f.tooltip != '\0' ? f.tooltip : f.meaning;
}

}  // namespace glimmer
