#include <algorithm>
#include <memory>
#include <thread>

#include "commands/commands.h"
#include "plan/frame_jobs.h"
#include "outputs/output_choice.h"
#include "outputs/output_file.h"
#include "common/png_io.h"
#include "commands/progress_bar.h"
#include "outputs/raw_stream_writer.h"
#include "outputs/sequence_writer.h"
#include "common/tool_error.h"
#include "inputs/transition_inputs.h"
#include "inputs/transition_sides.h"
#include "outputs/video_writer.h"

namespace glimmer::tool {
namespace {

int renderOneFrame(const Options& options, const TransitionSettings& settings) {
    choosePictureOutput(options, "a single frame");
    refuseOutputOverInput(options.out, inputFilesOf(options));
    const PicturePair pictures = loadPicturePair(options);
    const Transition transition{&pictures.a, &pictures.b, settings, options.total};
    Picture frame(pictures.a.width, pictures.a.rows);
    renderTransitionFrame(transition, options.position, frame, threadCount(options));
    writePng(options.out, frame, options.compression >= 0 ? options.compression : pictureCompression);
    return 0;
}

std::string summaryOf(const OutputChoice& output, const OutputFrames& frames, int32_t count) {
    const std::string size = std::to_string(frames.width) + "x" + std::to_string(frames.rows);
    if (output.kind == OutputKind::pngSequence)
        return "wrote " + std::to_string(count) + " frames of " + size + " to '" + output.video.target + "'";
    return "wrote " + output.name() + ": " + std::to_string(count) + " frames of " + size + " at " +
           frames.rate.text() + " frames/s (" + secondsText(count / frames.rate.perSecond()) + ")";
}

}  // namespace

int jobCount(const Options& options) {
    if (options.jobs > 0) return options.jobs;
    const unsigned cores = std::thread::hardware_concurrency();
    return cores > 0 ? static_cast<int>(cores) : 1;
}

int threadCount(const Options& options) {
    const unsigned cores = std::thread::hardware_concurrency();
    return options.threads > 0 ? options.threads : cores > 0 ? static_cast<int>(cores) : 1;
}

int runRenderCommand(const Options& options) {
    const TransitionSettings settings = loadTransitionSettings(options);
    if (!options.framesGiven) return renderOneFrame(options, settings);

    OutputChoice output = chooseMovingOutput(options, true);
    refuseOutputOverInput(options.out, inputFilesOf(options));
    if (output.kind == OutputKind::videoFile) checkOutputFolder(output.video.target);
    const SideInputs sides = inspectSides(options);
    const SideInput& a = sides.a;
    const SideInput& b = sides.b;
    keepAlphaOf({a, b}, options, output);
    const OutputFrames frames = outputFramesFor(options, a, b);
    checkVideoSize(output, frames.width, frames.rows);
    const int jobs = jobCount(options);
    const SideFramesWanted wanted{0, 0, options.frames};
    auto sideA = openSide(a, frames, wanted, jobs, true);
    auto sideB = openSide(b, frames, wanted, jobs, false);
    const MovingTransition transition{sideA.get(), sideB.get(), settings, options.frames, frames.width, frames.rows};

    ProgressBar progress(options.frames, options.quiet);
    // An encoder counts its own frames; those delivered to it are not done.
    ProgressBar delivered(options.frames, true);
    std::unique_ptr<FrameConsumer> writer;
    VideoWriter* video = nullptr;
    PngSequenceWriter* sequence = nullptr;
    if (output.encoded()) {
        EncoderPlan plan;
        plan.video = output.video;
        plan.width = frames.width;
        plan.rows = frames.rows;
        plan.rate = frames.rate;
        auto v = std::make_unique<VideoWriter>(plan, &progress);
        video = v.get();
        writer = std::move(v);
    } else if (output.kind == OutputKind::rawStream) {
        writer = std::make_unique<RawStreamWriter>();
    } else {
        auto s = std::make_unique<PngSequenceWriter>(
            options.out, options.frames, options.compression >= 0 ? options.compression : sequenceCompression);
        sequence = s.get();
        writer = std::move(s);
    }
    const JobTimes times = renderFrames(transition, options.frames, jobs, *writer, video ? delivered : progress,
                                        threadsPerJob(threadCount(options), std::min(jobs, options.frames)));
    if (video != nullptr) video->finish();
    if (sequence != nullptr) sequence->commit();
    // The decoders end here, so that their ffmpeg counts in --timing.
    sideA.reset();
    sideB.reset();
    progress.finish(summaryOf(output, frames, options.frames));
    if (options.timing)
        printJobTimes("frames", times, options.frames, jobs,
                      video ? "writing to ffmpeg" : sequence ? "PNG encoding" : "writing to standard output");
    return 0;
}

}  // namespace glimmer::tool
