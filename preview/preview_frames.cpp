#include "preview_frames.h"

#include "preview_rules.h"

namespace {

struct FrameRequests {
    glimmer::HostEffectRecord& record;
    int32_t bounds[4];
    SourceTracks tracks;

    explicit FrameRequests(glimmer::HostEffectRecord& r)
        : record(r), bounds{}, tracks(sourceTracks(r.sourceSwap != 0, r.reverse != 0)) {
        // One copy of image A's bounds, taken before any request, serves both.
        const glimmer::HostFrameRecord& imageA = **record.sourceA;
        for (int i = 0; i < 4; ++i) bounds[i] = imageA.bounds[i];
    }
    void imageA(int32_t frame) { record.frameCallback(frame, tracks.imageA, record.sourceA, bounds, record.privateData); }
    void imageB(int32_t frame) { record.frameCallback(frame, tracks.imageB, record.sourceB, bounds, record.privateData); }
};

}  // namespace

void fetchSourceFrames(glimmer::HostEffectRecord& record, int32_t holdFlags, int32_t previewPosition) {
    if (record.frameCallback == nullptr) return;
    const bool reverse = record.reverse != 0;
    const int32_t hold = effectiveHoldBits(holdFlags, reverse);
    FrameRequests requests(record);
    requests.imageA((hold & 1) != 0 ? heldFrameOfImageA(record.total, reverse) : previewPosition);
    requests.imageB((hold & 2) != 0 ? heldFrameOfImageB(record.total, reverse) : previewPosition);
}

void fetchFramesForPosition(glimmer::HostEffectRecord& record, int32_t holdFlags, int32_t position,
                            int32_t shownPosition, bool externalRender) {
    if (record.frameCallback == nullptr || position == shownPosition || externalRender) return;
    const int32_t hold = effectiveHoldBits(holdFlags, record.reverse != 0);
    FrameRequests requests(record);
    if ((hold & 1) == 0) requests.imageA(position);
    if ((hold & 2) == 0) requests.imageB(position);
}
