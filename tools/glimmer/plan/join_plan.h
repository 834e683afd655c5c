// Where the parts of a join fall, in frames of the output: clip A alone,
// the transition over the overlap, then clip B alone.
#pragma once

#include <cstdint>

#include "commands/command_line.h"
#include "inputs/transition_sides.h"

namespace glimmer::tool {

struct JoinPlan {
    int64_t before = 0;   // frames of A before the overlap
    int32_t overlap = 0;  // frames of the transition
    int64_t after = 0;    // frames of B after the overlap
    bool sound = false;   // either clip has sound

    int64_t total() const { return before + overlap + after; }
};

// Throws ToolError saying how long a clip is when it is too short for its
// side, or when --offset lies past the end of A; a usage error for a
// --duration under one frame and for a still A without --offset.
JoinPlan planJoin(const Options& options, const SideInput& a, const SideInput& b, const OutputFrames& output);

}  // namespace glimmer::tool
