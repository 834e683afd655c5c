// What `melt -query transition=glimmerscatterweft` and the editors' generic
// panels learn about the transition: MLT metadata built from the settings
// table at run time, so there is no separate YAML file to keep in step.
#pragma once

extern "C" {
#include <framework/mlt_properties.h>
}

namespace glimmer {

// A new properties list in MLT's metadata schema; the caller owns it.
mlt_properties transitionMetadata(const char* identifier);

}  // namespace glimmer
