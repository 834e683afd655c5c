// Data exchange: one list of controls and members in DoDataExchange serves
// both directions. Towards the members, the first value that does not
// convert fails the exchange: the prompt is shown, the focus goes into that
// control with its text selected, and the rest of the list is skipped.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "controls.h"

class CDialog;

class CDataExchange {
public:
    CDataExchange(CDialog& dialog, bool saveAndValidate)
        : m_pDlgWnd(&dialog), m_bSaveAndValidate(saveAndValidate) {}

    // The control of `id`, remembered as the one a failure points at; null
    // when the exchange has already failed.
    HWND PrepareCtrl(int id);
    // Shows nothing itself: the caller has shown its prompt.
    void Fail();
    bool Failed() const { return m_failed; }

    CDialog* m_pDlgWnd;
    bool m_bSaveAndValidate;

private:
    HWND m_lastControl = nullptr;
    bool m_failed = false;
};

constexpr char promptNotAnInteger[] = "Please enter an integer.";

void DDX_Control(CDataExchange& dx, int id, CControl& control);
// Decimal text; "Please enter an integer." when it is not one.
void DDX_Text(CDataExchange& dx, int id, int32_t& value);
void DDX_Text(CDataExchange& dx, int id, std::string& value);
// Check state 0, 1 or 2; any other member value shows as 0 and becomes 0.
void DDX_Check(CDataExchange& dx, int id, int& value);
