// The edit list file: one JSON object, a list of clips in order, each with
// the join that leads out of it, and defaults for the whole edit.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>

#include "settings_presets.h"
#include "common/json_value.h"
#include "common/tool_error.h"
#include "plan/edit_list.h"
#include "settings_presets.h"

namespace glimmer::tool {
namespace {

using Kind = JsonValue::Kind;

[[noreturn]] void fail(const std::string& name, const std::string& what) { throw ToolError(name + ": " + what); }

void checkKeys(const JsonValue& object, const std::string& name, std::initializer_list<const char*> keys) {
    if (object.kind != Kind::object) fail(name, "is " + std::string(object.kindName()) + ", not an object");
    for (const auto& member : object.members) {
        bool known = false;
        for (const char* key : keys) known = known || member.first == key;
        if (known) continue;
        std::string list;
        for (const char* key : keys) list += (list.empty() ? "" : ", ") + std::string(key);
        fail(name + (name.empty() ? "" : ".") + member.first, "unknown key (known here: " + list + ")");
    }
}

std::string keyName(const std::string& entry, const char* key) { return entry.empty() ? key : entry + "." + key; }

std::string stringOf(const JsonValue& value, const std::string& name) {
    if (value.kind != Kind::string || value.text.empty()) fail(name, value.quoted() + " is not a file name");
    return value.text;
}

// Seconds as a number (2.5) or as the command line writes them ("2.5s", "60f").
EditTime timeOf(const JsonValue* value, const std::string& name, bool positive) {
    EditTime time;
    time.name = name;
    if (value == nullptr) return time;
    const std::string text = value->kind == Kind::number ? value->text : value->kind == Kind::string ? value->text : "";
    try {
        if (text.empty() || text[0] == '-') throw ToolError("");
        time.value = parseTime(name, text, false);
    } catch (const ToolError&) {
        fail(name, value->quoted() + " is not a duration (seconds: 2.5 or \"2.5s\"; frames: \"60f\")");
    }
    if (positive && (time.value.inFrames ? time.value.frames == 0 : time.value.seconds <= 0))
        fail(name, value->quoted() + " is not a duration above 0");
    time.given = true;
    return time;
}

std::string numberText(double number) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", number);
    return text;
}

double numberOf(const JsonValue* value, const std::string& name, double minimum, double maximum, double otherwise) {
    if (value == nullptr) return otherwise;
    if (value->kind != Kind::number || value->number < minimum || value->number > maximum)
        fail(name, value->quoted() + " is not a number from " + numberText(minimum) + " to " + numberText(maximum));
    return value->number;
}

// A relative path is taken from the edit list's folder, so that a folder of
// clips and its list can move together.
std::string resolved(const std::string& path, const std::string& listPath) {
    if (path.empty() || path[0] == '/') return path;
    const std::size_t slash = listPath.find_last_of('/');
    return slash == std::string::npos ? path : listPath.substr(0, slash + 1) + path;
}

EditJoin joinOf(const JsonValue* transition, const EditJoin& defaults, const std::string& name, const std::string& listPath) {
    EditJoin join = defaults;
    join.name = name;
    join.duration.name = keyName(name, "duration");
    if (transition == nullptr) return join;
    checkKeys(*transition, name, {"duration", "settings", "preset", "set"});
    if (const JsonValue* duration = transition->member("duration")) join.duration = timeOf(duration, keyName(name, "duration"), true);
    if (const JsonValue* settings = transition->member("settings"))
        join.settingsPath = resolved(stringOf(*settings, keyName(name, "settings")), listPath);
    // A look by name goes first, so that "set" changes fields of it.
    if (const JsonValue* preset = transition->member("preset")) {
        const std::string presetName = stringOf(*preset, keyName(name, "preset"));
        const SettingsPreset* look = findSettingsPreset(presetName.c_str());
        if (look == nullptr) fail(keyName(name, "preset"), preset->quoted() + " is not a look ('glimmer presets' lists them)");
        for (std::size_t i = 0; i < look->assignmentCount; ++i)
            join.assignments.push_back(look->assignments[i].field + ("=" + std::to_string(look->assignments[i].value)));
    }
    if (const JsonValue* set = transition->member("set")) {
        const std::string setName = keyName(name, "set");
        // Either ["gravity=60", ...] as --set takes them, or {"gravity": 60}.
        if (set->kind == Kind::array) {
            for (std::size_t i = 0; i < set->items.size(); ++i) {
                const JsonValue& item = set->items[i];
                if (item.kind != Kind::string)
                    fail(setName + "[" + std::to_string(i) + "]", item.quoted() + " is not a FIELD=VALUE assignment");
                join.assignments.push_back(item.text);
            }
        } else if (set->kind == Kind::object) {
            for (const auto& member : set->members) {
                const JsonValue& v = member.second;
                if (v.kind != Kind::number && v.kind != Kind::string)
                    fail(setName + "." + member.first, v.quoted() + " is not a value");
                join.assignments.push_back(member.first + "=" + v.text);
            }
        } else {
            fail(setName, "is " + std::string(set->kindName()) + "; give a list of \"FIELD=VALUE\" or an object");
        }
    }
    return join;
}

}  // namespace

