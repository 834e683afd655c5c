#include "commands/command_line.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "settings_presets.h"
#include "common/picture.h"
#include "common/tool_error.h"
#include "settings/settings_assignments.h"

namespace glimmer::tool {
namespace {

struct OptionForm {
    const char* name;
    const char* value;  // null for a flag
    const char* help;
};

constexpr OptionForm optionForms[] = {
    {"--a", "A", "image A, the picture or clip that breaks up (default: the built-in sunset)"},
    {"--b", "B", "image B, the picture or clip revealed (default: the built-in mosaic)"},
    {"--a-start", "T", "where clip A's side starts: seconds (2.5, 2.5s) or frames of the clip (60f)"},
    {"--b-start", "T", "where clip B's side starts, the same way"},
    {"--size", "WxH", "output size (default: image A's; the built-in pair: 640x360)"},
    {"--fit", "MODE", "a picture of another size: letterbox (black bars, default), crop, stretch or blur"},
    {"--settings", "S.qvx", "start from a settings file instead of the defaults"},
    {"--set", "FIELD=VALUE", "change one field; repeatable ('glimmer settings' lists the fields)"},
    {"--position", "P", "frame of the transition to render, 0 to T-1"},
    {"--total", "T", "length of the transition in frames"},
    {"--frames", "N", "render all N frames of an N-frame transition"},
    {"--duration", "D", "length of the transition: seconds (1.5, 1.5s) or frames (36f)"},
    {"--offset", "T", "where in A the transition starts (default: D before A's end)"},
    {"--still-duration", "T", "how long a picture stands, its joins included (default 3 s)"},
    {"--music", "FILE", "one track under the whole edit, looped or cut to its length"},
    {"--music-fade", "S", "seconds the music fades in and out (default 1)"},
    {"--clip-volume", "V", "the clips' own sound under the music: 1 as it is (default), 0 none"},
    {"--out", "PATH", "where to write; - for standard output (with --format)"},
    {"--format", "F", "what --out - writes: rgba (raw frames), nut or matroska"},
    {"--codec", "C", "video encoder: libx264 (h264), libx265 (hevc), libvpx-vp9 (vp9), libaom-av1 (av1), ffv1"},
    {"--crf", "Q", "quality of a lossy video, lower is better (default: 18 for H.264)"},
    {"--preset", "P", "a named look ('glimmer presets' lists them), applied in order with --set; or the speed of\n"
                      "                      libx264 or libx265: ultrafast ... veryslow (default medium)"},
    {"--pad", nullptr, "pad an odd width or height with a black line for a codec that needs even sizes"},
    {"--jobs", "J", "frames rendered at once (default: one a core)"},
    {"--threads", "N", "threads that share one frame, split over the jobs (default: one a core)"},
    {"--fps", "R", "frames per second: 25, 29.97, 30000/1001 (default: clip A's, else clip B's, else 25)"},
    {"--compression", "L", "zlib level 0-9 of written PNGs (default 1 for sequences, 6 otherwise)"},
    {"--columns", "C", "frames across the sheet (default 5)"},
    {"--scale", "F", "size of each sheet frame against the original (default 0.25)"},
    {"--quiet", nullptr, "no progress bar"},
    {"--timing", nullptr, "print how the time went on rendering and on writing"},
    {"--help", nullptr, "show this help"},
};

constexpr const char* presetNames[] = {"ultrafast", "superfast", "veryfast", "faster", "fast",
                                       "medium",    "slow",      "slower",   "veryslow", "placebo"};

struct CommandForm {
    const char* name;
    const char* synopsis;
    const char* summary;
    std::vector<const char*> options;
};

const std::vector<CommandForm>& commandForms() {
    static const std::vector<CommandForm> forms = {
        {"join",
         "glimmer join A B [C ...] --duration D [--offset T] --out JOINED.mp4|.webm|.mkv|.mov|.gif\n"
         "glimmer join A B [C ...] --duration D [...] --out - --format rgba|nut|matroska",
         "Joins clips and pictures in order with the transition at every join: each\n"
         "clip until the overlap, the transition over the last D of one and the first D\n"
         "of the next, both moving, and so on to the end of the last. Their sound is\n"
         "crossfaded over each overlap (equal power); a picture stands --still-duration.",
         {"--duration", "--offset", "--a-start", "--b-start", "--still-duration", "--size", "--fit", "--fps",
          "--settings", "--set", "--music", "--music-fade", "--clip-volume", "--out", "--format", "--codec", "--crf",
          "--preset", "--pad", "--jobs", "--quiet", "--timing", "--help"}},
        {"edit",
         "glimmer edit FILM.json --out FILM.mp4|.webm|.mkv|.mov|.gif\n"
         "glimmer edit FILM.json [...] --out - --format rgba|nut|matroska",
         "Makes a whole edit from a JSON edit list: its clips and pictures in order,\n"
         "each with its own in and out points, and each join with its own length and\n"
         "look; music under it all. The options below win over what the list says.",
         {"--size", "--fit", "--fps", "--still-duration", "--music", "--music-fade", "--clip-volume", "--out",
          "--format", "--codec", "--crf", "--preset", "--pad", "--jobs", "--quiet", "--timing", "--help"}},
        {"render",
         "glimmer render [--a A] [--b B] [--settings S.qvx] [--set FIELD=VALUE]...\n"
         "               --position P --total T --out FRAME.png\n"
         "glimmer render [...] --frames N --out DIR/ | --out VIDEO.mp4|.webm|.mkv|.mov|.gif\n"
         "                                | --out - --format rgba|nut|matroska",
         "Renders one frame of the transition, or all of its frames to a numbered PNG\n"
         "sequence in a folder, to a video (through ffmpeg) or to standard output.\n"
         "A and B are any picture or video ffmpeg reads (PNG is read directly);\n"
         "position k takes frame k of each clip.",
         {"--a", "--b", "--a-start", "--b-start", "--size", "--fit", "--settings", "--set", "--position", "--total",
          "--frames", "--out", "--format", "--codec", "--crf", "--preset", "--pad", "--jobs", "--threads", "--fps",
          "--compression", "--quiet", "--timing", "--help"}},
        {"sheet", "glimmer sheet [--a A] [--b B] [--set FIELD=VALUE]... --frames N [--columns C] [--scale F]\n"
                  "              --out SHEET.png",
         "Renders an N-frame transition to one contact sheet, frames in reading order\n"
         "with each frame's position written under it.",
         {"--a", "--b", "--a-start", "--b-start", "--size", "--fit", "--fps", "--settings", "--preset", "--set",
          "--frames", "--columns", "--scale", "--out", "--jobs", "--threads", "--compression", "--quiet", "--help"}},
        {"settings", "glimmer settings [--settings S.qvx] [--preset LOOK] [--set FIELD=VALUE]... [--out S.qvx]",
         "Prints every field of the settings record (name, value, default, range,\n"
         "meaning) and writes a settings file that the plug-in's \"&Load\" accepts.",
         {"--settings", "--preset", "--set", "--out", "--help"}},
        {"presets", "glimmer presets",
         "Lists the named looks that --preset takes (and OBS and Kdenlive offer), with\n"
         "the fields each one sets over the defaults.",
         {"--help"}},
        {"demo", "glimmer demo [--out DIR]",
         "Renders the built-in pair at 640x360 over 50 frames to a contact sheet and,\n"
         "when ffmpeg is installed, an animated GIF and an MP4 (default folder: glimmer-demo).",
         {"--out", "--jobs", "--quiet", "--help"}},
    };
    return forms;
}

const CommandForm* findCommand(const std::string& name) {
    for (const CommandForm& c : commandForms())
        if (name == c.name) return &c;
    return nullptr;
}

std::string commandList() {
    std::string names;
    for (const CommandForm& c : commandForms()) names += (names.empty() ? "" : ", ") + std::string(c.name);
    return names;
}

const OptionForm* findOption(const CommandForm& command, const std::string& name) {
    for (const char* allowed : command.options)
        if (name == allowed)
            for (const OptionForm& o : optionForms)
                if (name == o.name) return &o;
    return nullptr;
}

// " (did you mean --duration?)" for a near miss among the command's options.
std::string nearestOptionHint(const CommandForm& command, const std::string& name) {
    const char* best = nullptr;
    std::size_t bestDistance = 0;
    for (const char* option : command.options) {
        const std::size_t distance = editDistance(name, option);
        if (best == nullptr || distance < bestDistance) {
            best = option;
            bestDistance = distance;
        }
    }
    if (best == nullptr || bestDistance > std::max<std::size_t>(2, std::string(best).size() / 3)) return "";
    return std::string(" (did you mean ") + best + "?)";
}

long parseNumber(const std::string& option, const std::string& text, long minimum, long maximum) {
    errno = 0;
    char* end = nullptr;
    const long number = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || errno != 0 || *end != '\0' || number < minimum || number > maximum)
        throw usageError(option + " takes a whole number from " + std::to_string(minimum) + " to " +
                         std::to_string(maximum) + ", not '" + text + "'");
    return number;
}

double parseFraction(const std::string& option, const std::string& text, double minimum, double maximum) {
    errno = 0;
    char* end = nullptr;
    const double number = std::strtod(text.c_str(), &end);
    if (text.empty() || errno != 0 || *end != '\0' || !(number >= minimum) || number > maximum)
        throw usageError(option + " takes a number from " + std::to_string(static_cast<int>(minimum)) + " to " +
                         std::to_string(static_cast<int>(maximum)) + ", not '" + text + "'");
    return number;
}

double parseScale(const std::string& text) {
    errno = 0;
    char* end = nullptr;
    const double scale = std::strtod(text.c_str(), &end);
    if (text.empty() || errno != 0 || *end != '\0' || !(scale > 0.0) || scale > 4.0)
        throw usageError("--scale takes a number above 0 and up to 4, not '" + text + "'");
    return scale;
}

// "640x360", with an 'x', an 'X' or a multiplication sign.
void parseSize(const std::string& text, int32_t& width, int32_t& rows) {
    std::size_t at = text.find_first_of("xX");
    std::size_t after = at + 1;
    const std::size_t sign = text.find("\xC3\x97");
    if (sign != std::string::npos) {
        at = sign;
        after = sign + 2;
    }
    const std::string problem = "--size takes WxH with W from 1 to " + std::to_string(maximumPictureWidth) +
                                " and H from 1 to " + std::to_string(maximumPictureRows) + ", not '" + text + "'";
    if (at == std::string::npos || at == 0) throw usageError(problem);
    try {
        width = static_cast<int32_t>(parseNumber("--size", text.substr(0, at), 1, maximumPictureWidth));
        rows = static_cast<int32_t>(parseNumber("--size", text.substr(after), 1, maximumPictureRows));
    } catch (const ToolError&) {
        throw usageError(problem);
    }
    if (int64_t{width} * rows > maximumPicturePixels)
        throw usageError("--size " + text + " is " + std::to_string(int64_t{width} * rows) + " pixels; glimmer takes at most " +
                         std::to_string(maximumPicturePixels));
}

void takeOption(Options& o, const std::string& name, const std::string& value) {
    if (name == "--a") o.imageA = value;
    else if (name == "--b") o.imageB = value;
    else if (name == "--a-start") { o.startA = parseTime(name, value, false); o.startAGiven = true; }
    else if (name == "--b-start") { o.startB = parseTime(name, value, false); o.startBGiven = true; }
    else if (name == "--size") { parseSize(value, o.width, o.rows); o.sizeGiven = true; }
    else if (name == "--fit") {
        if (!parseFitMode(value, o.fit)) throw usageError("--fit takes letterbox, crop, stretch or blur, not '" + value + "'");
    }
    else if (name == "--settings") o.settingsPath = value;
    else if (name == "--set") o.assignments.push_back(value);
    else if (name == "--position") { o.position = static_cast<int32_t>(parseNumber(name, value, 0, 1000000)); o.positionGiven = true; }
    else if (name == "--total") { o.total = static_cast<int32_t>(parseNumber(name, value, 1, 1000000)); o.totalGiven = true; }
    else if (name == "--frames") { o.frames = static_cast<int32_t>(parseNumber(name, value, 1, 1000000)); o.framesGiven = true; }
    else if (name == "--duration") { o.duration = parseTime(name, value, true); o.durationGiven = true; }
    else if (name == "--offset") { o.offset = parseTime(name, value, false); o.offsetGiven = true; }
    else if (name == "--still-duration") o.stillDuration = parseTime(name, value, true);
    else if (name == "--music") o.music = value;
    else if (name == "--music-fade") o.musicFade = parseFraction(name, value, 0, 3600);
    else if (name == "--clip-volume") o.clipVolume = parseFraction(name, value, 0, 10);
    else if (name == "--out") o.out = value;
    else if (name == "--format") {
        if (value != "rgba" && value != "nut" && value != "matroska")
            throw usageError("--format takes rgba, nut or matroska, not '" + value + "'");
        o.format = value;
    }
    else if (name == "--codec") o.codec = value;
    else if (name == "--crf") o.crf = static_cast<int>(parseNumber(name, value, 0, 63));
    else if (name == "--preset" && findSettingsPreset(value.c_str()) != nullptr) {
        const SettingsPreset& look = *findSettingsPreset(value.c_str());
        for (std::size_t i = 0; i < look.assignmentCount; ++i)
            o.assignments.push_back(look.assignments[i].field + ("=" + std::to_string(look.assignments[i].value)));
    }
    else if (name == "--preset") {
        if (std::find_if(std::begin(presetNames), std::end(presetNames), [&](const char* p) { return value == p; }) ==
            std::end(presetNames))
            throw usageError("--preset takes a look ('glimmer presets') or ultrafast, superfast, veryfast, faster, fast, medium, slow, slower, "
                             "veryslow or placebo, not '" + value + "'");
        o.preset = value;
    }
    else if (name == "--pad") o.padEven = true;
    else if (name == "--jobs") o.jobs = static_cast<int>(parseNumber(name, value, 1, 256));
    else if (name == "--threads") o.threads = static_cast<int>(parseNumber(name, value, 1, 256));
    else if (name == "--fps") { o.fps = parseFrameRate(name, value); o.fpsGiven = true; }
    else if (name == "--compression") o.compression = static_cast<int>(parseNumber(name, value, 0, 9));
    else if (name == "--columns") o.columns = static_cast<int32_t>(parseNumber(name, value, 1, 1000));
    else if (name == "--scale") o.scale = parseScale(value);
    else if (name == "--quiet") o.quiet = true;
    else if (name == "--timing") o.timing = true;
    else if (name == "--help") o.help = true;
}

// Rules between options that no single option can check.
void checkCombination(const Options& o) {
    if (o.help) return;
    const std::string c = o.command;
    if (c == "render") {
        if (o.out.empty()) throw usageError("glimmer render needs --out");
        if (o.framesGiven && (o.positionGiven || o.totalGiven))
            throw usageError("--frames renders every position; it does not go with --position or --total");
        if (!o.framesGiven && (!o.positionGiven || !o.totalGiven))
            throw usageError("glimmer render needs --position and --total, or --frames");
        if (o.positionGiven && o.position >= o.total)
            throw usageError("--position " + std::to_string(o.position) + " is past the last frame of a " +
                             std::to_string(o.total) + "-frame transition (0 to " + std::to_string(o.total - 1) + ")");
    }
    if (c == "join") {
        if (o.clips.size() < 2) throw usageError("glimmer join needs two clips or more, A and B at least");
        if (o.clips.size() > 2 && (o.startAGiven || o.startBGiven || o.offsetGiven))
            throw usageError(std::string(o.offsetGiven ? "--offset" : o.startAGiven ? "--a-start" : "--b-start") +
                             " is for a join of two clips; an edit list gives each of more its own points");
        if (!o.durationGiven) throw usageError("glimmer join needs --duration, the length of the transition");
        if (o.out.empty()) throw usageError("glimmer join needs --out");
    }
    if (c == "edit") {
        if (o.editPath.empty()) throw usageError("glimmer edit needs an edit list, FILM.json");
        if (o.out.empty()) throw usageError("glimmer edit needs --out");
    }
    if (c != "join" && c != "edit" && (o.has("--music-fade") || o.has("--clip-volume")))
        throw usageError("--music-fade and --clip-volume are for an edit with --music");
    if (c == "sheet") {
        if (o.out.empty()) throw usageError("glimmer sheet needs --out");
        if (!o.framesGiven) throw usageError("glimmer sheet needs --frames");
    }
    if (o.startAGiven && o.imageA.empty()) throw usageError("--a-start is for a clip given as A");
    if (o.startBGiven && o.imageB.empty()) throw usageError("--b-start is for a clip given as B");
    if (o.has("--fit") && (c == "render" || c == "sheet") && o.imageA.empty() && o.imageB.empty())
        throw usageError("--fit is for pictures of another size; the built-in pair has none");
}

}  // namespace

