// Plays the user of the real settings dialog of Fx.prm from a second
// thread, by control id and window messages only: the setup call runs on
// the test's thread, a script runs on the driver thread while the dialog is
// open, and the dialog is then left with OK or Cancel.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "clip_frames.h"
#include "effect_session.h"
#include "plugin_fixture.h"

namespace glimmer::testing {

// Serves the built-in moving clips and notes every request.
class LoggedClipFrames : public ClipFrames {
public:
    struct Request {
        int32_t frame;
        int32_t track;
        bool operator==(const Request& other) const { return frame == other.frame && track == other.track; }
    };
    void fill(int32_t track, int32_t frameIndex, HostFrameRecord& frame) override;
    // The requests since the last take, oldest first.
    std::vector<Request> take();

private:
    std::mutex mutex_;
    std::vector<Request> requests_;
    MovingClipFrames clips_;
};

std::ostream& operator<<(std::ostream& out, const LoggedClipFrames::Request& request);

// A picture of part of the screen, top line first, 0x00RRGGBB words.
struct ScreenPicture {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;
    uint32_t at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
    // Number of different colours: 1 for a blank area.
    std::size_t colourCount() const;
    bool operator==(const ScreenPicture& other) const { return pixels == other.pixels; }
};

class DialogUser {
public:
    HWND dialog = nullptr;
    HWND frame = nullptr;  // the pop-up that holds the sheet
    HWND sheet = nullptr;

    HWND control(int id) const { return GetDlgItem(dialog, id); }
    // The page in front and a control of it.
    HWND page() const;
    HWND pageControl(int id) const { return GetDlgItem(page(), id); }
    void showPage(int index) const;
    int activePage() const;

    // Sets a trackbar as a drag does and sends its parent the notification.
    void moveTrackbar(HWND trackbar, int position, int code = TB_THUMBTRACK) const;
    // Sets an up-down to `position` and notifies its parent as a click does.
    void moveSpin(HWND spin, int position) const;
    void click(HWND button) const { SendMessageA(button, BM_CLICK, 0, 0); }
    // Clicks a button whose handler opens a modal window: the click is
    // posted, since a sent one would wait for that window to close.
    void clickAndLeave(HWND button) const;
    void setText(HWND window, const std::string& text) const;
    std::string text(HWND window) const;
    int check(HWND button) const { return static_cast<int>(SendMessageA(button, BM_GETCHECK, 0, 0)); }
    int trackbarPosition(HWND trackbar) const { return static_cast<int>(SendMessageA(trackbar, TBM_GETPOS, 0, 0)); }

    // Sets the text from a helper thread, for text whose change handling
    // shows a message: answers that message's text and presses its OK.
    std::string setTextExpectingMessage(HWND window, const std::string& text) const;
    // Waits for a message box of the dialog's thread, answers its text and
    // presses OK (or "Yes" where it asks); empty when none came.
    std::string dismissMessageBox() const;
    // Waits for the common open or save dialog, types `path` and presses OK.
    bool chooseFile(const std::string& path) const;

    // What the screen shows in a window's client area.
    ScreenPicture captureClient(HWND window) const;
    ScreenPicture captureWindow(HWND window) const;
    // Writes a capture as a PNG into the folder named by the environment
    // variable GLIMMER_SCREENSHOT_DIR, when it is set.
    void saveScreenshot(const ScreenPicture& picture, const char* name) const;
    ScreenPicture captureDialogAndSheet() const;
};

// Every dialog test: the plug-in loaded, a session of 160 x 120 frames
// whose clips log their requests, 50 frames at 25 per second, and a host
// settings block with the defaults.
class DialogTest : public PluginTest {
protected:
    static constexpr int32_t frameWidth = 160;
    static constexpr int32_t frameRows = 120;

    void SetUp() override;
    // Runs the setup selector with `script` playing the user, then ends the
    // dialog with `endCommand` (IDOK or IDCANCEL). False when no dialog came.
    bool runSetup(const std::function<void(DialogUser&)>& script, int endCommand = IDOK);
    // The working copy while the dialog is open.
    TransitionSettings& working() { return **session.record().settingsHandle; }
    TransitionSettings& hostSettings() { return **hostSettings_; }

    EffectSession session{frameWidth, frameRows};
    LoggedClipFrames clips;

private:
    SettingsHandle hostSettings_ = nullptr;
};

}  // namespace glimmer::testing
