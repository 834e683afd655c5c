// Reads a window's caption from another thread without sending it a message.
// GetWindowText sends WM_GETTEXT to a window of another thread of the same
// process; a watcher thread doing that while the test's thread waits to join
// it deadlocks, which a slow machine hits sooner or later.
#pragma once

#include <windows.h>

#include <string>

namespace glimmer::testing {

inline std::string windowCaption(HWND window) {
    wchar_t wide[256] = {};
    const int length = InternalGetWindowText(window, wide, 256);
    char narrow[512] = {};
    if (length > 0) WideCharToMultiByte(CP_UTF8, 0, wide, length, narrow, sizeof narrow - 1, nullptr, nullptr);
    return narrow;
}

}  // namespace glimmer::testing
