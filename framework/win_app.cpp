#include "win_app.h"

#include "framework_module.h"
#include "help_file_path.h"

namespace {

CWinApp* currentApp = nullptr;

std::string modulePath() {
    char path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(frameworkModule(), path, MAX_PATH);
    return std::string(path, length < MAX_PATH ? length : 0);
}

}  // namespace

CWinApp::CWinApp() { currentApp = this; }

CWinApp::~CWinApp() {
    if (currentApp == this) currentApp = nullptr;
}

CWinApp* CWinApp::Current() { return currentApp; }

std::string CWinApp::AppName() const {
    std::string name = modulePath();
    const std::size_t slash = name.find_last_of("\\/:");
    if (slash != std::string::npos) name.erase(0, slash + 1);
    const std::size_t dot = name.find_last_of('.');
    if (dot != std::string::npos) name.erase(dot);
    return name;
}

std::string CWinApp::HelpFilePath() const { return helpFilePathFor(modulePath()); }

void CWinApp::OnHelp(HWND window, DWORD context) {
    if (!WinHelpA(window, HelpFilePath().c_str(), HELP_CONTEXT, context))
        AfxMessageBox(window, messageHelpFailed);
}

int AfxMessageBox(HWND owner, const char* text, UINT type) {
    const std::string caption = currentApp != nullptr ? currentApp->AppName() : std::string();
    if ((type & MB_ICONMASK) == 0) type |= MB_ICONEXCLAMATION;
    return MessageBoxA(owner, text, caption.c_str(), type);
}
