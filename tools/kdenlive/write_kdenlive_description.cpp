// Writes the Kdenlive description of the MLT transition "glimmerscatterweft"
// from the settings table: the file Kdenlive reads to build the composition's
// panel (share/kdenlive/transitions/glimmerscatterweft.xml).
//
// Each field shows under the dialog's caption (with its group where two
// would read alike: Kdenlive lists parameters without groups) and with the
// dialog's tooltip, in the dialog's order: its range as whole numbers, a
// check box for 0-or-1 fields, a list for a map's source and the order
// buttons. The transition needs no keyframes: it knows its own progress.
#include <cstdio>
#include <fstream>
#include <string>

#include <vector>

#include "editor_fields.h"
#include "settings_presets.h"

namespace {

using namespace glimmer;

std::string escaped(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default: out += c;
        }
    }
    return out;
}

std::string parameter(const std::string& attributes, const std::string& name, const std::string& comment,
                      const std::string& inner = "") {
    return "    <parameter " + attributes + ">\n" + inner + "        <name>" + escaped(name) + "</name>\n" +
           "        <comment>" + escaped(comment) + "</comment>\n    </parameter>\n";
}

std::string listDisplay(const char* const* names, std::size_t count) {
    std::string display;
    for (std::size_t i = 0; i < count; ++i) display += (i == 0 ? "" : ",") + escaped(names[i]);
    return "        <paramlistdisplay>" + display + "</paramlistdisplay>\n";
}

std::string fieldParameter(const EditorField& e) {
    const SettingsField& f = *e.field;
    const std::string named = "name=\"" + escaped(f.name) + "\" default=\"" + std::to_string(f.defaultValue) + "\"";
    const std::string caption = panelCaption(f), help = editorFieldHelp(f);
    switch (e.kind) {
    case EditorFieldKind::checkBox:
        return parameter("type=\"bool\" " + named, caption, help);
    case EditorFieldKind::list: {
        std::string values;
        for (int32_t i = 0; i < f.listCount; ++i) values += (i == 0 ? "" : ";") + std::to_string(i);
        return parameter("type=\"list\" " + named + " paramlist=\"" + values + "\"", caption, help,
                         listDisplay(f.listNames, static_cast<std::size_t>(f.listCount)));
    }
    case EditorFieldKind::number:
        break;
    }
    return parameter("type=\"constant\" " + named + " min=\"" + std::to_string(f.minimum) + "\" max=\"" +
                         std::to_string(f.maximum) + "\"",
                     caption, help);
}

// Kdenlive builds its panel from the composition when it is selected and
// does not hear of fields the composition sets itself.
constexpr char panelAfterChoosing[] = "; the panel shows them when the composition is next selected";

// The looks, with a first entry that leaves the fields as they are.
std::string presetParameter() {
    std::string values;
    std::vector<const char*> titles{"(none)"};
    for (std::size_t i = 0; i < settingsPresetCount; ++i) {
        values += std::string(";") + settingsPresets[i].name;
        titles.push_back(settingsPresets[i].title);
    }
    return parameter("type=\"list\" name=\"preset\" default=\"\" paramlist=\"" + values + "\"", "Preset",
                     std::string("A named look: choosing one sets the fields below to it") + panelAfterChoosing, listDisplay(titles.data(), titles.size()));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: write_kdenlive_description OUTPUT.xml\n");
        return 2;
    }
    std::string xml =
        "<?xml version=\"1.0\"?>\n<!DOCTYPE kpartgui>\n"
        "<transition tag=\"glimmerscatterweft\" id=\"glimmerscatterweft\">\n"
        "    <name>Glimmerscatterweft</name>\n"
        "    <description>Image A dissipates and reveals image B.</description>\n"
        "    <author>The Glimmerscatterweft developers</author>\n";
    xml += parameter("type=\"url\" name=\"settings\" default=\"\" filter=\"Settings files (*.qvx)\"", "Settings file",
                     std::string(settingsFileHelp) + panelAfterChoosing);
    xml += presetParameter();
    xml += parameter("type=\"bool\" name=\"invert\" default=\"0\"", "Invert",
                     "Swap the clips: the upper track breaks up and reveals the lower one.");
    for (const EditorField& e : editorFields()) xml += fieldParameter(e);
    xml += "</transition>\n";
    std::ofstream out(argv[1], std::ios::binary);
    out << xml;
    return out.good() ? 0 : 1;
}
