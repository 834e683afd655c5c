// What the pages ask of the running settings dialog, reached through
// activeSettingsDialog.
#pragma once

#include "host_globals.h"
#include "settings_dialog.h"

inline void refreshActivePreview() {
    if (CSettingsDialog* dialog = glimmer::activeSettingsDialog) dialog->RefreshPreview();
}

inline void fetchActiveSourceFrames() {
    if (CSettingsDialog* dialog = glimmer::activeSettingsDialog) dialog->FetchSourceFrames();
}
