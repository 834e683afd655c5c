// What a host holds for one transition: the effect record, the frame
// records of image A, image B and the destination with their pixels, and
// the handles that lead to them. Used by the test host and the tests.
#pragma once

#include <cstdint>
#include <vector>

#include "host_records.h"

namespace glimmer {

// One frame record and its pixels, reached through a handle.
class HostFrame {
public:
    HostFrame(int32_t width, int32_t rows, int32_t rowBytesFlags);
    HostFrame(const HostFrame&) = delete;
    HostFrame& operator=(const HostFrame&) = delete;

    HostFrameHandle handle() { return &recordPointer_; }
    HostFrameRecord& record() { return record_; }
    std::vector<uint32_t>& pixels() { return pixels_; }
    int32_t width() const { return width_; }
    int32_t rows() const { return rows_; }

private:
    int32_t width_;
    int32_t rows_;
    std::vector<uint32_t> pixels_;
    HostFrameRecord record_{};
    HostFrameRecord* recordPointer_ = &record_;
};

// Fills `frame` with frame `frameIndex` of clip `track` (0 = clip 1).
class ClipFrames {
public:
    virtual ~ClipFrames() = default;
    virtual void fill(int32_t track, int32_t frameIndex, HostFrameRecord& frame) = 0;
};

class EffectSession {
public:
    // rowBytesFlags go into the bits of rowBytes above the 14 that count.
    EffectSession(int32_t width, int32_t rows, int32_t rowBytesFlags = 0);
    EffectSession(const EffectSession&) = delete;
    EffectSession& operator=(const EffectSession&) = delete;

    HostEffectHandle handle() { return &recordPointer_; }
    HostEffectRecord& record() { return *recordPointer_; }
    // The record lies at the start of a larger host block, as a host's
    // records may be larger than what the plug-in knows of them.
    const unsigned char* recordBlock() const { return recordBlock_; }
    static constexpr std::size_t recordBlockSize = 256;

    HostFrame& imageA() { return imageA_; }
    HostFrame& imageB() { return imageB_; }
    HostFrame& destination() { return destination_; }

    // Serves frames through the record's frameCallback from `clips`.
    void serveFramesFrom(ClipFrames* clips);

private:
    static int __cdecl serveFrame(int32_t frameIndex, int32_t track, HostFrameHandle frame, int32_t* bounds,
                                  int32_t privateData);

    alignas(8) unsigned char recordBlock_[recordBlockSize];
    HostEffectRecord* recordPointer_;
    HostFrame imageA_;
    HostFrame imageB_;
    HostFrame destination_;
    ClipFrames* clips_ = nullptr;
};

}  // namespace glimmer
