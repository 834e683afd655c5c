// The command line of glimmer: subcommands, their options and their help.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "processes/ffmpeg_arguments.h"
#include "commands/time_values.h"

namespace glimmer::tool {

struct Options {
    std::string command;  // render, join, sheet, settings or demo
    bool help = false;
    bool version = false;

    std::string imageA, imageB;  // empty: the built-in pictures
    std::vector<std::string> clips;  // of a join, in order (A and B are the first two)
    std::string editPath;            // the edit list of glimmer edit
    TimeValue stillDuration{false, 3.0, 0};  // a picture's time in a join or an edit
    std::string music;
    double musicFade = 1.0;          // seconds
    double clipVolume = 1.0;
    bool startAGiven = false, startBGiven = false;
    TimeValue startA, startB;    // where each clip's side starts
    bool sizeGiven = false;
    int32_t width = 640, rows = 360;
    FitMode fit = FitMode::letterbox;
    std::string settingsPath;
    std::vector<std::string> assignments;  // FIELD=VALUE, in the order given

    bool positionGiven = false, totalGiven = false, framesGiven = false;
    int32_t position = 0, total = 0, frames = 0;
    bool durationGiven = false, offsetGiven = false;
    TimeValue duration, offset;  // of a join

    std::string out;
    std::string format;   // for --out -
    std::string codec;
    int crf = -1;
    std::string preset;
    bool padEven = false;
    int jobs = 0;          // 0: one a core
    int threads = 0;       // 0: one a core
    int compression = -1;  // -1: the default for what is written
    bool fpsGiven = false;
    FrameRate fps;
    int32_t columns = 5;
    double scale = 0.25;
    bool quiet = false;
    bool timing = false;

    // Which options the command line named, for the checks that depend on
    // what is written.
    std::vector<std::string> given;
    bool has(const std::string& option) const;
};

// Throws a usage ToolError for anything it cannot take, naming it.
Options parseCommandLine(int argc, const char* const* argv);

bool isGlimmerCommand(const std::string& name);

// The help of a subcommand, or of glimmer itself for "".
std::string helpText(const std::string& command);

// "glimmer 1.0.0".
std::string versionText();

}  // namespace glimmer::tool
