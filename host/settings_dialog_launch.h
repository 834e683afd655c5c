// The seam between the entry point and the settings dialog.
#pragma once

#include <windows.h>

namespace glimmer {

// Constructs the settings dialog owned by `owner`, makes it the
// activeSettingsDialog, runs it modally and answers the modal result
// (IDOK when the user accepted).
INT_PTR runSettingsDialogModal(HWND owner);

}  // namespace glimmer
