// Where every clip and join of an edit falls, in frames of the output.
//
// Clip i gives frames[i] frames from its in point; the join out of it
// overlaps its last overlap frames with the first of clip i + 1, both
// moving, so the output is clip 0 alone, join 0, clip 1 alone, join 1, ...
// and the last clip alone. The two-clip join is the same plan with one
// join.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "inputs/transition_sides.h"
#include "plan/edit_list.h"

namespace glimmer::tool {

struct PlannedClip {
    int64_t frames = 0;      // what the clip gives, joins included
    int64_t firstFrame = 0;  // of the output
    int32_t overlapIn = 0;   // frames of the join into it
    int32_t overlapOut = 0;  // frames of the join out of it
    bool sound = false;

    int64_t alone() const { return frames - overlapIn - overlapOut; }
};

struct PlannedJoin {
    int32_t overlap = 0;
    int64_t firstFrame = 0;  // of the output
};

struct EditPlan {
    OutputFrames output;
    std::vector<PlannedClip> clips;
    std::vector<PlannedJoin> joins;
    int64_t total = 0;
    bool sound = false;     // some clip has sound (the music aside)
    std::string rateNote;   // how a variable rate was settled, or ""
};

// The output's size, rate and fit: the list's, else the first clip's
// display size and the first moving clip's rate (a variable rate snapped
// to the nearest common one), else 25.
OutputFrames editOutputFrames(const EditList& list, const std::vector<SideInput>& inputs, std::string& rateNote);

// Throws ToolError naming the entry and the key when a clip is too short,
// an in or out point lies outside its clip, or a join is longer than a
// clip it joins.
EditPlan planEdit(const EditList& list, const std::vector<SideInput>& inputs);

}  // namespace glimmer::tool
