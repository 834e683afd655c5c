#include "mini_frame_wnd.h"

#include "framework_module.h"
#include "message_map.h"

namespace {

const char frameClassName[] = "GlimmerMiniFrame";

bool registerFrameClass(WNDPROC windowProc) {
    static const bool registered = [windowProc] {
        WNDCLASSA frameClass = {};
        frameClass.style = CS_DBLCLKS;
        frameClass.lpfnWndProc = windowProc;
        frameClass.hInstance = frameworkModule();
        frameClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
        frameClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        frameClass.lpszClassName = frameClassName;
        return RegisterClassA(&frameClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
    }();
    return registered;
}

}  // namespace

bool CMiniFrameWnd::Create(const char* title, DWORD style, const RECT& rect, HWND owner, UINT id) {
    if (!registerFrameClass(WindowProc)) return false;
    // The object travels as the creation parameter and is attached at
    // WM_NCCREATE, before WM_CREATE reaches its map.
    HWND window = ::CreateWindowExA(0, frameClassName, title, style, rect.left, rect.top,
                                    rect.right - rect.left, rect.bottom - rect.top, owner,
                                    reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)),
                                    frameworkModule(), this);
    return window != nullptr;
}

void CMiniFrameWnd::CalcWindowRect(RECT& rect) const {
    ::AdjustWindowRectEx(&rect, static_cast<DWORD>(::GetWindowLongA(m_hWnd, GWL_STYLE)), FALSE,
                         static_cast<DWORD>(::GetWindowLongA(m_hWnd, GWL_EXSTYLE)));
}

void CMiniFrameWnd::OnSetFocus(HWND previous) {
    ::DefWindowProcA(m_hWnd, WM_SETFOCUS, reinterpret_cast<WPARAM>(previous), 0);
}

void CMiniFrameWnd::OnActivate(UINT state, HWND other, bool minimized) {
    ::DefWindowProcA(m_hWnd, WM_ACTIVATE, MAKEWPARAM(state, minimized ? 1 : 0),
                     reinterpret_cast<LPARAM>(other));
}

bool CMiniFrameWnd::ProcessWindowMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    ON_WM_CREATE()
    ON_WM_CLOSE()
    ON_WM_SETFOCUS()
    ON_WM_ACTIVATE()
    ON_WM_DESTROY()
    return CWnd::ProcessWindowMessage(message, wParam, lParam, result);
}

LRESULT CALLBACK CMiniFrameWnd::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    CMiniFrameWnd* frame = nullptr;
    if (message == WM_NCCREATE) {
        frame = static_cast<CMiniFrameWnd*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        frame->Attach(window);
    } else {
        frame = static_cast<CMiniFrameWnd*>(FromHandlePermanent(window));
    }
    if (frame == nullptr) return ::DefWindowProcA(window, message, wParam, lParam);
    LRESULT result = 0;
    const bool handled = frame->ProcessWindowMessage(message, wParam, lParam, result);
    if (message == WM_NCDESTROY) {
        frame->Detach();
        frame->PostNcDestroy();
        return 0;
    }
    return handled ? result : ::DefWindowProcA(window, message, wParam, lParam);
}
