#include "inputs/transition_sides.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "outputs/output_file.h"
#include "common/png_io.h"
#include "inputs/sample_pictures.h"
#include "common/tool_error.h"

namespace glimmer::tool {
namespace {

// The picture first, so that it exists before the side that shows it.
struct HeldPicture {
    Picture picture;
};

class OwnedStill : private HeldPicture, public StillSide {
public:
    explicit OwnedStill(Picture p) : HeldPicture{std::move(p)}, StillSide(HeldPicture::picture) {}
};

bool startsAsPng(const std::string& path) {
    unsigned char signature[8] = {};
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return false;
    const bool read = std::fread(signature, 1, sizeof signature, file) == sizeof signature;
    std::fclose(file);
    static const unsigned char png[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    return read && std::memcmp(signature, png, sizeof png) == 0;
}

// Anything but a PNG is looked at by ffprobe.
bool readByLibpng(const std::string& path) {
    return !isSequencePattern(path) && (startsAsPng(path) || fileExtension(path) == ".png");
}

std::unique_ptr<MediaProbe> startProbe(const std::string& path) {
    if (path.empty() || readByLibpng(path)) return nullptr;
    return std::make_unique<MediaProbe>(path);
}

SideInput inspectSide(const std::string& path, const TimeValue& start, bool startGiven, const std::string& startOption,
                      MediaProbe* probe) {
    SideInput input;
    input.path = path;
    input.start = start;
    if (path.empty()) return input;
    if (probe == nullptr) {
        // A .png that is not one gets libpng's word for it, not a guess of ffmpeg's.
        input.png = true;
        input.pngPicture = readPng(path);
        input.info.still = true;
        input.info.width = input.pngPicture.width;
        input.info.rows = input.pngPicture.rows;
    } else {
        input.info = probe->result();
    }
    if (startGiven && !input.moving())
        throw usageError(startOption + " is for a clip; '" + path + "' is a still picture");
    if (input.info.width > maximumPictureWidth || input.info.rows > maximumPictureRows)
        throw ToolError("'" + path + "' is " + std::to_string(input.info.width) + "x" + std::to_string(input.info.rows) +
                        "; glimmer takes at most " + std::to_string(maximumPictureWidth) + "x" +
                        std::to_string(maximumPictureRows) + " (--size makes a smaller output)");
    return input;
}

}  // namespace

int64_t SideInput::framesAt(const FrameRate& rate) const {
    if (info.duration < 0) return -1;
    return std::max<int64_t>(0, std::llround((info.duration - startSeconds()) * rate.perSecond()));
}

double SideInput::startSeconds() const { return start.secondsAt(info.rate); }

SideInputs inspectSides(const Options& options) {
    // Both probes start before either is read; A's complaints still come first.
    const std::unique_ptr<MediaProbe> probeA = startProbe(options.imageA);
    const std::unique_ptr<MediaProbe> probeB = startProbe(options.imageB);
    SideInputs sides;
    sides.a = inspectSide(options.imageA, options.startA, options.startAGiven, "--a-start", probeA.get());
    sides.b = inspectSide(options.imageB, options.startB, options.startBGiven, "--b-start", probeB.get());
    return sides;
}

std::vector<SideInput> inspectClips(const std::vector<ClipToInspect>& clips) {
    constexpr std::size_t probesAtOnce = 4;
    std::vector<SideInput> inputs;
    for (std::size_t first = 0; first < clips.size(); first += probesAtOnce) {
        std::vector<std::unique_ptr<MediaProbe>> probes;
        const std::size_t end = std::min(clips.size(), first + probesAtOnce);
        for (std::size_t i = first; i < end; ++i) probes.push_back(startProbe(clips[i].path));
        for (std::size_t i = first; i < end; ++i)
            inputs.push_back(inspectSide(clips[i].path, clips[i].start, clips[i].startGiven, clips[i].startName,
                                         probes[i - first].get()));
    }
    return inputs;
}

OutputFrames outputFramesFor(const Options& options, const SideInput& a, const SideInput& b) {
    OutputFrames output;
    output.fit = options.fit;
    const SideInput* sized = !a.path.empty() ? &a : !b.path.empty() ? &b : nullptr;
    output.width = options.sizeGiven || sized == nullptr ? options.width : sized->info.width;
    output.rows = options.sizeGiven || sized == nullptr ? options.rows : sized->info.rows;
    if (int64_t{output.width} * output.rows > maximumPicturePixels)
        throw ToolError("'" + sized->path + "' is " + std::to_string(output.width) + "x" + std::to_string(output.rows) +
                        ", more than the " + std::to_string(maximumPicturePixels) +
                        " pixels glimmer takes (--size makes a smaller output)");
    output.rate = options.fpsGiven ? options.fps : a.moving() ? a.info.rate : b.moving() ? b.info.rate : FrameRate{};
    const SideInput& first = a.moving() ? a : b;
    if (!options.fpsGiven && first.moving() && first.info.variableRate) output.rate = nearestCommonRate(output.rate.perSecond());
    return output;
}

Picture stillPicture(const SideInput& input, const OutputFrames& output, bool imageA) {
    if (input.path.empty())
        return imageA ? makeSunsetPicture(output.width, output.rows) : makeMosaicPicture(output.width, output.rows);
    if (input.png && input.pngPicture.width == output.width && input.pngPicture.rows == output.rows)
        return input.pngPicture;
    // Fitted by ffmpeg, the same way as every other input.
    if (input.png && findProgram("ffmpeg").empty())
        throw ToolError("'" + input.path + "' is " + std::to_string(input.pngPicture.width) + "x" +
                        std::to_string(input.pngPicture.rows) + ", not the output's " + std::to_string(output.width) +
                        "x" + std::to_string(output.rows) +
                        "; fitting it takes ffmpeg, which is not installed (on Debian or Ubuntu: apt install ffmpeg)");
    const MediaInfo info = input.png ? probeMedia(input.path) : input.info;
    ClipDecoder decoder(input.path, info, output, ClipRange{0, 1, 0}, 1);
    return decoder.acquire(0);
}

std::string clipLengthText(const SideInput& input, const OutputFrames& output, bool imageA) {
    return std::string("clip ") + (imageA ? "A" : "B") + " '" + input.path + "' is " + secondsText(input.info.duration) +
           " long, " + std::to_string(input.framesAt(output.rate)) + " frames at " + output.rate.description() +
           " from " + secondsText(input.startSeconds());
}

std::unique_ptr<SideFrames> openSide(const SideInput& input, const OutputFrames& output,
                                     const SideFramesWanted& wanted, int jobs, bool imageA, const PassThrough& pass) {
    if (!input.moving()) return std::make_unique<OwnedStill>(stillPicture(input, output, imageA));
    const int64_t available = input.framesAt(output.rate);
    const int64_t needed = wanted.clipFrame + wanted.frames + pass.after;
    if (available >= 0 && available < needed)
        throw ToolError(clipLengthText(input, output, imageA) + ", fewer than the " + std::to_string(needed) +
                        " its side of the transition needs");
    // Frames passed on ahead of the transition's are decoded from where they start.
    const int64_t firstDecoded = wanted.clipFrame - pass.before;
    const ClipRange range{input.startSeconds() + static_cast<double>(firstDecoded) / output.rate.perSecond(),
                          wanted.frames, wanted.firstPosition};
    // Room for the frames the jobs hold and as many read ahead.
    return std::make_unique<ClipDecoder>(input.path, input.info, output, range, 2 * jobs + 2, pass);
}

}  // namespace glimmer::tool
