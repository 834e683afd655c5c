#include "outputs/sound_stream.h"

#include <algorithm>

#include "inputs/sound_reader.h"
#include "processes/interrupt_cleanup.h"

namespace glimmer::tool {
namespace {

// A tenth of a second a block: small next to a frame, and few enough
// writes that the pipe is no cost.
constexpr int64_t blockFrames = soundRate / 10;

}  // namespace

std::vector<std::string> soundStreamInputArguments() {
    return {"-f", "f32le", "-ar", std::to_string(soundRate), "-ac", std::to_string(soundChannels), "-i", "pipe:4"};
}

SoundStream::SoundStream(const EditSound& sound, ChildProcess& encoder) : sound_(sound), encoder_(encoder) {
    thread_ = workerThread([this] { run(); });
}

SoundStream::~SoundStream() {
    stopping_ = true;
    if (thread_.joinable()) thread_.join();
}

void SoundStream::finish() {
    if (thread_.joinable()) thread_.join();
    if (failure_) std::rethrow_exception(failure_);
}

void SoundStream::run() {
    try {
        const SoundLayout& layout = sound_.layout;
        const bool music = !sound_.music.inputArguments.empty();
        const bool clips = !music || layout.clipVolume > 0;
        const double clipVolume = music ? layout.clipVolume : 1.0;
        std::unique_ptr<SoundReader> musicReader;
        if (music) musicReader = std::make_unique<SoundReader>(sound_.music.inputArguments, sound_.music.name);

        std::vector<std::unique_ptr<SoundReader>> readers(layout.pieces.size());
        std::vector<float> mixed(blockFrames * soundChannels), part(blockFrames * soundChannels);
        std::size_t done = 0;  // pieces before it have ended
        for (int64_t from = 0; from < layout.total && !stopping_;) {
            // A block ends where a piece starts or ends, so the same pieces
            // sound all through it.
            int64_t to = std::min(from + blockFrames, layout.total);
            for (std::size_t p = done; p < layout.pieces.size() && layout.pieces[p].first < to; ++p) {
                const SoundPiece& piece = layout.pieces[p];
                if (piece.first > from) to = piece.first;
                else to = std::min(to, std::max(piece.first + piece.count, from + 1));
            }
            const std::size_t frames = static_cast<std::size_t>(to - from);
            std::fill(mixed.begin(), mixed.begin() + static_cast<std::ptrdiff_t>(frames * soundChannels), 0.0f);
            for (std::size_t p = done; clips && p < layout.pieces.size() && layout.pieces[p].first <= from; ++p) {
                const SoundPiece& piece = layout.pieces[p];
                if (!piece.sound || from >= piece.first + piece.count) continue;
                if (!readers[p]) readers[p] = std::make_unique<SoundReader>(sound_.clips[p].inputArguments, sound_.clips[p].name);
                readers[p]->read(part.data(), frames);
                for (std::size_t f = 0; f < frames; ++f) {
                    const float gain = static_cast<float>(clipVolume * pieceGain(piece, from - piece.first + static_cast<int64_t>(f)));
                    for (int c = 0; c < soundChannels; ++c) mixed[f * soundChannels + c] += gain * part[f * soundChannels + c];
                }
            }
            if (musicReader) {
                musicReader->read(part.data(), frames);
                for (std::size_t f = 0; f < frames; ++f) {
                    const float gain = static_cast<float>(musicGain(layout, from + static_cast<int64_t>(f)));
                    for (int c = 0; c < soundChannels; ++c) mixed[f * soundChannels + c] += gain * part[f * soundChannels + c];
                }
            }
            // The encoder gone: its own report says why, at finish.
            if (!writeFully(encoder_.fourth(), mixed.data(), frames * soundChannels * sizeof(float))) break;
            from = to;
            while (done < layout.pieces.size() && layout.pieces[done].first + layout.pieces[done].count <= from)
                readers[done++].reset();
        }
    } catch (...) {
        failure_ = std::current_exception();
    }
    encoder_.closeFourth();
}

}  // namespace glimmer::tool
