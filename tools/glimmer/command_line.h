// The command line of glimmer: subcommands, their options and their help.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace glimmer::tool {

struct Options {
    std::string command;  // render, sheet, settings or demo
    bool help = false;

    std::string imageA, imageB;  // empty: the built-in pictures
    bool sizeGiven = false;
    int32_t width = 640, rows = 360;
    std::string settingsPath;
    std::vector<std::string> assignments;  // FIELD=VALUE, in the order given

    bool positionGiven = false, totalGiven = false, framesGiven = false;
    int32_t position = 0, total = 0, frames = 0;
    std::string out;
    int jobs = 0;         // 0: one a core
    int compression = -1; // -1: the default for what is written
    int framesPerSecond = 25;
    int32_t columns = 5;
    double scale = 0.25;
    bool quiet = false;
    bool timing = false;
};

// Throws a usage ToolError for anything it cannot take, naming it.
Options parseCommandLine(int argc, const char* const* argv);

bool isGlimmerCommand(const std::string& name);

// The help of a subcommand, or of glimmer itself for "".
std::string helpText(const std::string& command);

}  // namespace glimmer::tool
