#include "inputs/clip_decoder.h"

#include <algorithm>
#include <csignal>
#include <thread>
#include <vector>

#include "processes/interrupt_cleanup.h"
#include "common/tool_error.h"

namespace glimmer::tool {

namespace {

constexpr int64_t branchOverrun = 4;
// Frames for the encoder read ahead while the render jobs wait for ours.
constexpr std::size_t passedRoom = 4;

// Two decoders share the machine with the render jobs. ffmpeg's own choice,
// a thread per core and one more for each, made 50 frames of two 1080p
// clips 10 % slower on two cores than one thread each.
unsigned decoderThreads() { return std::max(1u, std::thread::hardware_concurrency() / 2); }

std::string trimmed(int64_t from, int64_t to) {
    return "trim=start_frame=" + std::to_string(from) + ":end_frame=" + std::to_string(to) + ",setpts=PTS-STARTPTS,";
}

}  // namespace

ClipDecoder::ClipDecoder(const std::string& path, const MediaInfo& info, const OutputFrames& output,
                         const ClipRange& range, int32_t slots, const PassThrough& pass)
    : path_(path), range_(range),
      slots_(static_cast<std::size_t>(slots), Picture(output.width, output.rows)),
      held_(static_cast<std::size_t>(slots), 0) {
    std::vector<std::string> arguments = {"-hide_banner", "-nostdin", "-loglevel", "error",
                                          "-threads", std::to_string(decoderThreads())};
    for (std::string& word : clipInputArguments(path, info, range.startSeconds, output.rate))
        arguments.push_back(std::move(word));
    // vflip: ffmpeg's rows come top first, the engine's bottom first.
    const std::string ours = fitFilterChain(output, "rgba", "", "ourfit") + ",vflip";
    const bool passing = pass.before > 0 || pass.after > 0;
    if (!passing) {
        arguments.insert(arguments.end(), {"-map", "0:v:0", "-vf", rateFilter(info, output) + ours, "-frames:v",
                                           std::to_string(range.frames), "-f", "rawvideo", "pipe:1"});
    } else {
        // The rate first, so that frame numbers count output frames. Each
        // branch runs a few frames past what is wanted and ends there, and
        // ffmpeg with them: it holds the last frames of a branch until all
        // of its work is done, and those must not be frames we wait for.
        const int64_t ourEnd = pass.before + range.frames;
        const std::string graph =
            "[0:v:0]" + rateFilter(info, output) + "split[o][p];[o]" + trimmed(pass.before, ourEnd + branchOverrun) +
            ours + "[ours];[p]" +
            (pass.before > 0 ? trimmed(0, pass.before + branchOverrun) : trimmed(ourEnd, ourEnd + pass.after + branchOverrun)) +
            fitFilterChain(output, pass.pixelFormat, pass.yuvMatrix, "passfit") + "[pass]";
        arguments.insert(arguments.end(), {"-filter_complex", graph, "-map", "[ours]", "-f", "rawvideo", "pipe:1",
                                           "-map", "[pass]", "-f", "rawvideo", "pipe:3"});
    }
    ffmpeg_ = std::make_unique<ChildProcess>("ffmpeg", arguments, ChildPipes{false, true, passing},
                                             "cannot read '" + path + "'");
    if (passing)
        passed_ = std::make_unique<FramePipeQueue>(ffmpeg_->third(), pass.frameBytes, pass.before + pass.after,
                                                   passedRoom);
    reader_ = workerThread([this] { readFrames(); });
}

ClipDecoder::~ClipDecoder() {
    cancel();
    reader_.join();
}

void ClipDecoder::readFrames() {
    const std::size_t frameBytes = slots_.front().pixels.size() * 4;
    try {
        int32_t frame = 0;
        for (; frame < range_.frames; ++frame) {
            Picture& slot = slotOf(frame);
            {
                std::unique_lock<std::mutex> lock(mutex_);
                changed_.wait(lock, [&] { return cancelled_ || held_[static_cast<std::size_t>(frame) % slots_.size()] == 0; });
                if (cancelled_) break;
            }
            if (readFully(ffmpeg_->output(), slot.pixels.data(), frameBytes) != frameBytes) break;
            std::lock_guard<std::mutex> lock(mutex_);
            held_[static_cast<std::size_t>(frame) % slots_.size()] = 1;
            read_ = frame + 1;
            changed_.notify_all();
        }
        // All read: what ffmpeg writes past them is dropped, so that it goes
        // on with the frames for the encoder. Stopped: the owner ends
        // ffmpeg. Cut short: ffmpeg has ended, and says why.
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (cancelled_) return;
            if (frame < range_.frames) reaping_ = true;
        }
        if (frame == range_.frames) {
            if (passed_) drainPipe(ffmpeg_->output());
            return;
        }
        const bool exitedWell = ffmpeg_->finish();
        if (!exitedWell) throw ToolError("cannot decode '" + path_ + "': " + ffmpeg_->complaint());
        if (frame == 0 || range_.frames - frame > framesHeldAtTheEnd)
            throw ToolError("'" + path_ + "' ended after " + std::to_string(frame) + " frames from its start; " +
                            std::to_string(range_.frames) + " were needed");
        std::lock_guard<std::mutex> lock(mutex_);
        ended_ = frame;
        changed_.notify_all();
    } catch (...) {
        std::lock_guard<std::mutex> lock(mutex_);
        failure_ = std::current_exception();
        changed_.notify_all();
    }
}

const Picture& ClipDecoder::acquire(int32_t position) {
    const int32_t frame = position - range_.firstPosition;
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [&] { return cancelled_ || failure_ || read_ > frame || ended_ >= 0; });
    if (failure_) std::rethrow_exception(failure_);
    if (cancelled_) throw ToolError("stopped");
    if (frame < 0 || frame >= range_.frames) throw ToolError("frame " + std::to_string(position) + " of '" + path_ + "' was not asked for");
    return ended_ >= 0 && frame >= ended_ ? slotOf(ended_ - 1) : slotOf(frame);
}

void ClipDecoder::release(int32_t position) {
    const int32_t frame = position - range_.firstPosition;
    std::lock_guard<std::mutex> lock(mutex_);
    if (frame < 0 || (ended_ >= 0 && frame >= ended_)) return;
    held_[static_cast<std::size_t>(frame) % slots_.size()] = 0;
    changed_.notify_all();
}

void ClipDecoder::passUntouched(UntouchedFrames& sink, int64_t count) {
    std::vector<uint8_t> frame;
    int64_t passed = 0;
    for (; passed < count && passed_ && passed_->pop(frame); ++passed) sink.writeEncoded(frame.data());
    const int64_t missing = count - passed;
    if (missing == 0) return;
    if (passed == 0 || missing > framesHeldAtTheEnd)
        throw ToolError("'" + path_ + "' ended after " + std::to_string(passed) + " of the " + std::to_string(count) +
                        " frames it was to give beside the transition");
    for (int64_t i = 0; i < missing; ++i) sink.writeEncoded(frame.data());
}

void ClipDecoder::cancel() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (cancelled_) return;
    cancelled_ = true;
    // The reader may be deep in a read: ending ffmpeg ends that too.
    if (!reaping_ && ffmpeg_->pid() > 0) kill(ffmpeg_->pid(), SIGKILL);
    if (passed_) passed_->cancel();
    changed_.notify_all();
}

}  // namespace glimmer::tool
