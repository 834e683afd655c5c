#include "property_frame.h"

#include "my_property_sheet.h"

int CPropertyFrame::OnCreate(CREATESTRUCTA* create) {
    if (CMiniFrameWnd::OnCreate(create) == -1) return -1;
    m_pSheet = new CMyPropertySheet(m_hWnd);
    if (!m_pSheet->Create(m_hWnd)) {
        // Never attached to a window, so it has not deleted itself.
        delete m_pSheet;
        m_pSheet = nullptr;
        return -1;
    }
    RECT sheet;
    ::GetWindowRect(m_pSheet->m_hWnd, &sheet);
    RECT frame = sheet;
    CalcWindowRect(frame);
    ::SetWindowPos(m_hWnd, nullptr, frame.left, frame.top, frame.right - frame.left, frame.bottom - frame.top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
    ::SetWindowPos(m_pSheet->m_hWnd, nullptr, 0, 0, sheet.right - sheet.left, sheet.bottom - sheet.top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
    return 0;
}

void CPropertyFrame::OnClose() { ::ShowWindow(m_hWnd, SW_HIDE); }

// The modeless sheet takes part in activation as a top-level dialog would:
// it puts the focus back into the page.
void CPropertyFrame::OnActivate(UINT state, HWND other, bool minimized) {
    CMiniFrameWnd::OnActivate(state, other, minimized);
    if (m_pSheet != nullptr && ::IsWindow(m_pSheet->m_hWnd))
        ::SendMessageA(m_pSheet->m_hWnd, WM_ACTIVATE, MAKEWPARAM(state, minimized ? 1 : 0),
                       reinterpret_cast<LPARAM>(other));
}

// The sheet is a child and goes with this window, deleting itself.
void CPropertyFrame::OnDestroy() { m_pSheet = nullptr; }

void CPropertyFrame::PostNcDestroy() {
    if (m_link != nullptr && *m_link == this) *m_link = nullptr;
    CMiniFrameWnd::PostNcDestroy();
}
