// The running setup's host record and working settings, reached through
// hostEffectHandle at each use: the dialog and its pages keep no copy and
// no pointer into the host's blocks.
#pragma once

#include "host_globals.h"
#include "host_records.h"
#include "transition_settings.h"

inline glimmer::HostEffectRecord& hostRecord() { return **glimmer::hostEffectHandle; }

inline glimmer::TransitionSettings& workingSettings() { return **hostRecord().settingsHandle; }
