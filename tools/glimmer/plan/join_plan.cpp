#include "plan/join_plan.h"

#include "common/tool_error.h"

namespace glimmer::tool {

JoinPlan planJoin(const Options& options, const SideInput& a, const SideInput& b, const OutputFrames& output) {
    JoinPlan plan;
    const int64_t overlap = options.duration.framesAt(output.rate);
    if (overlap < 1)
        throw usageError("--duration " + options.duration.text() + " is less than one frame at " + output.rate.description());
    if (overlap > 1000000) throw usageError("--duration " + options.duration.text() + " is more than a million frames");
    plan.overlap = static_cast<int32_t>(overlap);
    const std::string overlapText = options.duration.text() + " (" + std::to_string(overlap) + " frames)";

    const int64_t lengthA = a.moving() ? a.framesAt(output.rate) : -1;
    if (options.offsetGiven) {
        plan.before = options.offset.framesAt(output.rate);
        if (lengthA >= 0 && plan.before + overlap > lengthA)
            throw ToolError("--offset " + options.offset.text() + " leaves too little of A for a " + overlapText +
                            " transition: " + clipLengthText(a, output, true));
    } else {
        if (!a.moving())
            throw usageError("'" + a.path + "' is a still picture: say with --offset how long it shows before the transition");
        if (lengthA < 0) throw ToolError("cannot tell how long '" + a.path + "' is; say where the transition starts with --offset");
        if (lengthA < overlap)
            throw ToolError(clipLengthText(a, output, true) + ", shorter than its side of a " + overlapText + " transition");
        plan.before = lengthA - overlap;
    }

    if (b.moving()) {
        const int64_t lengthB = b.framesAt(output.rate);
        if (lengthB < 0) throw ToolError("cannot tell how long '" + b.path + "' is");
        if (lengthB < overlap)
            throw ToolError(clipLengthText(b, output, false) + ", shorter than its side of a " + overlapText + " transition");
        plan.after = lengthB - overlap;
    }
    plan.sound = (a.moving() && a.info.hasAudio) || (b.moving() && b.info.hasAudio);
    return plan;
}

}  // namespace glimmer::tool