bool Options::has(const std::string& option) const {
    return std::find(given.begin(), given.end(), option) != given.end();
}

bool isGlimmerCommand(const std::string& name) { return findCommand(name) != nullptr; }

Options parseCommandLine(int argc, const char* const* argv) {
    Options o;
    if (argc < 2) throw usageError("which command? " + commandList() + " (glimmer --help)");
    o.command = argv[1];
    if (o.command == "--version" || o.command == "version") {
        o.version = true;
        return o;
    }
    if (o.command == "--help" || o.command == "-h" || o.command == "help") {
        // "glimmer help render" is "glimmer render --help".
        o.command = argc > 2 ? argv[2] : "";
        if (!o.command.empty() && findCommand(o.command) == nullptr)
            throw usageError("unknown command '" + o.command + "' (" + commandList() + ")");
        o.help = true;
        return o;
    }
    const CommandForm* command = findCommand(o.command);
    if (command == nullptr) throw usageError("unknown command '" + o.command + "' (" + commandList() + ")");
    int positional = 0;
    for (int i = 2; i < argc; ++i) {
        std::string name = argv[i], value;
        const std::size_t equals = name.find('=');
        const bool inlineValue = name.rfind("--", 0) == 0 && equals != std::string::npos;
        if (inlineValue) {
            value = name.substr(equals + 1);
            name = name.substr(0, equals);
        }
        if (name == "-h") name = "--help";
        const OptionForm* option = findOption(*command, name);
        if (option == nullptr) {
            // The join's clips and the edit's list come without an option.
            const bool word = name.rfind("-", 0) != 0 || name == "-";
            if (o.command == "join" && word && !inlineValue) {
                o.clips.push_back(name);
                if (positional++ < 2) (positional == 1 ? o.imageA : o.imageB) = name;
                continue;
            }
            if (o.command == "edit" && word && !inlineValue && positional++ == 0) {
                o.editPath = name;
                continue;
            }
            if (name.rfind("-", 0) == 0 && name.size() > 1)
                throw usageError("glimmer " + o.command + " has no option '" + name + "'" + nearestOptionHint(*command, name));
            throw usageError("unexpected argument '" + name + "'");
        }
        if (option->value != nullptr && !inlineValue) {
            if (i + 1 >= argc) throw usageError(name + " needs a value (" + option->value + ")");
            value = argv[++i];
        } else if (option->value == nullptr && inlineValue) {
            throw usageError(name + " takes no value");
        }
        // A second value would silently win over the first; --set is a list,
        // and so are looks by name, which --preset takes beside one encoder speed.
        const bool listed = name == "--set" || (name == "--preset" && findSettingsPreset(value.c_str()) != nullptr);
        if (!listed && o.has(name)) throw usageError(name + " is given twice");
        takeOption(o, name, value);
        // A look is settings, not the encoder's speed that output checks look for.
        if (name != "--preset" || findSettingsPreset(value.c_str()) == nullptr) o.given.push_back(name);
    }
    checkCombination(o);
    return o;
}

