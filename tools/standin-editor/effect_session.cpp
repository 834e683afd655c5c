#include "effect_session.h"

#include <cstring>
#include <new>

namespace glimmer {

// Bytes of the host block that the plug-in has no business with.
constexpr unsigned char untouchedRecordByte = 0x5A;

HostFrame::HostFrame(int32_t width, int32_t rows, int32_t rowBytesFlags)
    : width_(width), rows_(rows), pixels_(static_cast<std::size_t>(width) * static_cast<std::size_t>(rows)) {
    record_.bounds[0] = 0;
    record_.bounds[1] = 0;
    record_.bounds[2] = width;
    record_.bounds[3] = rows;
    record_.rowBytes = width * 4 | rowBytesFlags;
    record_.pixels = pixels_.data();
}

EffectSession::EffectSession(int32_t width, int32_t rows, int32_t rowBytesFlags)
    : imageA_(width, rows, rowBytesFlags), imageB_(width, rows, rowBytesFlags),
      destination_(width, rows, rowBytesFlags) {
    std::memset(recordBlock_, untouchedRecordByte, sizeof recordBlock_);
    recordPointer_ = reinterpret_cast<HostEffectRecord*>(recordBlock_);
    HostEffectRecord& r = *recordPointer_;
    r.settingsHandle = nullptr;
    r.sourceA = imageA_.handle();
    r.sourceB = imageB_.handle();
    r.destination = destination_.handle();
    r.position = 0;
    r.total = 1;
    r.reverse = 0;
    r.sourceSwap = 0;
    r.privateData = static_cast<int32_t>(reinterpret_cast<intptr_t>(this));
    r.frameCallback = nullptr;
    r.renderFlags = 0;
    r.frameRate = 25;
}

void EffectSession::serveFramesFrom(ClipFrames* clips) {
    clips_ = clips;
    record().frameCallback = clips != nullptr ? serveFrame : nullptr;
}

int __cdecl EffectSession::serveFrame(int32_t frameIndex, int32_t track, HostFrameHandle frame, int32_t*,
                                      int32_t privateData) {
    auto* session = reinterpret_cast<EffectSession*>(static_cast<intptr_t>(privateData));
    if (session->clips_ != nullptr && frame != nullptr && *frame != nullptr)
        session->clips_->fill(track, frameIndex, **frame);
    return 0;
}

}  // namespace glimmer
