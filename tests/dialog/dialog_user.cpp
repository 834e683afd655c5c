#include "dialog_user.h"

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <set>
#include <thread>

#include "engine_image.h"
#include "window_caption.h"

namespace glimmer::testing {
namespace {

constexpr char settingsDialogCaption[] = "Glimmerscatterweft";
constexpr int fileNameCombo = 0x47C;  // cmb13 of the explorer-style dialogs
constexpr int fileNameEdit = 0x480;   // edt1 of the older ones
// Generous: a fresh wine prefix on a busy machine can take many seconds to
// show its first box.
constexpr auto patience = std::chrono::seconds(30);

std::string className(HWND window) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

std::string windowText(HWND window) {
    char text[512] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

struct WindowSearch {
    const char* wantedClass;
    std::vector<HWND> found;
};

BOOL CALLBACK collectWindow(HWND window, LPARAM lParam) {
    auto* search = reinterpret_cast<WindowSearch*>(lParam);
    if (IsWindowVisible(window) && className(window) == search->wantedClass) search->found.push_back(window);
    return TRUE;
}

// The visible top-level windows of one thread, with a class name.
std::vector<HWND> threadWindows(DWORD thread, const char* wantedClass) {
    WindowSearch search{wantedClass, {}};
    EnumThreadWindows(thread, collectWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

template <typename Found>
HWND waitFor(Found found) {
    const auto giveUp = std::chrono::steady_clock::now() + patience;
    while (std::chrono::steady_clock::now() < giveUp) {
        if (HWND window = found()) return window;
        Sleep(10);
    }
    return nullptr;
}

// The modal windows the dialog opened over itself: message boxes and file
// dialogs (a message box of a file dialog is owned by that).
HWND ownedDialog(const DialogUser& user, bool (*wanted)(HWND)) {
    const DWORD thread = GetWindowThreadProcessId(user.dialog, nullptr);
    for (HWND window : threadWindows(thread, "#32770"))
        if (window != user.dialog && GetParent(window) != nullptr && wanted(window)) return window;
    return nullptr;
}

bool isFileDialog(HWND window) {
    return GetDlgItem(window, fileNameCombo) != nullptr || GetDlgItem(window, fileNameEdit) != nullptr;
}

bool isMessageBox(HWND window) {
    return !isFileDialog(window) && (GetDlgItem(window, IDOK) != nullptr || GetDlgItem(window, IDYES) != nullptr);
}

std::string messageBoxText(HWND box) {
    std::string text;
    for (HWND child = GetWindow(box, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT))
        if (className(child) == "Static" && GetWindowTextLengthA(child) > 0) text += windowText(child);
    return text;
}

}  // namespace

void LoggedClipFrames::fill(int32_t track, int32_t frameIndex, HostFrameRecord& frame) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        requests_.push_back({frameIndex, track});
    }
    clips_.fill(track, frameIndex, frame);
}

std::vector<LoggedClipFrames::Request> LoggedClipFrames::take() {
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<Request> taken;
    taken.swap(requests_);
    return taken;
}

std::ostream& operator<<(std::ostream& out, const LoggedClipFrames::Request& request) {
    return out << "{frame " << request.frame << ", track " << request.track << "}";
}

std::size_t ScreenPicture::colourCount() const { return std::set<uint32_t>(pixels.begin(), pixels.end()).size(); }

HWND DialogUser::page() const { return reinterpret_cast<HWND>(SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0)); }

void DialogUser::showPage(int index) const { SendMessageA(sheet, PSM_SETCURSEL, index, 0); }

int DialogUser::activePage() const {
    return static_cast<int>(SendMessageA(sheet, PSM_HWNDTOINDEX, reinterpret_cast<WPARAM>(page()), 0));
}

void DialogUser::moveTrackbar(HWND trackbar, int position, int code) const {
    SendMessageA(trackbar, TBM_SETPOS, TRUE, position);
    SendMessageA(GetParent(trackbar), WM_HSCROLL, MAKEWPARAM(code, position), reinterpret_cast<LPARAM>(trackbar));
}

void DialogUser::moveSpin(HWND spin, int position) const {
    SendMessageA(spin, UDM_SETPOS, 0, MAKELPARAM(position, 0));
    const int reported = static_cast<short>(LOWORD(SendMessageA(spin, UDM_GETPOS, 0, 0)));
    SendMessageA(GetParent(spin), WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, reported), reinterpret_cast<LPARAM>(spin));
    SendMessageA(GetParent(spin), WM_VSCROLL, MAKEWPARAM(SB_ENDSCROLL, reported), reinterpret_cast<LPARAM>(spin));
}

void DialogUser::clickAndLeave(HWND button) const {
    PostMessageA(GetParent(button), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED),
                 reinterpret_cast<LPARAM>(button));
}

void DialogUser::setText(HWND window, const std::string& text) const {
    SendMessageA(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

std::string DialogUser::text(HWND window) const { return windowText(window); }

std::string DialogUser::setTextExpectingMessage(HWND window, const std::string& text) const {
    std::thread typist([&] { setText(window, text); });
    const std::string message = dismissMessageBox();
    typist.join();
    return message;
}

std::string DialogUser::dismissMessageBox() const {
    HWND box = waitFor([&] { return ownedDialog(*this, isMessageBox); });
    if (box == nullptr) return {};
    const std::string message = messageBoxText(box);
    const int answer = GetDlgItem(box, IDYES) != nullptr ? IDYES : IDOK;
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(answer, BN_CLICKED), 0);
    waitFor([&] { return IsWindow(box) ? nullptr : dialog; });
    return message;
}

bool DialogUser::chooseFile(const std::string& path) const {
    HWND files = waitFor([&] { return ownedDialog(*this, isFileDialog); });
    if (files == nullptr) return false;
    HWND name = GetDlgItem(files, fileNameCombo) != nullptr ? GetDlgItem(files, fileNameCombo)
                                                            : GetDlgItem(files, fileNameEdit);
    setText(name, path);
    PostMessageA(files, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(files, IDOK)));
    return true;
}