std::string helpText(const std::string& commandName) {
    const CommandForm* command = findCommand(commandName);
    if (command == nullptr) {
        std::string text =
            "glimmer: renders the Glimmerscatterweft transition: image A breaks into pixels or\n"
            "cells that wait, fly off under gravity and wind, live a while and vanish,\n"
            "revealing image B.\n\nCommands:\n";
        for (const CommandForm& c : commandForms()) text += "  " + std::string(c.synopsis).substr(0, std::string(c.synopsis).find('\n')) + "\n";
        return text + "\nglimmer help COMMAND (or glimmer COMMAND --help) tells more; glimmer --version.\n"
                      "Exit status: 0 done, 1 failed, 2 usage error.\n";
    }
    std::string text = std::string("Usage: ") + command->synopsis + "\n\n" + command->summary + "\n\nOptions:\n";
    for (const char* name : command->options) {
        const OptionForm* o = findOption(*command, name);
        std::string left = std::string("  ") + o->name + (o->value != nullptr ? std::string(" ") + o->value : "");
        if (left.size() < 22) left.resize(22, ' ');
        else left += "  ";
        text += left + o->help + "\n";
    }
    return text;
}

std::string versionText() { return std::string("glimmer ") + GLIMMER_VERSION + " (Glimmerscatterweft)\n"; }

}  // namespace glimmer::tool
