// A whole edit as the user gives it: clips and pictures in order, where
// each is cut, and the join that leads out of each into the next. An edit
// list file and the join command's options both become one of these, and
// one plan (edit_plan.h) turns it into frames.
//
// Every value keeps the name it was given by ("clips[3].in", "--a-start"),
// so that a message about it names the entry and the key.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "commands/command_line.h"
#include "commands/time_values.h"
#include "processes/ffmpeg_arguments.h"

namespace glimmer::tool {

struct EditTime {
    bool given = false;
    TimeValue value;
    std::string name;  // what the user called it, for messages
};

struct EditClip {
    std::string name;  // "clips[2]", "clip B"
    std::string path;
    EditTime in;        // where the clip starts, into the file
    EditTime out;       // where it ends, into the file
    EditTime duration;  // how long it stands (a picture) or plays from its in point
    EditTime offset;    // where the join out of it starts, from its in point
};

struct EditJoin {
    std::string name;  // "clips[2].transition", "--duration"
    EditTime duration;
    std::string settingsPath;              // "" for the defaults
    std::vector<std::string> assignments;  // FIELD=VALUE, in order
};

struct EditList {
    std::string path;  // the edit list file; "" for the command line
    std::vector<EditClip> clips;
    std::vector<EditJoin> joins;  // one fewer than clips: joins[i] leads out of clips[i]
    EditTime stillDuration;       // a picture's time when its entry does not say
    bool sizeGiven = false;
    int32_t width = 0, rows = 0;
    bool fpsGiven = false;
    FrameRate fps;
    FitMode fit = FitMode::letterbox;
    std::string music;  // "" for none
    double musicFade = 1.0;
    double clipVolume = 1.0;

    // Every file the edit reads, with what it is to the edit ("clips[2]",
    // "--music"), for the check that the output is none of them.
    std::vector<std::pair<std::string, std::string>> inputFiles() const;
};

// The join command's clips and options as an edit: one look for every join.
EditList editListFromOptions(const Options& options);

// Reads an edit list file. Throws ToolError naming the entry and the key
// for anything it cannot take: "clips[3].duration: "2x" is not a duration".
EditList readEditList(const std::string& path);

// The edit command's options over what the file says (--size, --fps, --fit,
// --still-duration, --music, --music-fade, --clip-volume).
void applyEditOptions(const Options& options, EditList& list);

}  // namespace glimmer::tool
