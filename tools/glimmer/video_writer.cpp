#include "video_writer.h"

#include <cerrno>
#include <cstdlib>

#include <unistd.h>

#include "interrupt_cleanup.h"
#include "progress_bar.h"
#include "tool_error.h"

namespace glimmer::tool {
namespace {

bool isYuv(const std::string& pixelFormat) { return pixelFormat.rfind("yuv", 0) == 0; }

// Our frames, bottom row first, to the encoder's pixel format.
std::string framesChain(const std::string& pixelFormat, const std::string& matrix) {
    std::string chain = "[0:v]vflip,";
    if (isYuv(pixelFormat)) chain += "scale=out_color_matrix=" + matrix + ":out_range=tv,";
    return chain + "format=" + pixelFormat + "[frames]";
}

// After the frames are joined: one black line for an odd size on request,
// and for a GIF one palette for the whole clip (the pictures do not change
// colours, only places).
std::string finishingChain(const VideoSettings& video) {
    std::string chain = "[joined]";
    if (video.padEven) chain += "pad=ceil(iw/2)*2:ceil(ih/2)*2,";
    if (video.container == "gif")
        return chain + "split[g1][g2];[g1]palettegen=stats_mode=full[palette];[g2][palette]paletteuse=dither=bayer:bayer_scale=3[v]";
    return chain + "null[v]";
}

std::vector<std::string> encoderArguments(const EncoderPlan& plan, const std::string& destination) {
    const VideoSettings& video = plan.video;
    const std::string pixelFormat = encoderPixelFormat(video);
    const std::string matrix = yuvMatrixFor(plan.width, plan.rows);
    std::vector<std::string> words = {"-hide_banner", "-nostdin", "-loglevel", "error", "-nostats", "-progress",
                                      "pipe:3", "-y", "-f", "rawvideo", "-pix_fmt", "rgba", "-s",
                                      std::to_string(plan.width) + "x" + std::to_string(plan.rows), "-framerate",
                                      plan.rate.text(), "-i", "pipe:0"};
    words.insert(words.end(), plan.otherInputs.begin(), plan.otherInputs.end());

    std::string graph = framesChain(pixelFormat, matrix) + ";" +
                        (plan.assembly.empty() ? "[frames]null[joined]" : plan.assembly) + ";" + finishingChain(video);
    if (!plan.audioGraph.empty()) graph += ";" + plan.audioGraph;
    words.insert(words.end(), {"-filter_complex", graph, "-map", "[v]"});
    const std::string audioCodec = audioCodecOf(video.container);
    if (!plan.audioGraph.empty() && !audioCodec.empty()) words.insert(words.end(), {"-map", "[sound]", "-c:a", audioCodec});

    if (video.codec != nullptr) {
        const VideoCodec& codec = *video.codec;
        words.insert(words.end(), {"-c:v", codec.name});
        words.insert(words.end(), codec.arguments.begin(), codec.arguments.end());
        if (codec.crfMaximum >= 0) words.insert(words.end(), {"-crf", std::to_string(video.crf >= 0 ? video.crf : codec.defaultCrf)});
        if (codec.presets) words.insert(words.end(), {"-preset", video.preset.empty() ? "medium" : video.preset});
    }
    if (isYuv(pixelFormat))
        words.insert(words.end(), {"-colorspace", matrix, "-color_primaries", matrix, "-color_trc", matrix,
                                   "-color_range", "tv"});
    if (video.container == "mp4" || video.container == "mov") words.insert(words.end(), {"-movflags", "+faststart"});
    words.insert(words.end(), {"-f", muxerOf(video.container), destination});
    return words;
}

}  // namespace

VideoSettings videoSettingsFor(const std::string& path) {
    VideoSettings video;
    video.target = path;
    video.container = containerOfPath(path);
    video.codec = defaultCodec(video.container);
    return video;
}

std::string encoderPixelFormat(const VideoSettings& video) {
    if (video.container == "gif") return "rgb24";
    return video.codec != nullptr ? video.codec->pixelFormat : "rgba";
}

std::string yuvMatrixFor(int32_t width, int32_t rows) { return rows > 576 || width > 1024 ? "bt709" : "smpte170m"; }

VideoWriter::VideoWriter(const EncoderPlan& plan, ProgressBar* progress) : progress_(progress) { start(plan); }

VideoWriter::VideoWriter(const std::string& path, int32_t width, int32_t rows, const FrameRate& rate) {
    EncoderPlan plan;
    plan.video = videoSettingsFor(path);
    plan.width = width;
    plan.rows = rows;
    plan.rate = rate;
    start(plan);
}

void VideoWriter::start(const EncoderPlan& plan) {
    const bool toStandardOutput = plan.video.target == "-";
    name_ = toStandardOutput ? "standard output" : "'" + plan.video.target + "'";
    if (!toStandardOutput) output_ = std::make_unique<OutputFile>(plan.video.target);
    frameBytes_ = static_cast<std::size_t>(plan.width) * static_cast<std::size_t>(plan.rows) * 4;
    ffmpeg_ = std::make_unique<ChildProcess>("ffmpeg",
                                             encoderArguments(plan, toStandardOutput ? "pipe:1" : output_->path()),
                                             ChildPipes{true, false, true}, "cannot write " + name_);
    progressReader_ = workerThread([this] { readProgress(); });
}

VideoWriter::~VideoWriter() {
    // Unfinished: stop ffmpeg before the OutputFile removes its file.
    if (ffmpeg_) ffmpeg_->stop();
    if (progressReader_.joinable()) progressReader_.join();
}

// ffmpeg's -progress lines, "frame=123" among them, until it closes them.
void VideoWriter::readProgress() {
    std::string pending;
    char buffer[1024];
    for (ssize_t n; (n = ::read(ffmpeg_->progress(), buffer, sizeof buffer)) != 0;) {
        if (n < 0) {
            if (errno == EINTR) continue;
            break;
        }
        pending.append(buffer, static_cast<std::size_t>(n));
        for (std::size_t end; (end = pending.find('\n')) != std::string::npos; pending.erase(0, end + 1))
            if (pending.rfind("frame=", 0) == 0 && progress_ != nullptr)
                progress_->framesDone(std::strtoll(pending.c_str() + 6, nullptr, 10));
    }
}

void VideoWriter::failWithFfmpegReport(const std::string& what) {
    ffmpeg_->finish();
    throw ToolError(what + " " + name_ + ": " + ffmpeg_->complaint());
}

void VideoWriter::take(int32_t, const Picture& frame) {
    if (!writeFully(ffmpeg_->input(), frame.pixels.data(), frameBytes_))
        failWithFfmpegReport("ffmpeg stopped while writing");
}

void VideoWriter::finish() {
    if (!ffmpeg_->finish()) throw ToolError("ffmpeg could not write " + name_ + ": " + ffmpeg_->complaint());
    progressReader_.join();
    if (output_) output_->commit();
}

}  // namespace glimmer::tool
