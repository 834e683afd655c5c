// What xEffect does for its two working selectors.
#pragma once

#include <cstdint>

#include "host_records.h"

namespace glimmer {

// Selector 0: renders the frame at the record's position into its
// destination. Notes a render for another destination during a setup.
int32_t renderSelector(HostEffectHandle handle);

// Selector 1: lets the user edit a working copy of the settings in the
// modal settings dialog; OK hands the copy to the host, Cancel drops it.
int32_t setupSelector(HostEffectHandle handle);

}  // namespace glimmer
