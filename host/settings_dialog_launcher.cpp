#include "settings_dialog_launcher.h"

#include "host_globals.h"
#include "preminfo.h"
#include "settings_dialog_launch.h"

namespace glimmer {

bool launchSettingsDialog() {
    HWND mainWindow = preminfoMainWindow();
    HWND owner = mainWindow != nullptr ? GetLastActivePopup(mainWindow) : nullptr;
    const INT_PTR result = runSettingsDialogModal(owner);
    activeSettingsDialog = nullptr;
    return result == IDOK;
}

}  // namespace glimmer
