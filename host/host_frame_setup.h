// Frame setup's host side: from the host's record to the engine's frame
// setup. Run by the render selector and by the settings dialog's preview.
#pragma once

#include "host_records.h"

namespace glimmer {

// Renders the frame at the record's position into its destination. When the
// host has no settings, a temporary block with the defaults serves for this
// one call and settingsHandle is null again afterwards.
void runHostFrameSetup(HostEffectHandle handle);

}  // namespace glimmer
