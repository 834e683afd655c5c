// The sound of an edit, mixed here and written to the encoder as raw
// samples on a descriptor of its own, on a thread of its own so that the
// encoder takes sound and pictures at whatever pace it interleaves them.
// Each clip's sound is decoded only while its samples are wanted: at most
// the two clips of a join at once, and the music, however long the edit.
#pragma once

#include <atomic>
#include <exception>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "plan/sound_layout.h"
#include "processes/child_process.h"

namespace glimmer::tool {

struct SoundSource {
    std::vector<std::string> inputArguments;  // up to "-i PATH"; empty: silence
    std::string name;                         // for messages
};

struct EditSound {
    SoundLayout layout;
    std::vector<SoundSource> clips;  // one a piece of the layout
    SoundSource music;               // no input arguments: no music
};

// The words that make ffmpeg read the stream as its input on descriptor 4.
std::vector<std::string> soundStreamInputArguments();

class SoundStream {
public:
    // Starts writing to `encoder`'s fourth descriptor, and closes it after
    // the last sample.
    SoundStream(const EditSound& sound, ChildProcess& encoder);
    // Waits for the thread; stop the encoder first if it is not to finish.
    ~SoundStream();
    SoundStream(const SoundStream&) = delete;
    SoundStream& operator=(const SoundStream&) = delete;

    // Waits for the last sample; rethrows what failed on the way.
    void finish();

private:
    void run();
    void mix(int64_t from, int64_t to);

    EditSound sound_;
    ChildProcess& encoder_;
    std::atomic<bool> stopping_{false};
    std::exception_ptr failure_;
    std::thread thread_;
};

}  // namespace glimmer::tool
