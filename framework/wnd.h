// The base of every window that has an object of ours behind it: dialogs,
// property pages and sheets, frames.
//
// The object is attached when its window is created and detached at
// WM_NCDESTROY. The pointer lives in a property of the window itself, so
// there is no process-wide table; a window without the property is not
// ours and is never taken for one.
#pragma once

#include <windows.h>

class CWnd {
public:
    CWnd() = default;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;
    virtual ~CWnd() = default;

    HWND GetSafeHwnd() const { return m_hWnd; }
    HWND GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }

    // The object attached to `window`, or null when the window is not ours.
    static CWnd* FromHandlePermanent(HWND window);

    // Gives each object from the message's window up to `stop` (included) a
    // chance to take a message before it is dispatched, as the modal loop
    // does. True when one of them took it.
    static bool WalkPreTranslateTree(HWND stop, MSG& message);

    // Called before the message is dispatched; true when it was taken.
    virtual bool PreTranslateMessage(MSG& message);

    HWND m_hWnd = nullptr;

protected:
    void Attach(HWND window);
    void Detach();

    // The class's message map; false leaves the message to default handling.
    virtual bool ProcessWindowMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    // Called after the window is gone; objects that own themselves delete
    // themselves here.
    virtual void PostNcDestroy() {}

};
