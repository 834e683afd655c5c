// Settings blocks from the host's allocator.
#pragma once

#include "host_records.h"

namespace glimmer {

// A new block from the host (ordinal 379) holding a fresh default record:
// zeroed first, so no allocator garbage reaches the host's project or a
// saved file. Null when the host gives no usable block.
SettingsHandle newDefaultSettingsBlock();

// Gives a block back to the host (ordinal 107).
void disposeSettingsBlock(SettingsHandle block);

}  // namespace glimmer
