#include "property_sheet.h"

#include <commctrl.h>

#include <string>

#include "framework_module.h"

namespace {

constexpr int applyButtonId = 0x3021;
constexpr UINT_PTR sheetSubclassId = 1;

// The one style our sheets are made with. The system's template style is
// replaced before the sheet window is created; its font bits stay, since
// they decide how the rest of the template reads.
constexpr DWORD childSheetStyle = WS_CHILD | WS_VISIBLE | DS_CONTROL;
constexpr DWORD templateFontBits = DS_SETFONT | DS_FIXEDSYS;

void setTemplateStyle(void* dialogTemplate) {
    WORD* words = static_cast<WORD*>(dialogTemplate);
    const bool extended = words[0] == 1 && words[1] == 0xFFFF;
    DWORD* style = reinterpret_cast<DWORD*>(extended ? words + 6 : words);
    DWORD* exStyle = reinterpret_cast<DWORD*>(extended ? words + 4 : words + 2);
    *style = childSheetStyle | (*style & templateFontBits);
    *exStyle = 0;
}

}  // namespace

int CALLBACK CPropertySheet::SheetCallback(HWND, UINT message, LPARAM lParam) {
    if (message == PSCB_PRECREATE && lParam != 0) setTemplateStyle(reinterpret_cast<void*>(lParam));
    return 0;
}

bool CPropertySheet::Create(HWND parent) {
    if (parent != nullptr) m_parent = parent;
    std::vector<HPROPSHEETPAGE> pages;
    for (CPropertyPage* page : m_pages) {
        HPROPSHEETPAGE handle = CreatePropertySheetPageA(&page->m_psp);
        if (handle == nullptr) {
            for (HPROPSHEETPAGE made : pages) DestroyPropertySheetPage(made);
            return false;
        }
        pages.push_back(handle);
    }
    const std::string caption = LoadResourceString(m_captionId);
    PROPSHEETHEADERA header = {};
    header.dwSize = sizeof header;
    header.dwFlags = PSH_MODELESS | PSH_USECALLBACK | PSH_NOAPPLYNOW;
    header.hwndParent = m_parent;
    header.hInstance = frameworkModule();
    header.pszCaption = caption.c_str();
    header.nPages = static_cast<UINT>(pages.size());
    header.nStartPage = m_startPage;
    header.phpage = pages.data();
    header.pfnCallback = SheetCallback;
    const INT_PTR created = PropertySheetA(&header);
    if (created == 0 || created == -1) return false;
    HWND window = reinterpret_cast<HWND>(created);
    Attach(window);
    SetWindowSubclass(window, SheetProc, sheetSubclassId, reinterpret_cast<DWORD_PTR>(this));
    RemoveButtonRow();
    return true;
}

void CPropertySheet::RemoveButtonRow() {
    for (int id : {IDOK, IDCANCEL, applyButtonId, IDHELP}) {
        if (HWND button = GetDlgItem(id)) ::ShowWindow(button, SW_HIDE);
    }
    HWND okButton = GetDlgItem(IDOK);
    if (okButton == nullptr) return;
    RECT sheet;
    RECT button;
    ::GetWindowRect(m_hWnd, &sheet);
    ::GetWindowRect(okButton, &button);
    ::SetWindowPos(m_hWnd, nullptr, 0, 0, sheet.right - sheet.left, button.top - sheet.top,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int CPropertySheet::GetActiveIndex() const {
    if (m_hWnd == nullptr) return -1;
    HWND page = PropSheet_GetCurrentPageHwnd(m_hWnd);
    if (page == nullptr) return -1;
    return static_cast<int>(PropSheet_HwndToIndex(m_hWnd, page));
}

bool CPropertySheet::PreTranslateMessage(MSG& message) {
    return PropSheet_IsDialogMessage(m_hWnd, &message) != FALSE;
}

LRESULT CALLBACK CPropertySheet::SheetProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                           UINT_PTR subclassId, DWORD_PTR object) {
    CPropertySheet* sheet = reinterpret_cast<CPropertySheet*>(object);
    // Enter and Esc reach a sheet as its hidden OK and Cancel; a sheet
    // without buttons must not end itself on them.
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) return 0;
    if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(window, SheetProc, subclassId);
        const LRESULT result = DefSubclassProc(window, message, wParam, lParam);
        sheet->Detach();
        sheet->PostNcDestroy();
        return result;
    }
    LRESULT result = 0;
    if (sheet->ProcessWindowMessage(message, wParam, lParam, result)) return result;
    return DefSubclassProc(window, message, wParam, lParam);
}
