#include "plan/edit_plan.h"

#include <cmath>
#include <cstdio>

#include "common/tool_error.h"

namespace glimmer::tool {
namespace {

std::string framesText(int64_t frames) { return std::to_string(frames) + (frames == 1 ? " frame" : " frames"); }

// "clips[2] 'a.mp4' is 4.00 s long, 100 frames at 25 frames/s from 0.00 s"
std::string lengthText(const EditClip& clip, const SideInput& input, const FrameRate& rate) {
    return clip.name + " '" + clip.path + "' is " + secondsText(input.info.duration) + " long, " +
           framesText(input.framesAt(rate)) + " at " + rate.description() + " from " + secondsText(input.startSeconds());
}

int32_t overlapOf(const EditJoin& join, const FrameRate& rate) {
    const int64_t overlap = join.duration.value.framesAt(rate);
    if (overlap < 1)
        throw usageError(join.duration.name + " " + join.duration.value.text() + " is less than one frame at " +
                         rate.description());
    if (overlap > 1000000) throw usageError(join.duration.name + " " + join.duration.value.text() + " is more than a million frames");
    return static_cast<int32_t>(overlap);
}

// Frames the clip gives from its in point, before the joins are checked.
int64_t clipFrames(const EditList& list, const EditClip& clip, const SideInput& input, const FrameRate& rate,
                   int32_t overlapOut) {
    if (!input.moving()) {
        if (clip.in.given || clip.out.given)
            throw usageError((clip.in.given ? clip.in.name : clip.out.name) + " is for a clip; '" + clip.path +
                             "' is a still picture");
        if (clip.offset.given) return clip.offset.value.framesAt(rate) + overlapOut;
        const EditTime& stands = clip.duration.given ? clip.duration : list.stillDuration;
        const int64_t frames = stands.value.framesAt(rate);
        if (frames < 1) throw ToolError(stands.name + " " + stands.value.text() + " is less than one frame at " + rate.description());
        return frames;
    }
    const double length = input.info.duration;
    const double inSeconds = input.startSeconds();
    if (length < 0 && !clip.duration.given && !clip.out.given && !clip.offset.given)
        throw ToolError("cannot tell how long " + clip.name + " '" + clip.path + "' is; give it an out point or a duration");
    if (clip.in.given && length >= 0 && inSeconds >= length)
        throw ToolError(clip.in.name + ": " + clip.in.value.text() + " is past the end of '" + clip.path + "' (" +
                        secondsText(length) + " long)");
    const int64_t available = input.framesAt(rate);
    int64_t frames = available;
    const EditTime* cut = nullptr;
    if (clip.out.given) {
        const double outSeconds = clip.out.value.secondsAt(input.info.rate);
        if (outSeconds <= inSeconds)
            throw ToolError(clip.out.name + ": " + clip.out.value.text() + " is not after its in point (" +
                            secondsText(inSeconds) + ")");
        frames = std::llround((outSeconds - inSeconds) * rate.perSecond());
        cut = &clip.out;
    } else if (clip.duration.given) {
        frames = clip.duration.value.framesAt(rate);
        cut = &clip.duration;
    } else if (clip.offset.given) {
        frames = clip.offset.value.framesAt(rate) + overlapOut;
        if (available >= 0 && frames > available)
            throw ToolError(clip.offset.name + " " + clip.offset.value.text() + " leaves too little of " + clip.name + " for a " +
                            framesText(overlapOut) + " join: " + lengthText(clip, input, rate));
    }
    if (cut != nullptr && available >= 0 && frames > available)
        throw ToolError(cut->name + ": " + cut->value.text() + " reaches past the end: " + lengthText(clip, input, rate));
    if (frames < 1) throw ToolError(clip.name + " '" + clip.path + "' gives no frame at " + rate.description());
    return frames;
}

}  // namespace

OutputFrames editOutputFrames(const EditList& list, const std::vector<SideInput>& inputs, std::string& rateNote) {
    OutputFrames output;
    output.fit = list.fit;
    const SideInput& first = inputs.front();
    output.width = list.sizeGiven ? list.width : first.info.width;
    output.rows = list.sizeGiven ? list.rows : first.info.rows;
    if (int64_t{output.width} * output.rows > maximumPicturePixels)
        throw ToolError("'" + first.path + "' is " + std::to_string(output.width) + "x" + std::to_string(output.rows) +
                        ", more than the " + std::to_string(maximumPicturePixels) +
                        " pixels glimmer takes (--size makes a smaller output)");
    if (list.fpsGiven) {
        output.rate = list.fps;
        return output;
    }
    for (const SideInput& input : inputs) {
        if (!input.moving()) continue;
        output.rate = input.info.rate;
        if (input.info.variableRate) {
            output.rate = nearestCommonRate(input.info.rate.perSecond());
            char average[32];
            std::snprintf(average, sizeof average, "%.2f", input.info.rate.perSecond());
            rateNote = "'" + input.path + "' has a variable rate averaging " + average + " frames/s, taken as " +
                       output.rate.description();
        }
        break;
    }
    return output;
}

EditPlan planEdit(const EditList& list, const std::vector<SideInput>& inputs) {
    const std::size_t count = list.clips.size();
    if (count < 2 || inputs.size() != count || list.joins.size() + 1 != count)
        throw usageError("an edit joins two or more clips; this one has " + std::to_string(count));
    EditPlan plan;
    plan.output = editOutputFrames(list, inputs, plan.rateNote);
    const FrameRate& rate = plan.output.rate;

    std::vector<int32_t> overlaps;
    for (const EditJoin& join : list.joins) overlaps.push_back(overlapOf(join, rate));
    for (std::size_t i = 0; i < count; ++i) {
        PlannedClip clip;
        clip.overlapIn = i > 0 ? overlaps[i - 1] : 0;
        clip.overlapOut = i + 1 < count ? overlaps[i] : 0;
        clip.frames = clipFrames(list, list.clips[i], inputs[i], rate, clip.overlapOut);
        clip.sound = inputs[i].moving() && inputs[i].info.hasAudio;
        plan.sound = plan.sound || clip.sound;
        plan.clips.push_back(clip);
    }

    int64_t at = 0;
    for (std::size_t i = 0; i < count; ++i) {
        PlannedClip& clip = plan.clips[i];
        const EditClip& entry = list.clips[i];
        // A join longer than either clip it joins has nothing to show.
        for (int way = 0; way < 2; ++way) {
            const int32_t overlap = way == 0 ? clip.overlapIn : clip.overlapOut;
            if (overlap == 0 || overlap <= clip.frames) continue;
            const EditJoin& join = list.joins[way == 0 ? i - 1 : i];
            throw ToolError(join.duration.name + ": " + join.duration.value.text() + " (" + framesText(overlap) +
                            ") is longer than " +
                            (inputs[i].moving() ? lengthText(entry, inputs[i], rate)
                                                : entry.name + " '" + entry.path + "', which stands " + framesText(clip.frames)));
        }
        if (clip.alone() < 0)
            throw ToolError(entry.name + " '" + entry.path + "' gives " + framesText(clip.frames) +
                            ", fewer than the joins on either side of it take (" + std::to_string(clip.overlapIn) +
                            " + " + std::to_string(clip.overlapOut) + ")");
        clip.firstFrame = at;
        at += clip.frames - clip.overlapOut;
        if (i + 1 < count) plan.joins.push_back(PlannedJoin{clip.overlapOut, at});
    }
    plan.total = at;
    return plan;
}

}  // namespace glimmer::tool
