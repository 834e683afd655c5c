// The application object: one per module, constructed when the module is
// loaded. It answers the "&Help" command and gives message boxes their
// caption.
#pragma once

#include <windows.h>

#include <string>

// The standard help command and the base of a dialog's help context.
constexpr UINT ID_HELP = 0xE146;
constexpr DWORD helpContextDialogBase = 0x20000;

constexpr char messageHelpFailed[] = "Failed to launch help.";

class CWinApp {
public:
    CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;
    virtual ~CWinApp();

    // The module's application object; null before it is constructed.
    static CWinApp* Current();

    // Opens the module's help file at `context` for `window`; on failure
    // shows "Failed to launch help." over it.
    virtual void OnHelp(HWND window, DWORD context);

    // The module's name without its extension, the caption of message boxes.
    std::string AppName() const;
    std::string HelpFilePath() const;
};

// A message box with an OK button and the application's caption.
int AfxMessageBox(HWND owner, const char* text, UINT type = MB_OK);
