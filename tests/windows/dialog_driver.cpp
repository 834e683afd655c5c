#include "dialog_driver.h"

#include <chrono>
#include <cstring>

#include "window_caption.h"

namespace glimmer::testing {
namespace {

constexpr UINT runWorkMessage = WM_APP + 1;
constexpr char settingsDialogCaption[] = "Glimmerscatterweft";

LRESULT CALLBACK hostWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == runWorkMessage) {
        (*reinterpret_cast<const std::function<void()>*>(lParam))();
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

struct DialogSearch {
    DWORD thread;
    HWND found;
    int count;
};

// The visible dialogs of the host's thread that carry the settings
// dialog's caption: visible means WM_INITDIALOG is over.
BOOL CALLBACK findSettingsDialog(HWND window, LPARAM lParam) {
    auto* search = reinterpret_cast<DialogSearch*>(lParam);
    if (GetWindowThreadProcessId(window, nullptr) != search->thread) return TRUE;
    char className[16] = {};
    GetClassNameA(window, className, sizeof className);
    if (std::strcmp(className, "#32770") == 0 && IsWindowVisible(window) &&
        windowCaption(window) == settingsDialogCaption) {
        search->found = window;
        ++search->count;
    }
    return TRUE;
}

}  // namespace

HostMainWindow::HostMainWindow() {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = hostWindowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "GlimmerTestHostWindow";
    RegisterClassA(&windowClass);
    window_ = CreateWindowExA(0, windowClass.lpszClassName, "test host", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100,
                              nullptr, nullptr, windowClass.hInstance, nullptr);
}

HostMainWindow::~HostMainWindow() { DestroyWindow(window_); }

void HostMainWindow::runOnHostThread(const std::function<void()>& work) const {
    SendMessageA(window_, runWorkMessage, 0, reinterpret_cast<LPARAM>(&work));
}

DialogDriver::DialogDriver(const HostMainWindow& host, int command, std::function<void()> whileOpen)
    : host_(host), command_(command), whileOpen_(std::move(whileOpen)), thread_([this] { run(); }) {}

DialogDriver::~DialogDriver() { finish(); }

void DialogDriver::finish() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
}

void DialogDriver::run() {
    const DWORD hostThread = GetWindowThreadProcessId(host_.window(), nullptr);
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    DialogSearch search{hostThread, nullptr, 0};
    while (!stop_ && search.found == nullptr && std::chrono::steady_clock::now() < giveUp) {
        Sleep(10);
        search.count = 0;
        EnumWindows(findSettingsDialog, reinterpret_cast<LPARAM>(&search));
    }
    if (search.found == nullptr) return;
    dialog_ = search.found;
    dialogsSeen_ = search.count;
    owner_ = GetWindow(dialog_, GW_OWNER);
    if (whileOpen_) host_.runOnHostThread(whileOpen_);
    PostMessageA(dialog_, WM_COMMAND, MAKEWPARAM(command_, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog_, command_)));
}

}  // namespace glimmer::testing
