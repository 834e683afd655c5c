// Message maps: each class that handles messages writes one map inside its
// body, next to its handlers. The map expands into that class's one
// dispatch function, a chain of tests that ends in the base class's.
//
// A dispatch function answers whether it claimed the message (and then sets
// `result`). Messages whose default processing must still follow (scrolls,
// moves) run their handler and stay unclaimed.
#pragma once

#include <windows.h>

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                              \
protected:                                                                                  \
    bool ProcessWindowMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) \
        override {                                                                          \
        using MapBase = baseClass;                                                          \
        (void)result;

#define END_MESSAGE_MAP()                                                \
        return MapBase::ProcessWindowMessage(message, wParam, lParam, result); \
    }

#define GLIMMER_COMMAND_IS(id, code) \
    (message == WM_COMMAND && LOWORD(wParam) == (id) && HIWORD(wParam) == (code))

#define ON_BN_CLICKED(id, handler)           \
    if (GLIMMER_COMMAND_IS(id, BN_CLICKED)) { \
        handler();                            \
        result = 0;                           \
        return true;                          \
    }

#define ON_EN_CHANGE(id, handler)           \
    if (GLIMMER_COMMAND_IS(id, EN_CHANGE)) { \
        handler();                           \
        result = 0;                          \
        return true;                         \
    }

#define ON_EN_KILLFOCUS(id, handler)           \
    if (GLIMMER_COMMAND_IS(id, EN_KILLFOCUS)) { \
        handler();                              \
        result = 0;                             \
        return true;                            \
    }

// Scroll handlers get (code, position, sending control); default follows.
#define ON_WM_HSCROLL()                                                              \
    if (message == WM_HSCROLL) {                                                     \
        OnHScroll(LOWORD(wParam), static_cast<short>(HIWORD(wParam)),                \
                  reinterpret_cast<HWND>(lParam));                                   \
        return false;                                                                \
    }

#define ON_WM_VSCROLL()                                                              \
    if (message == WM_VSCROLL) {                                                     \
        OnVScroll(LOWORD(wParam), static_cast<short>(HIWORD(wParam)),                \
                  reinterpret_cast<HWND>(lParam));                                   \
        return false;                                                                \
    }

#define ON_WM_PAINT()          \
    if (message == WM_PAINT) { \
        OnPaint();             \
        result = 0;            \
        return true;           \
    }

#define ON_WM_MOVE()                                                                   \
    if (message == WM_MOVE) {                                                          \
        OnMove(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))); \
        return false;                                                                  \
    }

#define ON_WM_CREATE()                                                \
    if (message == WM_CREATE) {                                       \
        result = OnCreate(reinterpret_cast<CREATESTRUCTA*>(lParam)); \
        return true;                                                  \
    }

#define ON_WM_CLOSE()          \
    if (message == WM_CLOSE) { \
        OnClose();             \
        result = 0;            \
        return true;           \
    }

#define ON_WM_DESTROY()          \
    if (message == WM_DESTROY) { \
        OnDestroy();             \
        return false;            \
    }

#define ON_WM_SETFOCUS()                           \
    if (message == WM_SETFOCUS) {                  \
        OnSetFocus(reinterpret_cast<HWND>(wParam)); \
        result = 0;                                \
        return true;                               \
    }

#define ON_WM_ACTIVATE()                                                               \
    if (message == WM_ACTIVATE) {                                                      \
        OnActivate(LOWORD(wParam), reinterpret_cast<HWND>(lParam), HIWORD(wParam) != 0); \
        result = 0;                                                                    \
        return true;                                                                   \
    }

// A click on any button that `handler(id)` claims by answering true: for
// pages whose buttons come from a table.
#define ON_BN_CLICKED_FOR(handler)                                                   \
    if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED && handler(LOWORD(wParam))) { \
        result = 0;                                                                  \
        return true;                                                                 \
    }
