// The preview's requests for source frames through the host's callback,
// under the Hold rule and the track choice.
#pragma once

#include <cstdint>

#include "host_records.h"

// Requests image A, then image B: held images at their pinned frames, the
// others at `previewPosition`. Run when the dialog opens, after a settings
// file was read and after a Hold box changed.
void fetchSourceFrames(glimmer::HostEffectRecord& record, int32_t holdFlags, int32_t previewPosition);

// What a move of the preview to `position` needs: the images that are not
// held, at that frame. Nothing when the position is the one already shown,
// or while a render for another destination has taken the host's frames
// (`externalRender`).
void fetchFramesForPosition(glimmer::HostEffectRecord& record, int32_t holdFlags, int32_t position,
                            int32_t shownPosition, bool externalRender);