EditList readEditList(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw ToolError("cannot read edit list '" + path + "': " + std::strerror(errno));
    const std::string text((std::istreambuf_iterator<char>(in)), {});
    const JsonValue document = parseJson(text, "'" + path + "'");

    EditList list;
    list.path = path;
    checkKeys(document, "", {"clips", "transition", "stillDuration", "size", "fps", "fit", "music", "musicFade",
                             "clipVolume"});
    if (const JsonValue* size = document.member("size")) {
        try {
            Options sized;
            // The command line's own reading of --size, with its limits.
            const char* words[] = {"glimmer", "render", "--size", size->text.c_str(), "--frames", "1", "--out", "x.png"};
            if (size->kind != Kind::string) throw ToolError("");
            sized = parseCommandLine(8, words);
            list.width = sized.width;
            list.rows = sized.rows;
        } catch (const ToolError&) {
            fail("size", size->quoted() + " is not a size WxH (\"1280x720\")");
        }
        list.sizeGiven = true;
    }
    if (const JsonValue* fps = document.member("fps")) {
        try {
            if (fps->kind != Kind::number && fps->kind != Kind::string) throw ToolError("");
            list.fps = parseFrameRate("fps", fps->text);
        } catch (const ToolError&) {
            fail("fps", fps->quoted() + " is not a frame rate (25, 29.97, \"30000/1001\")");
        }
        list.fpsGiven = true;
    }
    if (const JsonValue* fit = document.member("fit"))
        if (fit->kind != Kind::string || !parseFitMode(fit->text, list.fit))
            fail("fit", fit->quoted() + " is not letterbox, crop, stretch or blur");
    list.stillDuration = timeOf(document.member("stillDuration"), "stillDuration", true);
    if (!list.stillDuration.given) list.stillDuration.value.seconds = 3;
    list.stillDuration.given = true;
    if (const JsonValue* music = document.member("music")) list.music = resolved(stringOf(*music, "music"), path);
    list.musicFade = numberOf(document.member("musicFade"), "musicFade", 0, 3600, 1);
    list.clipVolume = numberOf(document.member("clipVolume"), "clipVolume", 0, 10, 1);

    EditJoin defaults;
    defaults.duration.given = true;
    defaults.duration.value.seconds = 1;
    defaults = joinOf(document.member("transition"), defaults, "transition", path);

    const JsonValue* clips = document.member("clips");
    if (clips == nullptr) fail("clips", "missing: the edit list needs a list of clips");
    if (clips->kind != Kind::array) fail("clips", "is " + std::string(clips->kindName()) + ", not a list");
    if (clips->items.size() < 2)
        fail("clips", "has " + std::to_string(clips->items.size()) + (clips->items.size() == 1 ? " clip" : " clips") +
                          "; an edit joins two or more");
    for (std::size_t i = 0; i < clips->items.size(); ++i) {
        const JsonValue& entry = clips->items[i];
        const std::string name = "clips[" + std::to_string(i) + "]";
        checkKeys(entry, name, {"file", "in", "out", "duration", "transition"});
        EditClip clip;
        clip.name = name;
        const JsonValue* file = entry.member("file");
        if (file == nullptr) fail(name + ".file", "missing: each clip names its file");
        clip.path = resolved(stringOf(*file, name + ".file"), path);
        clip.in = timeOf(entry.member("in"), name + ".in", false);
        clip.out = timeOf(entry.member("out"), name + ".out", true);
        clip.duration = timeOf(entry.member("duration"), name + ".duration", true);
        if (clip.out.given && clip.duration.given) fail(name + ".duration", "goes with an out point or without, not both");
        const JsonValue* transition = entry.member("transition");
        if (i + 1 == clips->items.size()) {
            if (transition != nullptr) fail(name + ".transition", "the last clip has no join after it");
        } else {
            list.joins.push_back(joinOf(transition, defaults, name + ".transition", path));
        }
        list.clips.push_back(clip);
    }
    return list;
}

}  // namespace glimmer::tool
