#include "wnd.h"

namespace {
const char objectProperty[] = "glimmer.CWnd";
}

CWnd* CWnd::FromHandlePermanent(HWND window) {
    if (window == nullptr) return nullptr;
    return static_cast<CWnd*>(GetPropA(window, objectProperty));
}

bool CWnd::WalkPreTranslateTree(HWND stop, MSG& message) {
    for (HWND window = message.hwnd; window != nullptr; window = ::GetParent(window)) {
        CWnd* object = FromHandlePermanent(window);
        if (object != nullptr && object->PreTranslateMessage(message)) return true;
        if (window == stop) break;
    }
    return false;
}

bool CWnd::PreTranslateMessage(MSG&) { return false; }

void CWnd::Attach(HWND window) {
    m_hWnd = window;
    SetPropA(window, objectProperty, this);
}

void CWnd::Detach() {
    if (m_hWnd != nullptr) RemovePropA(m_hWnd, objectProperty);
    m_hWnd = nullptr;
}

bool CWnd::ProcessWindowMessage(UINT, WPARAM, LPARAM, LRESULT&) { return false; }
