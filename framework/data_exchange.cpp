#include "data_exchange.h"

#include "dialog.h"
#include "integer_text.h"
#include "win_app.h"

HWND CDataExchange::PrepareCtrl(int id) {
    if (m_failed) return nullptr;
    m_lastControl = m_pDlgWnd->GetDlgItem(id);
    return m_lastControl;
}

void CDataExchange::Fail() {
    m_failed = true;
    if (m_lastControl == nullptr) return;
    ::SetFocus(m_lastControl);
    ::SendMessageA(m_lastControl, EM_SETSEL, 0, -1);
}

void DDX_Control(CDataExchange& dx, int id, CControl& control) {
    HWND window = dx.PrepareCtrl(id);
    if (window != nullptr && control.m_hWnd == nullptr) control.Attach(window);
}

void DDX_Text(CDataExchange& dx, int id, int32_t& value) {
    HWND window = dx.PrepareCtrl(id);
    if (window == nullptr) return;
    if (!dx.m_bSaveAndValidate) {
        ::SetWindowTextA(window, std::to_string(value).c_str());
        return;
    }
    int32_t parsed = 0;
    if (!parseIntegerText(CControl(window).GetWindowText(), parsed)) {
        AfxMessageBox(dx.m_pDlgWnd->m_hWnd, promptNotAnInteger);
        dx.Fail();
        return;
    }
    value = parsed;
}

void DDX_Text(CDataExchange& dx, int id, std::string& value) {
    HWND window = dx.PrepareCtrl(id);
    if (window == nullptr) return;
    if (dx.m_bSaveAndValidate)
        value = CControl(window).GetWindowText();
    else
        ::SetWindowTextA(window, value.c_str());
}

void DDX_Check(CDataExchange& dx, int id, int& value) {
    HWND window = dx.PrepareCtrl(id);
    if (window == nullptr) return;
    if (dx.m_bSaveAndValidate) {
        value = static_cast<int>(::SendMessageA(window, BM_GETCHECK, 0, 0));
        return;
    }
    if (value < 0 || value > 2) value = 0;
    ::SendMessageA(window, BM_SETCHECK, value, 0);
}
