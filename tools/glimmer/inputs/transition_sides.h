// The two sides of a transition as the user gave them: picture files,
// clips, or the built-in pair, brought to one output size and rate.
//
// A PNG at the output's size is read by libpng, exactly as written; any
// other input goes through ffmpeg (asked with ffprobe first), fitted to the
// output (--fit) and, when it moves, resampled to the output's rate by
// dropping or repeating frames. A still gives the same picture at every
// position; a clip gives frame k at position k, counted from --a-start or
// --b-start.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "inputs/clip_decoder.h"
#include "commands/command_line.h"
#include "inputs/media_probe.h"
#include "inputs/side_frames.h"

namespace glimmer::tool {

// One input, looked at but not yet decoded.
struct SideInput {
    std::string path;          // "" for a built-in picture
    bool png = false;          // read by libpng
    Picture pngPicture;        // what libpng read
    MediaInfo info;            // from ffprobe, or the PNG's size
    TimeValue start;

    bool moving() const { return !path.empty() && !png && !info.still; }
    // Frames from the start to the end at `rate`, or -1 when unknown.
    int64_t framesAt(const FrameRate& rate) const;
    // Seconds from the clip's beginning to frame 0 of its side.
    double startSeconds() const;
};

struct SideInputs {
    SideInput a, b;
};

// The inputs of --a and --b. Throws ToolError naming the file when one
// cannot be read, and a usage error for a start given to a still.
SideInputs inspectSides(const Options& options);

// The clips and pictures of an edit, in order. ffprobe runs on a few at
// once: each spends most of its time loading ffmpeg's libraries, and a
// probe for every clip of a long edit at once would outweigh the rest.
struct ClipToInspect {
    std::string path;
    TimeValue start;
    bool startGiven = false;
    std::string startName;  // "--a-start", "clips[2].in"
};
std::vector<SideInput> inspectClips(const std::vector<ClipToInspect>& clips);

// The output's geometry from the options and the inputs: --size or A's size
// (B's when A is built in, else 640x360); --fps or the first moving side's
// rate, else 25.
OutputFrames outputFramesFor(const Options& options, const SideInput& a, const SideInput& b);

// Which frames a side delivers: positions firstPosition onwards show the
// clip's frames from `clipFrame` (counted at the output's rate from the
// side's start).
struct SideFramesWanted {
    int64_t clipFrame = 0;
    int32_t firstPosition = 0;
    int32_t frames = 1;
};

// One side ready to deliver what is wanted to `jobs` render jobs, and a
// clip also the frames around them that `pass` asks for. Throws ToolError
// when a clip is too short for it.
std::unique_ptr<SideFrames> openSide(const SideInput& input, const OutputFrames& output,
                                     const SideFramesWanted& wanted, int jobs, bool imageA,
                                     const PassThrough& pass = {});

// "clip A 'a.mp4' is 4.00 s long, 100 frames at 25 frames/s from 0.00 s"
std::string clipLengthText(const SideInput& input, const OutputFrames& output, bool imageA);

// The picture a still side shows, fitted to the output.
Picture stillPicture(const SideInput& input, const OutputFrames& output, bool imageA);

}  // namespace glimmer::tool
