// Stands in for the settings dialog while the real one is not part of the
// build: template 129 with OK and Cancel, so that setup runs its whole
// course.
#include "plugin_module.h"
#include "settings_dialog_launch.h"

namespace glimmer {
namespace {

constexpr int settingsDialogTemplate = 129;

INT_PTR CALLBACK minimalDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG: return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, LOWORD(wParam));
            return TRUE;
        }
        return FALSE;
    default: return FALSE;
    }
}

}  // namespace

INT_PTR runSettingsDialogModal(HWND owner) {
    return DialogBoxParamA(pluginModule(), MAKEINTRESOURCEA(settingsDialogTemplate), owner,
                           minimalDialogProc, 0);
}

}  // namespace glimmer
