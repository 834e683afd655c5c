#include "outputs/video_writer.h"

#include <cerrno>
#include <cstdlib>

#include <unistd.h>

#include "processes/interrupt_cleanup.h"
#include "commands/progress_bar.h"
#include "outputs/raw_stream_writer.h"
#include "common/tool_error.h"
#include "outputs/yuv_frames.h"

namespace glimmer::tool {
namespace {

// What the encoder makes of our frames: the codec's own pixel format, one
// black line for an odd size on request, and for a GIF one palette for the
// whole clip (the pictures do not change colours, only places).
std::string encoderGraph(const VideoSettings& video) {
    std::string chain = "[0:v]setsar=1,";
    if (video.padEven) chain += "pad=ceil(iw/2)*2:ceil(ih/2)*2,";
    if (video.container == "gif")
        return chain + "format=rgb24,split[g1][g2];[g1]palettegen=stats_mode=full[palette];"
                       "[g2][palette]paletteuse=dither=bayer:bayer_scale=3[v]";
    std::string pixelFormat = video.codec != nullptr ? video.codec->pixelFormat : "rgba";
    if (video.keepAlpha && pixelFormat == "yuv420p") pixelFormat = "yuva420p";
    return chain + "format=" + pixelFormat + "[v]";
}

std::vector<std::string> encoderArguments(const EncoderPlan& plan, const std::string& destination) {
    const VideoSettings& video = plan.video;
    const std::string input = encoderInputFormat(video);
    const std::string matrix = yuvMatrixFor(plan.width, plan.rows);
    std::vector<std::string> words = {"-hide_banner", "-nostdin", "-loglevel", "error", "-nostats", "-progress",
                                      "pipe:3", "-y", "-f", "rawvideo", "-pix_fmt", input, "-s",
                                      std::to_string(plan.width) + "x" + std::to_string(plan.rows), "-framerate",
                                      plan.rate.text()};
    if (input == "yuv420p") words.insert(words.end(), {"-color_range", "tv", "-colorspace", matrix});
    words.insert(words.end(), {"-i", "pipe:0"});
    if (plan.withSound)
        for (std::string& word : soundStreamInputArguments()) words.push_back(std::move(word));

    words.insert(words.end(), {"-filter_complex", encoderGraph(video), "-map", "[v]"});
    if (plan.withSound) words.insert(words.end(), {"-map", "1:a:0", "-c:a", audioCodecOf(video.container)});

    if (video.codec != nullptr) {
        const VideoCodec& codec = *video.codec;
        words.insert(words.end(), {"-c:v", codec.name});
        words.insert(words.end(), codec.arguments.begin(), codec.arguments.end());
        if (codec.crfMaximum >= 0) words.insert(words.end(), {"-crf", std::to_string(video.crf >= 0 ? video.crf : codec.defaultCrf)});
        if (codec.presets) words.insert(words.end(), {"-preset", video.preset.empty() ? "medium" : video.preset});
    }
    if (input == "yuv420p")
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

std::string encoderInputFormat(const VideoSettings& video) {
    return !video.keepAlpha && video.codec != nullptr && std::string(video.codec->pixelFormat) == "yuv420p" ? "yuv420p" : "rgba";
}

std::size_t encoderInputFrameBytes(const VideoSettings& video, int32_t width, int32_t rows) {
    if (encoderInputFormat(video) == "yuv420p") return yuv420Bytes(width, rows);
    return static_cast<std::size_t>(width) * static_cast<std::size_t>(rows) * 4;
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
    yuv_ = encoderInputFormat(plan.video) == "yuv420p";
    matrix_ = yuvMatrixFor(plan.width, plan.rows);
    frameBytes_ = encoderInputFrameBytes(plan.video, plan.width, plan.rows);
    if (!toStandardOutput) output_ = std::make_unique<OutputFile>(plan.video.target);
    ffmpeg_ = std::make_unique<ChildProcess>("ffmpeg",
                                             encoderArguments(plan, toStandardOutput ? "pipe:1" : output_->path()),
                                             ChildPipes{true, false, true, plan.withSound}, "cannot write " + name_);
    progressReader_ = workerThread([this] { readProgress(); });
    if (plan.withSound) sound_ = std::make_unique<SoundStream>(plan.sound, *ffmpeg_);
}

VideoWriter::~VideoWriter() {
    // Unfinished: stop ffmpeg before the OutputFile removes its file; the
    // sound's writes then fail and its thread ends.
    if (ffmpeg_) ffmpeg_->stop();
    sound_.reset();
    if (progressReader_.joinable()) progressReader_.join();
}

// ffmpeg's -progress lines, "frame=123" among them, until it closes them.
void VideoWriter::readProgress() {
    std::string pending;
    char buffer[1024];
    for (ssize_t n; (n = ::read(ffmpeg_->third(), buffer, sizeof buffer)) != 0;) {
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

void VideoWriter::take(int32_t, const Picture& frame) { writePicture(frame); }

void VideoWriter::writePicture(const Picture& picture) {
    if (yuv_) {
        convertToYuv420(picture, matrix_, converted_);
        writeEncoded(converted_.data());
    } else if (!writeRowsTopFirst(ffmpeg_->input(), picture)) {
        failWithFfmpegReport("ffmpeg stopped while writing");
    }
}

void VideoWriter::writeEncoded(const uint8_t* frame) {
    if (!writeFully(ffmpeg_->input(), frame, frameBytes_)) failWithFfmpegReport("ffmpeg stopped while writing");
}

void VideoWriter::finish() {
    // The pictures end first: the encoder may hold the sound back until it
    // has the pictures that go with it.
    ffmpeg_->closeInput();
    if (sound_) {
        try {
            sound_->finish();
        } catch (...) {
            ffmpeg_->stop();
            throw;
        }
    }
    if (!ffmpeg_->finish()) throw ToolError("ffmpeg could not write " + name_ + ": " + ffmpeg_->complaint());
    progressReader_.join();
    if (output_) output_->commit();
}

}  // namespace glimmer::tool
