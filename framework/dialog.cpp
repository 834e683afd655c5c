#include "dialog.h"

#include <commctrl.h>

#include "framework_module.h"
#include "win_app.h"

namespace {

void registerCommonControls() {
    static const bool registered = [] {
        INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_BAR_CLASSES | ICC_UPDOWN_CLASS |
                                                            ICC_TAB_CLASSES | ICC_WIN95_CLASSES};
        return InitCommonControlsEx(&classes) != FALSE;
    }();
    (void)registered;
}

// Messages whose answer is the dialog procedure's return value itself
// rather than DWLP_MSGRESULT.
bool answersDirectly(UINT message) {
    switch (message) {
    case WM_INITDIALOG:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_QUERYDRAGICON:
        return true;
    default:
        return false;
    }
}

UINT raiseOwnedMessage() {
    static const UINT message = ::RegisterWindowMessageA("glimmer.RaiseOwnedWindows");
    return message;
}

BOOL CALLBACK raiseIfOwnedBy(HWND window, LPARAM owner) {
    if (::GetWindow(window, GW_OWNER) == reinterpret_cast<HWND>(owner) && ::IsWindowVisible(window))
        ::SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return TRUE;
}

}  // namespace

INT_PTR CDialog::DoModal() {
    registerCommonControls();
    HWND owner = m_owner != nullptr ? m_owner : ::GetActiveWindow();
    m_modalResult = -1;
    m_modalRunning = true;
    HWND window = ::CreateDialogParamA(frameworkModule(), MAKEINTRESOURCEA(m_templateId), owner,
                                       DialogProc, reinterpret_cast<LPARAM>(this));
    if (window == nullptr) {
        m_modalRunning = false;
        return -1;
    }
    const bool disableOwner = owner != nullptr && ::IsWindowEnabled(owner);
    if (disableOwner) ::EnableWindow(owner, FALSE);
    if (m_modalRunning) {
        CenterOverOwner();
        ::ShowWindow(window, SW_SHOW);
        RunModalLoop();
    }
    // The owner comes back before the dialog goes, so that it is the window
    // the system activates next.
    if (disableOwner) ::EnableWindow(owner, TRUE);
    ::DestroyWindow(window);
    return m_modalResult;
}

// Windows keeps owned pop-ups above their owner; wine lets a dialog that is
// raised or activated cover the pop-ups it owns (the property frame), so
// they are put back on top whenever the dialog's place in the z-order
// changes.
void CDialog::RaiseOwnedWindows() {
    EnumThreadWindows(::GetCurrentThreadId(), raiseIfOwnedBy, reinterpret_cast<LPARAM>(m_hWnd));
}

void CDialog::RunModalLoop() {
    MSG message;
    while (m_modalRunning) {
        const BOOL got = ::GetMessageA(&message, nullptr, 0, 0);
        if (got == -1) break;
        if (got == 0) {
            // Someone ends the thread's loop: end ours and pass the request on.
            ::PostQuitMessage(static_cast<int>(message.wParam));
            m_modalResult = IDCANCEL;
            break;
        }
        if (!WalkPreTranslateTree(m_hWnd, message)) {
            ::TranslateMessage(&message);
            ::DispatchMessageA(&message);
        }
    }
}

void CDialog::CenterOverOwner() {
    RECT dialog;
    ::GetWindowRect(m_hWnd, &dialog);
    RECT area;
    HWND owner = ::GetWindow(m_hWnd, GW_OWNER);
    if (owner != nullptr && ::IsWindowVisible(owner) && !::IsIconic(owner))
        ::GetWindowRect(owner, &area);
    else
        ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    const int width = dialog.right - dialog.left;
    const int height = dialog.bottom - dialog.top;
    int x = area.left + (area.right - area.left - width) / 2;
    int y = area.top + (area.bottom - area.top - height) / 2;
    RECT screen;
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &screen, 0);
    if (x + width > screen.right) x = screen.right - width;
    if (y + height > screen.bottom) y = screen.bottom - height;
    if (x < screen.left) x = screen.left;
    if (y < screen.top) y = screen.top;
    ::SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CDialog::EndDialog(INT_PTR result) {
    m_modalResult = result;
    m_modalRunning = false;
}

bool CDialog::UpdateData(bool saveAndValidate) {
    CDataExchange dx(*this, saveAndValidate);
    ++m_dataExchangeDepth;
    DoDataExchange(dx);
    --m_dataExchangeDepth;
    return !dx.Failed();
}

bool CDialog::PreTranslateMessage(MSG& message) {
    // A dialog inside another window leaves the keyboard to its container.
    if ((::GetWindowLongA(m_hWnd, GWL_STYLE) & WS_CHILD) != 0) return false;
    return ::IsDialogMessageA(m_hWnd, &message) != FALSE;
}

BOOL CDialog::OnInitDialog() {
    UpdateData(false);
    return TRUE;
}

void CDialog::OnOK() {
    if (!UpdateData(true)) return;
    EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

bool CDialog::ProcessWindowMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (message == WM_INITDIALOG) {
        result = OnInitDialog();
        return true;
    }
    if ((::GetWindowLongA(m_hWnd, GWL_STYLE) & WS_CHILD) == 0) {
        // Once the activation has settled, not within it.
        if (message == WM_ACTIVATE && LOWORD(wParam) != WA_INACTIVE) ::PostMessageA(m_hWnd, raiseOwnedMessage(), 0, 0);
        if (message == WM_WINDOWPOSCHANGED && (reinterpret_cast<const WINDOWPOS*>(lParam)->flags & SWP_NOZORDER) == 0)
            ::PostMessageA(m_hWnd, raiseOwnedMessage(), 0, 0);
        if (message == raiseOwnedMessage()) {
            RaiseOwnedWindows();
            return true;
        }
    }
    if (message != WM_COMMAND || HIWORD(wParam) != BN_CLICKED) return false;
    switch (LOWORD(wParam)) {
    case IDOK:
        OnOK();
        return true;
    case IDCANCEL:
        OnCancel();
        return true;
    case ID_HELP:
        if (CWinApp* app = CWinApp::Current()) app->OnHelp(m_hWnd, helpContextDialogBase + m_templateId);
        return true;
    default:
        return false;
    }
}

INT_PTR CDialog::DispatchDialogMessage(CDialog* dialog, HWND window, UINT message, WPARAM wParam,
                                       LPARAM lParam) {
    if (dialog == nullptr) return FALSE;
    LRESULT result = 0;
    const bool handled = dialog->ProcessWindowMessage(message, wParam, lParam, result);
    if (message == WM_NCDESTROY) {
        dialog->Detach();
        dialog->PostNcDestroy();
        return FALSE;
    }
    if (!handled) return FALSE;
    if (answersDirectly(message)) return static_cast<INT_PTR>(result);
    ::SetWindowLongPtrA(window, DWLP_MSGRESULT, result);
    return TRUE;
}

INT_PTR CALLBACK CDialog::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    CDialog* dialog = nullptr;
    if (message == WM_INITDIALOG) {
        dialog = reinterpret_cast<CDialog*>(lParam);
        dialog->Attach(window);
    } else {
        dialog = static_cast<CDialog*>(FromHandlePermanent(window));
    }
    return DispatchDialogMessage(dialog, window, message, wParam, lParam);
}
