// A small frame window: the container of a modeless property sheet beside
// a dialog. Frames are made on the heap and delete themselves when their
// window goes.
#pragma once

#include <windows.h>

#include "wnd.h"

class CMiniFrameWnd : public CWnd {
public:
    // False when no window came of it. If the window was created and then
    // failed in WM_CREATE, the object has already deleted itself.
    bool Create(const char* title, DWORD style, const RECT& rect, HWND owner, UINT id = 0);

    // Grows a client rectangle to the window rectangle of this frame.
    void CalcWindowRect(RECT& rect) const;

protected:
    // The frame's own handling; a derived class's map calls its own
    // handlers, which call these where the frame's behaviour should follow.
    int OnCreate(CREATESTRUCTA*) { return 0; }
    void OnClose() { ::DestroyWindow(m_hWnd); }
    void OnSetFocus(HWND previous);
    void OnActivate(UINT state, HWND other, bool minimized);
    void OnDestroy() {}

    void PostNcDestroy() override { delete this; }
    bool ProcessWindowMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
};
