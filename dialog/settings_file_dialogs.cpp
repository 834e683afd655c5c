#include "settings_file_dialogs.h"

#include <commdlg.h>

#include "file_dialog.h"
#include "win_app.h"

bool SettingsFileDialogs::choosePath(bool open, std::string& path) {
    CFileDialog dialog(open, settingsFileExtension, nullptr, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                       settingsFileFilter, m_owner);
    if (dialog.DoModal() != IDOK) return false;
    path = dialog.GetPathName();
    return true;
}

void SettingsFileDialogs::showMessage(const char* text) { AfxMessageBox(m_owner, text); }
