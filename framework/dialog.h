// Dialogs from templates of the module's resources.
//
// DoModal runs its own message loop rather than the system's, so that the
// objects along a message's way get their PreTranslateMessage first (the
// settings dialog's tooltips, a modeless property sheet's keyboard
// handling) without any message hook.
#pragma once

#include <windows.h>

#include "data_exchange.h"
#include "wnd.h"

class CDialog : public CWnd {
public:
    // `owner` null: the active window, as when a dialog opens over whatever
    // the user is working in.
    explicit CDialog(UINT templateId, HWND owner = nullptr)
        : m_templateId(templateId), m_owner(owner) {}

    // The modal result: what EndDialog got, or -1 when the window could not
    // be created.
    INT_PTR DoModal();
    void EndDialog(INT_PTR result);

    // Runs DoDataExchange in one direction; false when a value did not
    // convert.
    bool UpdateData(bool saveAndValidate = true);
    // True while UpdateData runs: the notifications it causes by rewriting
    // controls are not the user's.
    bool IsInDataExchange() const { return m_dataExchangeDepth > 0; }

    UINT TemplateId() const { return m_templateId; }
    bool PreTranslateMessage(MSG& message) override;

protected:
    virtual BOOL OnInitDialog();
    virtual void DoDataExchange(CDataExchange&) {}
    virtual void OnOK();
    virtual void OnCancel();

    bool ProcessWindowMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

    // The dialog procedure of our dialogs and pages, once the object is known.
    static INT_PTR DispatchDialogMessage(CDialog* dialog, HWND window, UINT message, WPARAM wParam,
                                         LPARAM lParam);

private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void RunModalLoop();
    void CenterOverOwner();
    void RaiseOwnedWindows();

    UINT m_templateId;
    HWND m_owner;
    INT_PTR m_modalResult = -1;
    bool m_modalRunning = false;
    int m_dataExchangeDepth = 0;
};
