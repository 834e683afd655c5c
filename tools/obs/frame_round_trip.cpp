#include "frame_round_trip.h"

#include <util/profiler.h>

#include <algorithm>
#include <cstring>
#include <utility>

#include "source_map.h"

namespace glimmer::obs {
namespace {

// Scope names of OBS's profiler, which compares them by address.
const char* const stageScope = "glimmerscatterweft: read back";
const char* const engineScope = "glimmerscatterweft: engine";
const char* const uploadScope = "glimmerscatterweft: upload";

// Thread k's share of `rows` rows split over `threads`: from .first up to
// below .second.
std::pair<uint32_t, uint32_t> shareOf(uint32_t rows, int32_t k, int32_t threads) {
    return {uint32_t(uint64_t(rows) * uint32_t(k) / uint32_t(threads)),
            uint32_t(uint64_t(rows) * uint32_t(k + 1) / uint32_t(threads))};
}

}  // namespace

void FrameRoundTrip::release() {
    filledWith_ = 0;
    gs_stagesurface_destroy(stageA_);
    gs_stagesurface_destroy(stageB_);
    gs_texture_destroy(frame_);
    stageA_ = stageB_ = nullptr;
    frame_ = nullptr;
    width_ = rows_ = 0;
}

bool FrameRoundTrip::fit(uint32_t width, uint32_t rows) {
    if (width == width_ && rows == rows_ && frame_ != nullptr) return true;
    release();
    stageA_ = gs_stagesurface_create(width, rows, GS_RGBA);
    stageB_ = gs_stagesurface_create(width, rows, GS_RGBA);
    frame_ = gs_texture_create(width, rows, GS_RGBA, 1, nullptr, GS_DYNAMIC);
    if (stageA_ == nullptr || stageB_ == nullptr || frame_ == nullptr) {
        release();
        return false;
    }
    width_ = width;
    rows_ = rows;
    imageA_.assign(std::size_t(width) * rows, 0);
    destination_.assign(std::size_t(width) * rows, 0);
    keysSeen_.assign(std::size_t(renderer_.threads()), 0);
    return true;
}

// The pictures OBS hands a transition are the canvas's size in 8-bit RGBA
// whenever both scenes are there; a missing scene comes as a small
// placeholder, and a wide-gamut canvas as half floats.
bool FrameRoundTrip::canStage(gs_texture_t* texture, uint32_t width, uint32_t rows) {
    return texture != nullptr && gs_texture_get_width(texture) == width && gs_texture_get_height(texture) == rows &&
           gs_texture_get_color_format(texture) == GS_RGBA;
}

namespace {

// Rows flipped from one picture into another, a share of them a thread.
struct FlippedCopy {
    uint8_t* from[2];
    uint8_t* to[2];
    std::size_t fromLine[2], toLine[2];
    int pictures;
    uint32_t rows, rowBytes;
    int32_t threads;
    // Not 0: each row of the first picture is filled with this word once it
    // is copied, while it is still in the cache.
    uint32_t refill;
};

void copyFlippedShare(void* context, int32_t k) {
    const FlippedCopy& c = *static_cast<const FlippedCopy*>(context);
    const auto [first, end] = shareOf(c.rows, k, c.threads);
    for (int p = 0; p < c.pictures; ++p)
        for (uint32_t r = first; r < end; ++r) {
            uint8_t* from = c.from[p] + std::size_t(r) * c.fromLine[p];
            std::memcpy(c.to[p] + std::size_t(c.rows - 1 - r) * c.toLine[p], from, c.rowBytes);
            if (p == 0 && c.refill != 0)
                std::fill_n(reinterpret_cast<uint32_t*>(from), c.rowBytes / 4, c.refill);
        }
}

}  // namespace

int32_t FrameRoundTrip::copyThreads() const { return walking_ ? 1 : renderer_.threads(); }

// The copies before the engine run on every thread, or on this one alone
// while the engine's other threads walk ahead.
void FrameRoundTrip::runCopies(void (*task)(void* context, int32_t k), void* context) {
    if (walking_) task(context, 0);
    else renderer_.runOnThreads(task, context);
}

// Both pictures mapped at once, then copied in engine order.
bool FrameRoundTrip::readBoth() {
    uint8_t* a = nullptr;
    uint8_t* b = nullptr;
    uint32_t lineA = 0, lineB = 0;
    const uint32_t rowBytes = width_ * 4;
    if (!gs_stagesurface_map(stageA_, &a, &lineA)) return false;
    if (!gs_stagesurface_map(stageB_, &b, &lineB)) {
        gs_stagesurface_unmap(stageA_);
        return false;
    }
    const bool fits = lineA >= rowBytes && lineB >= rowBytes;
    if (fits) {
        FlippedCopy copy{{a, b},
                         {reinterpret_cast<uint8_t*>(imageA_.data()), reinterpret_cast<uint8_t*>(destination_.data())},
                         {lineA, lineB},
                         {rowBytes, rowBytes},
                         2,
                         rows_,
                         rowBytes,
                         copyThreads(),
                         0};
        runCopies(copyFlippedShare, &copy);
        filledWith_ = 0;
    }
    gs_stagesurface_unmap(stageB_);
    gs_stagesurface_unmap(stageA_);
    return fits;
}

namespace {

// 1 when the row holds the word: a compare a pixel and no branch, which
// vectorises and keeps a look within the time of a copy of the row.
uint32_t rowHolds(const uint32_t* row, uint32_t width, uint32_t word) {
    uint32_t found = 0;
    for (uint32_t x = 0; x < width; ++x) found |= uint32_t(row[x] == word);
    return found;
}

// Image A flipped into the engine's order and looked through for the first
// key candidate while its rows are still in the cache, a share of the rows
// a thread. One word compared a pixel keeps the look within the copy's
// time; the other candidates are looked for, in the whole picture, only
// when some share holds the first.
struct KeyedCopy {
    const uint8_t* from;
    std::size_t fromLine;
    uint32_t* imageA;
    uint32_t rows, width;
    int32_t threads;
    uint8_t* seen;  // a thread's: bit k when candidate k is in its rows
};

void copyLookingForKeys(void* context, int32_t k) {
    const KeyedCopy& c = *static_cast<const KeyedCopy*>(context);
    const auto [first, end] = shareOf(c.rows, k, c.threads);
    uint32_t found = 0;
    for (uint32_t r = first; r < end; ++r) {
        uint32_t* to = c.imageA + std::size_t(c.rows - 1 - r) * c.width;
        std::memcpy(to, c.from + std::size_t(r) * c.fromLine, std::size_t(c.width) * 4);
        found |= rowHolds(to, c.width, keyCandidates[0]);
    }
    c.seen[k] = uint8_t(found);
}

void lookForOtherKeys(void* context, int32_t k) {
    const KeyedCopy& c = *static_cast<const KeyedCopy*>(context);
    const auto [first, end] = shareOf(c.rows, k, c.threads);
    uint32_t seen = c.seen[k];
    for (std::size_t i = std::size_t(first) * c.width; i < std::size_t(end) * c.width; ++i)
        for (int n = 1; n < keyCandidateCount; ++n) seen |= uint32_t(c.imageA[i] == keyCandidates[n]) << n;
    c.seen[k] = uint8_t(seen);
}

struct KeyFill {
    uint32_t* destination;
    uint32_t rows, width, key;
    int32_t threads;
};

void fillWithKey(void* context, int32_t k) {
    const KeyFill& c = *static_cast<const KeyFill*>(context);
    const auto [first, end] = shareOf(c.rows, k, c.threads);
    std::fill(c.destination + std::size_t(first) * c.width, c.destination + std::size_t(end) * c.width, c.key);
}

}  // namespace

// Image A alone; answers whether it could be mapped, and keys the frame
// when one of the candidates is nowhere in A.
bool FrameRoundTrip::readAlone() {
    uint8_t* a = nullptr;
    uint32_t lineA = 0;
    keyed_ = false;
    if (!gs_stagesurface_map(stageA_, &a, &lineA)) return false;
    const bool fits = lineA >= width_ * 4;
    KeyedCopy copy{a, lineA, imageA_.data(), rows_, width_, copyThreads(), keysSeen_.data()};
    if (fits) runCopies(copyLookingForKeys, &copy);
    gs_stagesurface_unmap(stageA_);
    if (!fits) return false;
    uint32_t seen = 0;
    for (int32_t k = 0; k < copy.threads; ++k) seen |= keysSeen_[std::size_t(k)];
    if (seen != 0) {
        runCopies(lookForOtherKeys, &copy);
        for (int32_t k = 0; k < copy.threads; ++k) seen |= keysSeen_[std::size_t(k)];
    }
    for (int k = 0; k < keyCandidateCount && !keyed_; ++k) {
        if ((seen >> k & 1u) != 0) continue;
        keyed_ = true;
        key_ = keyCandidates[k];
    }
    keyTrusted_ = keyed_;
    if (keyed_) keyTheDestination();
    return true;
}

// The destination filled with the key, unless it still holds it.
void FrameRoundTrip::keyTheDestination() {
    if (filledWith_ == key_) return;
    KeyFill fill{destination_.data(), rows_, width_, key_, copyThreads()};
    runCopies(fillWithKey, &fill);
    filledWith_ = key_;
}

// Image A mapped for the engine to read where it was staged, which takes
// rows of whole words.
bool FrameRoundTrip::mapForEngine(const uint8_t*& a, uint32_t& line) {
    uint8_t* mapped = nullptr;
    if (!gs_stagesurface_map(stageA_, &mapped, &line)) return false;
    if (line >= width_ * 4 && line % 4 == 0) {
        a = mapped;
        return true;
    }
    gs_stagesurface_unmap(stageA_);
    return false;
}

namespace {

// Image A, where it was staged, looked through for the key the frame was
// drawn over: a share of the rows for each thread from `first` on.
struct KeyLook {
    const uint8_t* from;
    std::size_t line;
    uint32_t rows, width, key;
    int32_t first, threads;
    uint8_t* seen;  // a thread's: 1 when its rows hold the key
};

void lookForTheKey(void* context, int32_t k) {
    const KeyLook& c = *static_cast<const KeyLook*>(context);
    const auto [first, end] = shareOf(c.rows, k - c.first, c.threads - c.first);
    uint32_t found = 0;
    for (uint32_t r = first; r < end; ++r)
        found |= rowHolds(reinterpret_cast<const uint32_t*>(c.from + std::size_t(r) * c.line), c.width, c.key);
    c.seen[k] = uint8_t(found);
}

}  // namespace

// The frame written straight into the mapped texture, flipped back; where
// the texture cannot be mapped, OBS copies it. A keyed frame's rows are
// filled with the key again as they are copied, while they are in the
// cache, so that the next frame with the same key need not fill them.
// lookInA: image A where it was staged, to be looked through for the key
// while OBS sends the frame to the card (keyInA_ tells), or null.
bool FrameRoundTrip::upload(const uint8_t* lookInA, uint32_t lineA) {
    uint8_t* to = nullptr;
    uint32_t line = 0;
    const uint32_t rowBytes = width_ * 4;
    KeyLook look{lookInA, lineA, rows_, width_, key_, 1, renderer_.threads(), keysSeen_.data()};
    bool uploaded = true, alongside = false;
    if (!gs_texture_map(frame_, &to, &line)) {
        gs_texture_set_image(frame_, reinterpret_cast<const uint8_t*>(destination_.data()), rowBytes, true);
    } else {
        uploaded = copyIntoTexture(to, line);
        alongside = lookInA != nullptr && renderer_.startOnOthers(lookForTheKey, &look);
        gs_texture_unmap(frame_);
    }
    if (alongside) {
        renderer_.waitForOthers();
    } else if (lookInA != nullptr) {
        look.first = 0;
        renderer_.runOnThreads(lookForTheKey, &look);
    }
    keyInA_ = false;
    for (int32_t k = look.first; k < look.threads; ++k) keyInA_ = keyInA_ || keysSeen_[std::size_t(k)] != 0;
    return uploaded;
}

bool FrameRoundTrip::copyIntoTexture(uint8_t* to, uint32_t line) {
    const uint32_t rowBytes = width_ * 4;
    if (line >= rowBytes) {
        FlippedCopy copy{{reinterpret_cast<uint8_t*>(destination_.data()), nullptr},
                         {to, nullptr},
                         {rowBytes, 0},
                         {line, 0},
                         1,
                         rows_,
                         rowBytes,
                         renderer_.threads(),
                         keyed_ ? key_ : 0};
        renderer_.runOnThreads(copyFlippedShare, &copy);
        if (keyed_) filledWith_ = key_;
    }
    return line >= rowBytes;
}

RoundTripOutcome FrameRoundTrip::render(gs_texture_t* a, gs_texture_t* b, uint32_t width, uint32_t rows,
                                        int32_t position, int32_t total, const TransitionSettings& settings,
                                        bool canKey) {
    keyed_ = false;
    if (width > widestCanvas) return RoundTripOutcome::tooWide;
    if (!canStage(a, width, rows) || !canStage(b, width, rows) || !fit(width, rows))
        return RoundTripOutcome::notStaged;

    profile_start(stageScope);
    // The engine's other threads walk the frame while image A comes down,
    // wherever no map reads it.
    walking_ = renderer_.begin(nullptr, int32_t(rows), int32_t(width) * 4, settings, position, total,
                               chosenChunkKernels());
    bool staged = true;
    const uint8_t* stagedA = nullptr;  // image A where the engine reads it
    uint32_t lineA = 0;
    if (canKey && !anyMapReadsClipTwo(settings)) {
        gs_stage_texture(stageA_, a);
        if (walking_ && keyTrusted_ && mapForEngine(stagedA, lineA)) {
            keyed_ = true;
            keyTheDestination();
        } else {
            staged = readAlone();
        }
    }
    if (staged && !keyed_) {
        // Both copies are queued before either is waited for.
        gs_stage_texture(stageA_, a);
        gs_stage_texture(stageB_, b);
        staged = readBoth();
    }
    profile_end(stageScope);

    profile_start(engineScope);
    filledWith_ = 0;
    if (stagedA != nullptr)
        renderer_.finish(reinterpret_cast<const uint32_t*>(stagedA + std::size_t(lineA) * (rows - 1)),
                         -int64_t{lineA / 4}, destination_.data());
    else if (walking_) renderer_.finish(imageA_.data(), destination_.data());
    else if (staged)
        renderer_.render(imageA_.data(), destination_.data(), int32_t(rows), int32_t(width) * 4, settings, position,
                         total);
    walking_ = false;
    profile_end(engineScope);
    if (!staged) return RoundTripOutcome::notStaged;

    profile_start(uploadScope);
    const bool uploaded = upload(stagedA, lineA);
    if (stagedA != nullptr) gs_stagesurface_unmap(stageA_);
    profile_end(uploadScope);
    if (stagedA != nullptr && keyInA_) {
        // B would show where A holds the key: again, looking first.
        keyTrusted_ = false;
        return render(a, b, width, rows, position, total, settings, canKey);
    }
    return uploaded ? RoundTripOutcome::rendered : RoundTripOutcome::notStaged;
}

}  // namespace glimmer::obs
