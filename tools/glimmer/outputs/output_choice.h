// What a command writes, decided from --out and --format before any work:
// a PNG frame, a PNG sequence in a folder, a video file, or a stream on
// standard output. Options that do not apply to that output are refused
// with a usage error rather than ignored.
#pragma once

#include <cstdint>

#include "commands/command_line.h"
#include "inputs/transition_sides.h"
#include "outputs/video_writer.h"

namespace glimmer::tool {

enum class OutputKind { pngFrame, pngSequence, videoFile, rawStream, encodedStream };

struct OutputChoice {
    OutputKind kind = OutputKind::pngFrame;
    VideoSettings video;  // for video files and encoded streams

    bool encoded() const { return kind == OutputKind::videoFile || kind == OutputKind::encodedStream; }
    // "'clip.mp4'", "standard output", "'frames/'".
    std::string name() const;
};

// For render --frames and join (`sequenceAllowed` false: videos only).
OutputChoice chooseMovingOutput(const Options& options, bool sequenceAllowed);
// For a single frame or a sheet: a PNG file.
OutputChoice choosePictureOutput(const Options& options, const char* what);

// Refuses an odd size for a codec that needs even ones, unless --pad asked
// for a black line.
void checkVideoSize(const OutputChoice& output, int32_t width, int32_t rows);

// Alpha goes on where a source has it and the output can carry it (an
// alpha codec for .mov, .webm and .mkv); a codec the user chose stays.
void keepAlphaOf(const std::vector<SideInput>& inputs, const Options& options, OutputChoice& output);

}  // namespace glimmer::tool
