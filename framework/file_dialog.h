// The system's open and save dialogs.
#pragma once

#include <windows.h>

#include <string>

class CFileDialog {
public:
    // `filter` in the bar-separated form "Text (*.ext)|*.ext|".
    CFileDialog(bool openFileDialog, const char* defaultExtension, const char* fileName, DWORD flags,
                const char* filter, HWND parent);

    // IDOK when the user chose a file, IDCANCEL otherwise.
    INT_PTR DoModal();
    std::string GetPathName() const { return m_path; }

    OPENFILENAMEA m_ofn;

private:
    bool m_open;
    std::string m_defaultExtension;
    std::string m_filter;
    std::string m_path;
    char m_fileBuffer[MAX_PATH];
};
