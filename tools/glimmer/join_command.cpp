#include <cstdio>
#include <memory>

#include "audio_crossfade.h"
#include "commands.h"
#include "frame_jobs.h"
#include "join_plan.h"
#include "output_choice.h"
#include "progress_bar.h"
#include "transition_inputs.h"
#include "transition_sides.h"
#include "video_writer.h"

namespace glimmer::tool {
namespace {

// The encoder gets A before the overlap and B after it straight from the
// files, fitted and converted by the same chain as the decoders: only the
// overlap goes through glimmer, so the parts the transition leaves alone
// cost no more than in any other join, and keep their quality.
EncoderPlan encoderPlanFor(const OutputChoice& output, const OutputFrames& frames, const SideInput& a,
                           const SideInput& b, const JoinPlan& join) {
    EncoderPlan plan;
    plan.video = output.video;
    plan.width = frames.width;
    plan.rows = frames.rows;
    plan.rate = frames.rate;
    plan.outputFrames = join.total();
    const std::string pixelFormat = encoderPixelFormat(output.video);
    const std::string matrix = yuvMatrixFor(frames.width, frames.rows);
    const double frameSeconds = 1.0 / frames.rate.perSecond();
    const bool soundA = a.moving() && a.info.hasAudio, soundB = b.moving() && b.info.hasAudio;

    int input = 0;
    std::string segments, labels;
    // `streams` keeps ffmpeg from decoding what is not used: "-vn", "-an" or "".
    auto addInput = [&](const SideInput& side, double start, const std::string& streams) {
        if (!streams.empty()) plan.otherInputs.push_back(streams);
        for (std::string& word : clipInputArguments(side.path, side.info, start, frames.rate))
            plan.otherInputs.push_back(std::move(word));
        return ++input;
    };
    auto addSegment = [&](int from, const SideInput& side, int64_t count, const char* label) {
        segments += "[" + std::to_string(from) + ":v:0]" + clipFilterChain(side.info, frames, pixelFormat, matrix) +
                    ",trim=end_frame=" + std::to_string(count) + ",setpts=PTS-STARTPTS[" + label + "];";
        labels += std::string("[") + label + "]";
    };

    int fromA = 0;
    if (join.before > 0 || (output.encoded() && soundA)) fromA = addInput(a, a.startSeconds(), join.before > 0 ? "" : "-vn");
    if (join.before > 0) addSegment(fromA, a, join.before, "before");
    labels += "[frames]";
    if (join.after > 0)
        addSegment(addInput(b, b.startSeconds() + join.overlap * frameSeconds, "-an"), b, join.after, "after");
    const int segmentCount = 1 + (join.before > 0) + (join.after > 0);
    plan.assembly = segments + labels + "concat=n=" + std::to_string(segmentCount) + ":v=1:a=0[joined]";

    if (join.sound && !audioCodecOf(output.video.container).empty()) {
        const int fromB = soundB ? addInput(b, b.startSeconds(), "-vn") : 0;
        const CrossfadeTimes times{(join.before + join.overlap) * frameSeconds,
                                   (join.overlap + join.after) * frameSeconds, join.overlap * frameSeconds};
        plan.audioGraph = crossfadeGraph(soundA ? "[" + std::to_string(fromA) + ":a:0]" : "",
                                         soundB ? "[" + std::to_string(fromB) + ":a:0]" : "", times);
    }
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
    OutputChoice output = chooseMovingOutput(options, false);
    if (output.kind == OutputKind::videoFile) checkOutputFolder(output.video.target);
    const SideInput a = inspectSide(options.imageA, options.startA, options.startAGiven, "--a-start");
    const SideInput b = inspectSide(options.imageB, options.startB, options.startBGiven, "--b-start");
    const OutputFrames frames = outputFramesFor(options, a, b);
    checkVideoSize(output, frames.width, frames.rows);
    const JoinPlan join = planJoin(options, a, b, frames);

    const int jobs = jobCount(options);
    const auto sideA = openSide(a, frames, SideFramesWanted{join.before, 0, join.overlap}, jobs, true);
    const auto sideB = openSide(b, frames, SideFramesWanted{0, 0, join.overlap}, jobs, false);
    const MovingTransition transition{sideA.get(), sideB.get(), settings, join.overlap, frames.width, frames.rows};

    ProgressBar progress(join.total(), options.quiet);
    ProgressBar delivered(join.overlap, true);
    VideoWriter writer(encoderPlanFor(output, frames, a, b, join), &progress);
    const JobTimes times = renderFrames(transition, join.overlap, jobs, writer, delivered);
    writer.finish();
    const bool sound = join.sound && !audioCodecOf(output.video.container).empty();
    progress.finish(summaryOf(output, frames, join, sound));
    if (options.timing)
        std::fprintf(stderr,
                     "glimmer: the %d frames of the transition rendered in %.2f s with %d job%s; rendering %.2f s, "
                     "waiting for decoded frames %.2f s, piping to ffmpeg %.2f s\n",
                     join.overlap, times.wallSeconds, jobs, jobs == 1 ? "" : "s", times.renderSeconds,
                     times.waitSeconds, times.consumeSeconds);
    return 0;
}

}  // namespace glimmer::tool
