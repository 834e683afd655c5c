#include "file_dialog.h"

#include <commdlg.h>

#include <cstring>

CFileDialog::CFileDialog(bool openFileDialog, const char* defaultExtension, const char* fileName,
                         DWORD flags, const char* filter, HWND parent)
    : m_ofn{}, m_open(openFileDialog), m_fileBuffer{} {
    if (defaultExtension != nullptr) m_defaultExtension = defaultExtension;
    if (filter != nullptr) {
        // The system wants each text ended by a zero and the list by two.
        m_filter = filter;
        for (char& c : m_filter)
            if (c == '|') c = '\0';
        m_filter.push_back('\0');
    }
    if (fileName != nullptr) std::strncpy(m_fileBuffer, fileName, MAX_PATH - 1);
    m_ofn.lStructSize = sizeof m_ofn;
    m_ofn.hwndOwner = parent;
    m_ofn.lpstrFilter = m_filter.empty() ? nullptr : m_filter.c_str();
    m_ofn.lpstrFile = m_fileBuffer;
    m_ofn.nMaxFile = MAX_PATH;
    m_ofn.lpstrDefExt = m_defaultExtension.empty() ? nullptr : m_defaultExtension.c_str();
    m_ofn.Flags = flags | OFN_EXPLORER | OFN_ENABLESIZING;
}

INT_PTR CFileDialog::DoModal() {
    const BOOL chosen = m_open ? GetOpenFileNameA(&m_ofn) : GetSaveFileNameA(&m_ofn);
    if (!chosen) return IDCANCEL;
    m_path = m_fileBuffer;
    return IDOK;
}
