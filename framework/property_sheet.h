// A modeless property sheet that lives as a child inside another window.
// Like every modeless sheet it shows no OK, Cancel, Apply or Help buttons,
// and its window ends where their row would begin.
#pragma once

#include <windows.h>
#include <prsht.h>

#include <vector>

#include "property_page.h"
#include "wnd.h"

class CPropertySheet : public CWnd {
public:
    CPropertySheet(UINT captionId, HWND parent = nullptr, UINT selectPage = 0)
        : m_captionId(captionId), m_parent(parent), m_startPage(selectPage) {}

    void AddPage(CPropertyPage& page) { m_pages.push_back(&page); }
    // Creates the sheet and its first page. The sheet is attached only when
    // this succeeds; until then its owner is responsible for the object.
    bool Create(HWND parent = nullptr);

    // Index of the page in front, -1 when there is none.
    int GetActiveIndex() const;

    // The sheet's keyboard handling (tabs, mnemonics, Ctrl+Tab).
    bool PreTranslateMessage(MSG& message) override;

private:
    static LRESULT CALLBACK SheetProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                      UINT_PTR subclassId, DWORD_PTR object);
    static int CALLBACK SheetCallback(HWND window, UINT message, LPARAM lParam);
    void RemoveButtonRow();

    UINT m_captionId;
    HWND m_parent;
    UINT m_startPage;
    std::vector<CPropertyPage*> m_pages;
};
