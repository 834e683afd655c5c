// Writes the Kdenlive description of the MLT transition "glimmerscatterweft"
// from the settings table: the file Kdenlive reads to build the composition's
// panel (share/kdenlive/transitions/glimmerscatterweft.xml).
//
// Each field gets its own name, its range as whole numbers, a check box for
// 0-or-1 fields and a list of the 15 source names for a map's source. The
// transition needs no keyframes: it knows its own progress.
#include <cstdio>
#include <fstream>
#include <string>

#include "editor_fields.h"
#include "source_map.h"

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

std::string fieldParameter(const EditorField& e) {
    const SettingsField& f = *e.field;
    const std::string named = "name=\"" + escaped(f.name) + "\" default=\"" + std::to_string(f.defaultValue) + "\"";
    switch (e.kind) {
    case EditorFieldKind::checkBox:
        return parameter("type=\"bool\" " + named, f.name, f.meaning);
    case EditorFieldKind::sourceList: {
        std::string values, names;
        for (int32_t i = 0; i < sourceCount; ++i) {
            values += (i == 0 ? "" : ";") + std::to_string(i);
            names += (i == 0 ? "" : ",") + escaped(sourceMapNames[i]);
        }
        return parameter("type=\"list\" " + named + " paramlist=\"" + values + "\"", f.name, f.meaning,
                         "        <paramlistdisplay>" + names + "</paramlistdisplay>\n");
    }
    case EditorFieldKind::number:
        break;
    }
    return parameter("type=\"constant\" " + named + " min=\"" + std::to_string(f.minimum) + "\" max=\"" +
                         std::to_string(f.maximum) + "\"",
                     f.name, f.meaning);
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
    xml += parameter("type=\"url\" name=\"settings\" default=\"\" filter=\"Glimmerscatterweft Setings (*.qvx)\"",
                     "settings",
                     "A .qvx settings file: its fields are the base, and a field below overrides it when set to "
                     "anything but its default.");
    xml += parameter("type=\"bool\" name=\"invert\" default=\"0\"", "invert",
                     "Swap the clips: the upper track breaks up and reveals the lower one.");
    for (const EditorField& e : editorFields()) xml += fieldParameter(e);
    xml += "</transition>\n";
    std::ofstream out(argv[1], std::ios::binary);
    out << xml;
    return out.good() ? 0 : 1;
}
