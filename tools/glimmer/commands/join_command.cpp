#include <memory>

#include "plan/audio_crossfade.h"
#include "commands/commands.h"
#include "plan/frame_jobs.h"
#include "plan/join_plan.h"
#include "outputs/output_choice.h"
#include "commands/progress_bar.h"
#include "inputs/transition_inputs.h"
#include "inputs/transition_sides.h"
#include "outputs/video_writer.h"

namespace glimmer::tool {
namespace {

// The encoder reads every frame from glimmer: A's before the overlap and
// B's after it come straight from the decoders that also give the
// transition its frames, so each clip is decoded once; the sound it reads
// from the files itself.
EncoderPlan encoderPlanFor(const OutputChoice& output, const OutputFrames& frames, const SideInput& a,
                           const SideInput& b, const JoinPlan& join) {
    EncoderPlan plan;
    plan.video = output.video;
    plan.width = frames.width;
    plan.rows = frames.rows;
    plan.rate = frames.rate;
    if (!join.sound || audioCodecOf(output.video.container).empty()) return plan;

    const bool soundA = a.moving() && a.info.hasAudio, soundB = b.moving() && b.info.hasAudio;
    int input = 0;
    auto soundOf = [&](const SideInput& side) {
        plan.otherInputs.push_back("-vn");
        for (std::string& word : clipInputArguments(side.path, side.info, side.startSeconds(), frames.rate))
            plan.otherInputs.push_back(std::move(word));
        return "[" + std::to_string(++input) + ":a:0]";
    };
    const std::string streamA = soundA ? soundOf(a) : "", streamB = soundB ? soundOf(b) : "";
    const double frameSeconds = 1.0 / frames.rate.perSecond();
    const CrossfadeTimes times{(join.before + join.overlap) * frameSeconds, (join.overlap + join.after) * frameSeconds,
                               join.overlap * frameSeconds};
    plan.audioGraph = crossfadeGraph(streamA, streamB, times);
    return plan;
}

std::string summaryOf(const OutputChoice& output, const OutputFrames& frames, const JoinPlan& join, bool sound) {
    const double perSecond = frames.rate.perSecond();
    return "wrote " + output.name() + ": " + std::to_string(join.total()) + " frames of " + std::to_string(frames.width) +
           "x" + std::to_string(frames.rows) + " at " + frames.rate.description() + " (" +
           secondsText(join.total() / perSecond) + "), the transition from " + secondsText(join.before / perSecond) +
           " to " + secondsText((join.before + join.overlap) / perSecond) + (sound ? ", sound crossfaded" : ", no sound");
}

}  // namespace

int runJoinCommand(const Options& options) {
    const TransitionSettings settings = loadTransitionSettings(options);
    const OutputChoice output = chooseMovingOutput(options, false);
    if (output.kind == OutputKind::videoFile) checkOutputFolder(output.video.target);
    const SideInputs sides = inspectSides(options);
    const SideInput& a = sides.a;
    const SideInput& b = sides.b;
    const OutputFrames frames = outputFramesFor(options, a, b);
    checkVideoSize(output, frames.width, frames.rows);
    const JoinPlan join = planJoin(options, a, b, frames);

    const int jobs = jobCount(options);
    const EncoderPlan plan = encoderPlanFor(output, frames, a, b, join);
    const std::string passFormat = encoderInputFormat(output.video);
    const std::string matrix = yuvMatrixFor(frames.width, frames.rows);
    const std::size_t passBytes = encoderInputFrameBytes(output.video, frames.width, frames.rows);
    auto sideA = openSide(a, frames, SideFramesWanted{join.before, 0, join.overlap}, jobs, true,
                          PassThrough{join.before, 0, passFormat, matrix, passBytes});
    auto sideB = openSide(b, frames, SideFramesWanted{0, 0, join.overlap}, jobs, false,
                          PassThrough{0, join.after, passFormat, matrix, passBytes});
    const MovingTransition transition{sideA.get(), sideB.get(), settings, join.overlap, frames.width, frames.rows};

    ProgressBar progress(join.total(), options.quiet);
    ProgressBar delivered(join.overlap, true);
    VideoWriter writer(plan, &progress);
    sideA->passUntouched(writer, join.before);
    const JobTimes times = renderFrames(transition, join.overlap, jobs, writer, delivered);
    sideB->passUntouched(writer, join.after);
    writer.finish();
    sideA.reset();
    sideB.reset();
    const bool sound = !plan.audioGraph.empty();
    progress.finish(summaryOf(output, frames, join, sound));
    if (options.timing) printJobTimes("the frames of the transition", times, join.overlap, jobs, "writing to ffmpeg");
    return 0;
}

}  // namespace glimmer::tool
