// Control wrappers: a window handle and one-line methods. Cheap to copy;
// attached by data exchange (DDX_Control) or with Attach(GetDlgItem(id)).
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cassert>
#include <string>

class CControl {
public:
    CControl() = default;
    explicit CControl(HWND window) : m_hWnd(window) {}
    void Attach(HWND window) { m_hWnd = window; }
    HWND GetSafeHwnd() const { return m_hWnd; }
    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
        assert(::IsWindow(m_hWnd));
        return ::SendMessageA(m_hWnd, message, wParam, lParam);
    }
    std::string GetWindowText() const;
    void SetWindowText(const std::string& text) const { ::SetWindowTextA(m_hWnd, text.c_str()); }

    HWND m_hWnd = nullptr;
};

class CButton : public CControl {
public:
    using CControl::CControl;
    int GetCheck() const { return static_cast<int>(Send(BM_GETCHECK)); }
    void SetCheck(int state) const { Send(BM_SETCHECK, state); }
    void SetBitmap(HBITMAP bitmap) const { Send(BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap)); }
};

class CEdit : public CControl {
public:
    using CControl::CControl;
    void SetSel(int start, int end) const { Send(EM_SETSEL, start, end); }
};

class CSliderCtrl : public CControl {
public:
    using CControl::CControl;
    int GetPos() const { return static_cast<int>(Send(TBM_GETPOS)); }
    void SetPos(int position) const { Send(TBM_SETPOS, TRUE, position); }
    void SetRangeMin(int minimum, bool redraw = false) const { Send(TBM_SETRANGEMIN, redraw, minimum); }
    void SetRangeMax(int maximum, bool redraw = false) const { Send(TBM_SETRANGEMAX, redraw, maximum); }
};

class CSpinButtonCtrl : public CControl {
public:
    using CControl::CControl;
    // The low 16 bits of the position, as the control reports it.
    int GetPos() const { return static_cast<short>(LOWORD(Send(UDM_GETPOS))); }
    void SetPos(int position) const { Send(UDM_SETPOS, 0, MAKELPARAM(static_cast<short>(position), 0)); }
    void SetRange(int lower, int upper) const {
        Send(UDM_SETRANGE, 0, MAKELPARAM(static_cast<short>(upper), static_cast<short>(lower)));
    }
};

class CToolTipCtrl : public CControl {
public:
    // A pop-up tooltip window owned by `owner`.
    bool Create(HWND owner);
    void Activate(bool active) const { Send(TTM_ACTIVATE, active); }
    // Registers `tool` by its window handle, with string `textId` of the
    // module's string table.
    void AddTool(HWND tool, UINT textId) const;
    void RelayEvent(MSG& message) const {
        if (m_hWnd != nullptr) Send(TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&message));
    }
};

// A bitmap of the module's resources, released with the object.
class CBitmap {
public:
    CBitmap() = default;
    CBitmap(const CBitmap&) = delete;
    CBitmap& operator=(const CBitmap&) = delete;
    ~CBitmap() { DeleteObject(); }
    bool LoadBitmap(UINT id);
    void DeleteObject();
    HBITMAP GetSafeHandle() const { return m_hObject; }

    HBITMAP m_hObject = nullptr;
};
