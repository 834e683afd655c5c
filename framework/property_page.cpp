#include "property_page.h"

#include "framework_module.h"

CPropertyPage::CPropertyPage(UINT templateId) : CDialog(templateId), m_psp{} {
    m_psp.dwSize = sizeof m_psp;
    m_psp.dwFlags = PSP_DEFAULT;
    m_psp.hInstance = frameworkModule();
    m_psp.pszTemplate = MAKEINTRESOURCEA(templateId);
    m_psp.pfnDlgProc = PageProc;
    m_psp.lParam = reinterpret_cast<LPARAM>(this);
}

BOOL CPropertyPage::OnSetActive() {
    if (m_firstSetActive)
        m_firstSetActive = false;
    else
        UpdateData(false);
    return TRUE;
}

BOOL CPropertyPage::OnKillActive() { return UpdateData(true); }

bool CPropertyPage::ProcessWindowMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (message == WM_NOTIFY) {
        switch (reinterpret_cast<NMHDR*>(lParam)->code) {
        case PSN_SETACTIVE:
            result = OnSetActive() ? 0 : -1;
            return true;
        case PSN_KILLACTIVE:
            result = OnKillActive() ? FALSE : TRUE;
            return true;
        default:
            break;
        }
    }
    return CDialog::ProcessWindowMessage(message, wParam, lParam, result);
}

INT_PTR CALLBACK CPropertyPage::PageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    CPropertyPage* page = nullptr;
    if (message == WM_INITDIALOG) {
        page = reinterpret_cast<CPropertyPage*>(reinterpret_cast<PROPSHEETPAGEA*>(lParam)->lParam);
        page->Attach(window);
    } else {
        page = static_cast<CPropertyPage*>(FromHandlePermanent(window));
    }
    return DispatchDialogMessage(page, window, message, wParam, lParam);
}
