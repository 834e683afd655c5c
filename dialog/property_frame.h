// The small frame beside the settings dialog that holds the property sheet.
// It is a pop-up owned by the dialog, so it goes with the dialog's window;
// closing it only hides it.
#pragma once

#include "message_map.h"
#include "mini_frame_wnd.h"

class CMyPropertySheet;

class CPropertyFrame : public CMiniFrameWnd {
public:
    // `link` is cleared when the frame's window goes, so its owner never
    // holds a frame that has deleted itself.
    explicit CPropertyFrame(CPropertyFrame** link = nullptr) : m_link(link) {}

    CMyPropertySheet* m_pSheet = nullptr;

protected:
    BEGIN_MESSAGE_MAP(CPropertyFrame, CMiniFrameWnd)
        ON_WM_CREATE()
        ON_WM_CLOSE()
        ON_WM_SETFOCUS()
        ON_WM_ACTIVATE()
        ON_WM_DESTROY()
    END_MESSAGE_MAP()

    void PostNcDestroy() override;

private:
    int OnCreate(CREATESTRUCTA* create);
    void OnClose();
    void OnSetFocus(HWND previous) { CMiniFrameWnd::OnSetFocus(previous); }
    void OnActivate(UINT state, HWND other, bool minimized);
    void OnDestroy();

    CPropertyFrame** m_link;
};