namespace {

// What a device context of a window holds: the window's own pixels, as its
// painting left them.
ScreenPicture captureDc(HDC source, int width, int height) {
    ScreenPicture picture;
    picture.width = width;
    picture.height = height;
    picture.pixels.resize(static_cast<std::size_t>(width) * height);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top line first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HDC memory = CreateCompatibleDC(source);
    HBITMAP bitmap = CreateDIBSection(source, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, source, 0, 0, SRCCOPY);
    GdiFlush();
    for (std::size_t i = 0; i < picture.pixels.size(); ++i)
        picture.pixels[i] = static_cast<const uint32_t*>(bits)[i] & 0xFFFFFF;
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    return picture;
}

void paste(ScreenPicture& into, const ScreenPicture& picture, int left, int top) {
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x) {
            const int tx = left + x;
            const int ty = top + y;
            if (tx >= 0 && ty >= 0 && tx < into.width && ty < into.height)
                into.pixels[static_cast<std::size_t>(ty) * into.width + tx] = picture.at(x, y);
        }
}

}  // namespace

ScreenPicture DialogUser::captureWindow(HWND window) const {
    RECT area;
    GetWindowRect(window, &area);
    HDC dc = GetWindowDC(window);
    ScreenPicture picture = captureDc(dc, area.right - area.left, area.bottom - area.top);
    ReleaseDC(window, dc);
    return picture;
}

ScreenPicture DialogUser::captureClient(HWND window) const {
    RECT client;
    GetClientRect(window, &client);
    HDC dc = GetDC(window);
    ScreenPicture picture = captureDc(dc, client.right, client.bottom);
    ReleaseDC(window, dc);
    return picture;
}

// The dialog with the sheet's frame over it, as they stand on the screen.
ScreenPicture DialogUser::captureDialogAndSheet() const {
    RECT a;
    RECT b;
    GetWindowRect(dialog, &a);
    GetWindowRect(frame, &b);
    RECT both;
    UnionRect(&both, &a, &b);
    ScreenPicture picture;
    picture.width = both.right - both.left;
    picture.height = both.bottom - both.top;
    picture.pixels.assign(static_cast<std::size_t>(picture.width) * picture.height, 0u);
    paste(picture, captureWindow(dialog), a.left - both.left, a.top - both.top);
    if (IsWindowVisible(frame)) paste(picture, captureWindow(frame), b.left - both.left, b.top - both.top);
    return picture;
}

void DialogUser::saveScreenshot(const ScreenPicture& picture, const char* name) const {
    const char* folder = std::getenv("GLIMMER_SCREENSHOT_DIR");
    if (folder == nullptr || *folder == '\0') return;
    // The PNG writer takes the engine's layout: bottom line first, red in byte 0.
    std::vector<uint32_t> pixels(picture.pixels.size());
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x) {
            const uint32_t c = picture.at(x, y);
            pixels[static_cast<std::size_t>(picture.height - 1 - y) * picture.width + x] =
                ((c >> 16) & 0xFF) | (c & 0xFF00) | ((c & 0xFF) << 16) | 0xFF000000u;
        }
    writePng(std::string(folder) + "/" + name, pixels.data(), picture.width, picture.height);
}

void DialogTest::SetUp() {
    PluginTest::SetUp();
    hostSettings_ = hostBlock(defaultSettings());
    session.record().settingsHandle = hostSettings_;
    session.record().total = 50;
    session.record().frameRate = 25;
    session.serveFramesFrom(&clips);
}

bool DialogTest::runSetup(const std::function<void(DialogUser&)>& script, int endCommand) {
    DialogUser user;
    std::atomic<bool> stop{false};
    const DWORD hostThread = GetCurrentThreadId();
    std::thread driver([&] {
        user.dialog = waitFor([&]() -> HWND {
            if (stop) return HWND(1);
            for (HWND window : threadWindows(hostThread, "#32770"))
                if (windowCaption(window) == settingsDialogCaption) return window;
            return nullptr;
        });
        if (stop || user.dialog == nullptr) return;
        const std::vector<HWND> frames = threadWindows(hostThread, "GlimmerMiniFrame");
        user.frame = frames.empty() ? nullptr : frames.front();
        user.sheet = user.frame != nullptr ? GetWindow(user.frame, GW_CHILD) : nullptr;
        script(user);
        PostMessageA(user.dialog, WM_COMMAND, MAKEWPARAM(endCommand, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(user.dialog, endCommand)));
        // A box that a failed script left open, or that showed after it
        // gave up, would keep setup from returning: the suite would hang
        // instead of reporting the failure. Cancel whatever is still open.
        while (!stop) {
            Sleep(50);
            if (HWND left = ownedDialog(user, [](HWND) { return true; }))
                PostMessageA(left, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        }
    });
    const int32_t result = call(1, session.handle());
    stop = true;
    driver.join();
    EXPECT_EQ(result, 0);
    return user.dialog != nullptr && user.dialog != HWND(1);
}

}  // namespace glimmer::testing
