#include "controls.h"

#include "framework_module.h"

std::string CControl::GetWindowText() const {
    const int length = ::GetWindowTextLengthA(m_hWnd);
    std::string text(length + 1, '\0');
    const int copied = ::GetWindowTextA(m_hWnd, &text[0], length + 1);
    text.resize(copied > 0 ? copied : 0);
    return text;
}

bool CToolTipCtrl::Create(HWND owner) {
    m_hWnd = ::CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr,
                               frameworkModule(), nullptr);
    return m_hWnd != nullptr;
}

void CToolTipCtrl::AddTool(HWND tool, UINT textId) const {
    if (m_hWnd == nullptr || tool == nullptr) return;
    std::string text = LoadResourceString(textId);
    TOOLINFOA info = {};
    // The version 2 layout: every common-controls version takes it.
    info.cbSize = TTTOOLINFOA_V2_SIZE;
    info.uFlags = TTF_IDISHWND;
    info.hwnd = ::GetParent(tool);
    info.uId = reinterpret_cast<UINT_PTR>(tool);
    info.hinst = frameworkModule();
    info.lpszText = &text[0];
    Send(TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&info));
}

bool CBitmap::LoadBitmap(UINT id) {
    DeleteObject();
    m_hObject = ::LoadBitmapA(frameworkModule(), MAKEINTRESOURCEA(id));
    return m_hObject != nullptr;
}

void CBitmap::DeleteObject() {
    if (m_hObject != nullptr) ::DeleteObject(m_hObject);
    m_hObject = nullptr;
}
