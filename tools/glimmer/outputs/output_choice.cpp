#include "outputs/output_choice.h"

#include <unistd.h>

#include "outputs/output_file.h"
#include "outputs/sequence_writer.h"
#include "common/tool_error.h"

namespace glimmer::tool {
namespace {

void refuse(const Options& options, const std::vector<const char*>& names, const std::string& why) {
    for (const char* name : names)
        if (options.has(name)) throw usageError(std::string(name) + " " + why);
}

void checkEncoderOptions(const Options& options, const VideoSettings& video) {
    const VideoCodec& codec = *video.codec;
    if (options.has("--crf") && codec.crfMaximum < 0)
        throw usageError(std::string("--crf is for lossy codecs; ") + codec.name + " takes none");
    if (options.crf > codec.crfMaximum && codec.crfMaximum >= 0)
        throw usageError(std::string("--crf of ") + codec.name + " runs from 0 to " + std::to_string(codec.crfMaximum) +
                         ", not " + std::to_string(options.crf));
    if (options.has("--preset") && !codec.presets)
        throw usageError(std::string("--preset is for libx264 and libx265, not ") + codec.name);
    if (options.has("--pad") && !codec.evenSize)
        throw usageError(std::string("--pad is for codecs that need even sizes; ") + codec.name + " takes any");
}

}  // namespace

std::string OutputChoice::name() const {
    if (kind == OutputKind::rawStream || kind == OutputKind::encodedStream) return "standard output";
    return "'" + video.target + "'";
}

OutputChoice chooseMovingOutput(const Options& options, bool sequenceAllowed) {
    OutputChoice choice;
    const std::string& out = options.out;
    if (out == "-") {
        if (options.format.empty()) throw usageError("--out - needs --format rgba, nut or matroska");
        if (isatty(STDOUT_FILENO) == 1)
            throw ToolError("standard output is a terminal; send it into a program or a file (| ffplay -)");
        choice.kind = options.format == "rgba" ? OutputKind::rawStream : OutputKind::encodedStream;
        choice.video.container = containerOfFormat(options.format);
    } else {
        if (options.has("--format")) throw usageError("--format is for --out -; a file's extension says what it is");
        choice.video.container = containerOfPath(out);
        if (!choice.video.container.empty()) {
            choice.kind = OutputKind::videoFile;
        } else if (sequenceAllowed && (isFolderPath(out) || fileExtension(out).empty())) {
            choice.kind = OutputKind::pngSequence;
        } else {
            throw usageError(std::string(sequenceAllowed ? "--frames writes a folder (DIR/), " : "glimmer join writes ") +
                             "a video (.mp4, .mov, .webm, .mkv, .gif) or --out - with --format, not '" + out + "'");
        }
    }
    choice.video.target = out;
    if (choice.kind == OutputKind::pngSequence || choice.kind == OutputKind::rawStream) {
        refuse(options, {"--codec", "--crf", "--preset", "--pad"},
               choice.kind == OutputKind::rawStream ? "is for encoded video; raw frames are not encoded"
                                                    : "is for video; a folder gets PNG frames");
        if (choice.kind == OutputKind::rawStream) refuse(options, {"--compression"}, "is for PNG output");
        return choice;
    }
    refuse(options, {"--compression"}, "is for PNG output; a video's quality is --crf");
    if (!options.codec.empty()) {
        choice.video.codec = findCodec(options.codec);
        if (choice.video.codec == nullptr)
            throw usageError("--codec takes " + codecsOf(choice.video.container) + ", not '" + options.codec + "'");
        if (!codecFitsContainer(*choice.video.codec, choice.video.container))
            throw usageError(std::string(choice.video.codec->name) + " does not go in " + choice.video.container +
                             "; it takes " + codecsOf(choice.video.container));
    } else {
        choice.video.codec = defaultCodec(choice.video.container);
    }
    checkEncoderOptions(options, choice.video);
    choice.video.crf = options.crf;
    choice.video.preset = options.preset;
    choice.video.padEven = options.padEven;
    return choice;
}

OutputChoice choosePictureOutput(const Options& options, const char* what) {
    if (fileExtension(options.out) != ".png")
        throw usageError(std::string("--out of ") + what + " is a .png file, not '" + options.out + "'");
    refuse(options, {"--format", "--codec", "--crf", "--preset", "--pad"}, std::string("is for video; ") + what + " is a PNG");
    OutputChoice choice;
    choice.video.target = options.out;
    checkOutputFolder(options.out);
    return choice;
}

void checkVideoSize(const OutputChoice& output, int32_t width, int32_t rows) {
    if (!output.encoded() || output.video.codec == nullptr || !output.video.codec->evenSize || output.video.padEven) return;
    if (width % 2 == 0 && rows % 2 == 0) return;
    throw ToolError(output.name() + ": " + output.video.codec->name + " in 4:2:0 needs an even width and height, and " +
                    std::to_string(width) + "x" + std::to_string(rows) +
                    " is not; --pad adds a black line, or write .mkv (lossless, any size)");
}

// Alpha goes on where a source has it and the output can carry it; a
// codec the user chose stays as chosen.
void keepAlphaOf(const std::vector<SideInput>& inputs, const Options& options, OutputChoice& output) {
    bool alpha = false;
    for (const SideInput& input : inputs) {
        alpha = alpha || input.info.alpha;
        for (std::size_t p = 0; input.png && !alpha && p < input.pngPicture.pixels.size(); ++p)
            alpha = (input.pngPicture.pixels[p] >> 24) != 0xFF;
    }
    if (!alpha || !output.encoded()) return;
    if (options.codec.empty())
        if (const VideoCodec* codec = alphaCodec(output.video.container)) output.video.codec = codec;
    output.video.keepAlpha = output.video.codec != nullptr && std::string(output.video.codec->name) == "libvpx-vp9";
}

}  // namespace glimmer::tool
