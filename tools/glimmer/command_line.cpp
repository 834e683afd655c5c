#include "command_line.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "picture.h"
#include "tool_error.h"

namespace glimmer::tool {
namespace {

struct OptionForm {
    const char* name;
    const char* value;  // null for a flag
    const char* help;
};

constexpr OptionForm optionForms[] = {
    {"--a", "A.png", "image A, the picture that breaks up (default: the built-in sunset)"},
    {"--b", "B.png", "image B, the picture revealed (default: the built-in mosaic)"},
    {"--size", "WxH", "size of the built-in pictures (default 640x360)"},
    {"--settings", "S.qvx", "start from a settings file instead of the defaults"},
    {"--set", "FIELD=VALUE", "change one field; repeatable ('glimmer settings' lists the fields)"},
    {"--position", "P", "frame of the transition to render, 0 to T-1"},
    {"--total", "T", "length of the transition in frames"},
    {"--frames", "N", "render all N frames of an N-frame transition"},
    {"--out", "PATH", "where to write"},
    {"--jobs", "J", "frames rendered at once (default: one a core)"},
    {"--fps", "R", "frames per second of a video (default 25)"},
    {"--compression", "L", "zlib level 0-9 of written PNGs (default 1 for sequences, 6 otherwise)"},
    {"--columns", "C", "frames across the sheet (default 5)"},
    {"--scale", "F", "size of each sheet frame against the original (default 0.25)"},
    {"--quiet", nullptr, "no progress bar"},
    {"--timing", nullptr, "print how the time went on rendering and on writing"},
    {"--help", nullptr, "show this help"},
};

struct CommandForm {
    const char* name;
    const char* synopsis;
    const char* summary;
    std::vector<const char*> options;
};

const std::vector<CommandForm>& commandForms() {
    static const std::vector<CommandForm> forms = {
        {"render",
         "glimmer render [--a A.png] [--b B.png] [--settings S.qvx] [--set FIELD=VALUE]...\n"
         "               --position P --total T --out FRAME.png\n"
         "glimmer render [...] --frames N --out DIR/ | --out VIDEO.mp4|.webm|.mkv|.gif",
         "Renders one frame of the transition, or all of its frames to a numbered PNG\n"
         "sequence in a folder or to a video (through ffmpeg).",
         {"--a", "--b", "--size", "--settings", "--set", "--position", "--total", "--frames", "--out", "--jobs",
          "--fps", "--compression", "--quiet", "--timing", "--help"}},
        {"sheet", "glimmer sheet [--a A.png] [--b B.png] [--set FIELD=VALUE]... --frames N [--columns C] [--scale F]\n"
                  "              --out SHEET.png",
         "Renders an N-frame transition to one contact sheet, frames in reading order\n"
         "with each frame's position written under it.",
         {"--a", "--b", "--size", "--settings", "--set", "--frames", "--columns", "--scale", "--out", "--jobs",
          "--compression", "--quiet", "--help"}},
        {"settings", "glimmer settings [--settings S.qvx] [--set FIELD=VALUE]... [--out S.qvx]",
         "Prints every field of the settings record (name, value, default, range,\n"
         "meaning) and writes a settings file that the plug-in's \"&Load\" accepts.",
         {"--settings", "--set", "--out", "--help"}},
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

const OptionForm* findOption(const CommandForm& command, const std::string& name) {
    for (const char* allowed : command.options)
        if (name == allowed)
            for (const OptionForm& o : optionForms)
                if (name == o.name) return &o;
    return nullptr;
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
}

void takeOption(Options& o, const std::string& name, const std::string& value) {
    if (name == "--a") o.imageA = value;
    else if (name == "--b") o.imageB = value;
    else if (name == "--size") { parseSize(value, o.width, o.rows); o.sizeGiven = true; }
    else if (name == "--settings") o.settingsPath = value;
    else if (name == "--set") o.assignments.push_back(value);
    else if (name == "--position") { o.position = static_cast<int32_t>(parseNumber(name, value, 0, 1000000)); o.positionGiven = true; }
    else if (name == "--total") { o.total = static_cast<int32_t>(parseNumber(name, value, 1, 1000000)); o.totalGiven = true; }
    else if (name == "--frames") { o.frames = static_cast<int32_t>(parseNumber(name, value, 1, 1000000)); o.framesGiven = true; }
    else if (name == "--out") o.out = value;
    else if (name == "--jobs") o.jobs = static_cast<int>(parseNumber(name, value, 1, 256));
    else if (name == "--fps") o.framesPerSecond = static_cast<int>(parseNumber(name, value, 1, 240));
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
    if (c == "sheet") {
        if (o.out.empty()) throw usageError("glimmer sheet needs --out");
        if (!o.framesGiven) throw usageError("glimmer sheet needs --frames");
    }
    if ((c == "render" || c == "sheet") && o.sizeGiven && (!o.imageA.empty() || !o.imageB.empty()))
        throw usageError("--size is for the built-in pictures; a picture file brings its own size");
}

}  // namespace

bool isGlimmerCommand(const std::string& name) { return findCommand(name) != nullptr; }

Options parseCommandLine(int argc, const char* const* argv) {
    Options o;
    if (argc < 2) throw usageError("which command? render, sheet, settings or demo (glimmer --help)");
    o.command = argv[1];
    if (o.command == "--help" || o.command == "-h" || o.command == "help") {
        o.command.clear();
        o.help = true;
        return o;
    }
    const CommandForm* command = findCommand(o.command);
    if (command == nullptr)
        throw usageError("unknown command '" + o.command + "' (render, sheet, settings or demo)");
    for (int i = 2; i < argc; ++i) {
        std::string name = argv[i], value;
        const std::size_t equals = name.find('=');
        const bool inline_value = name.rfind("--", 0) == 0 && equals != std::string::npos;
        if (inline_value) {
            value = name.substr(equals + 1);
            name = name.substr(0, equals);
        }
        if (name == "-h") name = "--help";
        const OptionForm* option = findOption(*command, name);
        if (option == nullptr) {
            if (name.rfind("-", 0) == 0) throw usageError("glimmer " + o.command + " has no option '" + name + "'");
            throw usageError("unexpected argument '" + name + "'");
        }
        if (option->value != nullptr && !inline_value) {
            if (i + 1 >= argc) throw usageError(name + " needs a value (" + option->value + ")");
            value = argv[++i];
        } else if (option->value == nullptr && inline_value) {
            throw usageError(name + " takes no value");
        }
        takeOption(o, name, value);
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
        return text + "\nglimmer COMMAND --help tells more. Exit status: 0 done, 1 failed, 2 usage error.\n";
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

}  // namespace glimmer::tool
