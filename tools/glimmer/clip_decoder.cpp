#include "clip_decoder.h"

#include <csignal>

#include "interrupt_cleanup.h"
#include "tool_error.h"

namespace glimmer::tool {

ClipDecoder::ClipDecoder(const std::string& path, const MediaInfo& info, const OutputFrames& output,
                         const ClipRange& range, int32_t slots)
    : path_(path), range_(range),
      slots_(static_cast<std::size_t>(slots), Picture(output.width, output.rows)),
      held_(static_cast<std::size_t>(slots), 0) {
    std::vector<std::string> arguments = {"-hide_banner", "-nostdin", "-loglevel", "error"};
    for (std::string& word : clipInputArguments(path, info, range.startSeconds, output.rate))
        arguments.push_back(std::move(word));
    // vflip: ffmpeg's rows come top first, the engine's bottom first.
    arguments.insert(arguments.end(), {"-map", "0:v:0", "-vf", clipFilterChain(info, output, "rgba", "") + ",vflip",
                                       "-frames:v", std::to_string(range.frames), "-f", "rawvideo", "pipe:1"});
    ffmpeg_ = std::make_unique<ChildProcess>("ffmpeg", arguments, ChildPipes{false, true, false},
                                             "cannot read '" + path + "'");
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
        bool cancelled;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            cancelled = cancelled_;
            reaping_ = true;
        }
        if (cancelled) {
            ffmpeg_->stop();
            return;
        }
        const bool exitedWell = ffmpeg_->finish();
        if (frame < range_.frames) {
            if (!exitedWell) throw ToolError("cannot decode '" + path_ + "': " + ffmpeg_->complaint());
            if (frame == 0 || range_.frames - frame > framesHeldAtTheEnd)
                throw ToolError("'" + path_ + "' ended after " + std::to_string(frame) + " frames from its start; " +
                                std::to_string(range_.frames) + " were needed");
            std::lock_guard<std::mutex> lock(mutex_);
            ended_ = frame;
            changed_.notify_all();
        }
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

void ClipDecoder::cancel() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (cancelled_) return;
    cancelled_ = true;
    // The reader may be deep in a read: ending ffmpeg ends that too.
    if (!reaping_ && ffmpeg_->pid() > 0) kill(ffmpeg_->pid(), SIGKILL);
    changed_.notify_all();
}

}  // namespace glimmer::tool
