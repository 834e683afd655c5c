// A page of a property sheet, built from its dialog template; the
// template's caption is the tab's text. The sheet's notifications arrive
// here once and leave as virtuals that answer a bool.
#pragma once

#include <windows.h>
#include <prsht.h>

#include "dialog.h"

class CPropertyPage : public CDialog {
public:
    explicit CPropertyPage(UINT templateId);

    // Filled by the constructor; lParam carries the object to the page's
    // window when the sheet creates it.
    PROPSHEETPAGEA m_psp;

protected:
    // Every activation but the first transfers the members to the controls
    // again. False keeps the page from being shown.
    virtual BOOL OnSetActive();
    // False (a value that did not convert) keeps the page in front.
    virtual BOOL OnKillActive();
    // A page has no OK or Cancel of its own: the sheet ends nothing.
    void OnOK() override {}
    void OnCancel() override {}

    bool ProcessWindowMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    static INT_PTR CALLBACK PageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    bool m_firstSetActive = true;
};
