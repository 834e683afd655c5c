// A plain, unoptimised renderer written straight from the rules of the
// transition, pixel by pixel and draw by draw. The optimised renderer must
// produce the same bytes for every input.
#pragma once

#include <cstdint>

#include "transition_settings.h"

namespace glimmer::testing {

void referenceRenderDissipation(const uint32_t* clip1, uint32_t* dest, int32_t rows, int32_t rowBytes,
                                const TransitionSettings& s, int32_t position, int32_t total);

}  // namespace glimmer::testing
