// Plays the user of the settings dialog from a second thread: waits for the
// modal dialog of the setup call, lets the test look around while it is
// open, then ends it with OK or Cancel as a click would.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <thread>

namespace glimmer::testing {

// A top-level window of the test host's thread whose WM_APP runs a test's
// code on that thread, inside whatever message loop is running there.
class HostMainWindow {
public:
    HostMainWindow();
    ~HostMainWindow();
    HWND window() const { return window_; }
    // Runs `work` on the window's thread; from any thread, waits until done.
    void runOnHostThread(const std::function<void()>& work) const;

private:
    HWND window_;
};

class DialogDriver {
public:
    // command: IDOK or IDCANCEL. whileOpen runs on the host's thread while
    // the dialog is open, before the command is sent.
    DialogDriver(const HostMainWindow& host, int command, std::function<void()> whileOpen = {});
    // Stops waiting (a setup that opened no dialog) and joins the thread.
    ~DialogDriver();
    DialogDriver(const DialogDriver&) = delete;
    DialogDriver& operator=(const DialogDriver&) = delete;

    // Call after the setup call returned.
    void finish();
    bool sawDialog() const { return dialog_ != nullptr; }
    HWND dialogOwner() const { return owner_; }
    int dialogsSeen() const { return dialogsSeen_; }

private:
    void run();

    const HostMainWindow& host_;
    int command_;
    std::function<void()> whileOpen_;
    std::atomic<bool> stop_{false};
    HWND dialog_ = nullptr;
    HWND owner_ = nullptr;
    int dialogsSeen_ = 0;
    std::thread thread_;
};

}  // namespace glimmer::testing
