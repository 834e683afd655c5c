#include "settings_dialog_launch.h"

#include "host_globals.h"
#include "settings_dialog.h"
#include "win_app.h"

// The module's application object, made when the module is loaded: the
// "&Help" command and the message boxes' caption come from it.
CWinApp theApp;

namespace glimmer {

INT_PTR runSettingsDialogModal(HWND owner) {
    CSettingsDialog dialog(owner);
    activeSettingsDialog = &dialog;
    const INT_PTR result = dialog.DoModal();
    activeSettingsDialog = nullptr;
    return result;
}

}  // namespace glimmer
