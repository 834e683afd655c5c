// The about box the banner opens.
#pragma once

#include "dialog.h"
#include "dialog_ids.h"

class CAboutDialog : public CDialog {
public:
    enum { IDD = IDD_ABOUT_DIALOG };
    CAboutDialog() : CDialog(IDD) {}
};
