#include <cstdio>
#include <memory>
#include <thread>

#include "commands.h"
#include "frame_jobs.h"
#include "output_file.h"
#include "png_io.h"
#include "progress_bar.h"
#include "sequence_writer.h"
#include "tool_error.h"
#include "transition_inputs.h"
#include "video_writer.h"

namespace glimmer::tool {
namespace {

void printTiming(const JobTimes& times, int32_t frames, int jobs, const char* writing) {
    std::fprintf(stderr,
                 "glimmer: %d frames in %.2f s (%.2f frames/s) with %d job%s; rendering %.2f s, %s %.2f s "
                 "(seconds summed over the threads)\n",
                 frames, times.wallSeconds, frames / times.wallSeconds, jobs, jobs == 1 ? "" : "s",
                 times.renderSeconds, writing, times.consumeSeconds);
}

}  // namespace

int jobCount(const Options& options) {
    if (options.jobs > 0) return options.jobs;
    const unsigned cores = std::thread::hardware_concurrency();
    return cores > 0 ? static_cast<int>(cores) : 1;
}

int runRenderCommand(const Options& options) {
    const TransitionSettings settings = loadTransitionSettings(options);

    if (!options.framesGiven) {
        if (fileExtension(options.out) != ".png")
            throw usageError("--out of a single frame is a .png file, not '" + options.out + "'");
        checkOutputFolder(options.out);
        const PicturePair pictures = loadPicturePair(options);
        const Transition transition{&pictures.a, &pictures.b, settings, options.total};
        Picture frame(pictures.a.width, pictures.a.rows);
        renderTransitionFrame(transition, options.position, frame);
        writePng(options.out, frame, options.compression >= 0 ? options.compression : pictureCompression);
        return 0;
    }

    const bool video = isVideoPath(options.out);
    if (!video && !isFolderPath(options.out) && !fileExtension(options.out).empty())
        throw usageError("--frames writes a folder (DIR/) or a video (.mp4, .webm, .mkv, .gif), not '" +
                         options.out + "'");
    if (video) checkOutputFolder(options.out);
    const PicturePair pictures = loadPicturePair(options);
    const Transition transition{&pictures.a, &pictures.b, settings, options.frames};
    const int jobs = jobCount(options);

    std::unique_ptr<FrameConsumer> writer;
    VideoWriter* videoWriter = nullptr;
    if (video) {
        auto v = std::make_unique<VideoWriter>(options.out, pictures.a.width, pictures.a.rows, options.framesPerSecond);
        videoWriter = v.get();
        writer = std::move(v);
    } else {
        writer = std::make_unique<PngSequenceWriter>(
            options.out, options.frames, options.compression >= 0 ? options.compression : sequenceCompression);
    }
    ProgressBar progress(options.frames, options.quiet);
    const JobTimes times = renderFrames(transition, options.frames, jobs, *writer, progress);
    progress.finish();
    if (videoWriter != nullptr) videoWriter->finish();
    if (options.timing) printTiming(times, options.frames, jobs, video ? "piping to ffmpeg" : "PNG encoding");
    return 0;
}

}  // namespace glimmer::tool
