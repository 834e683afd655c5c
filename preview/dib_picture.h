// A 32-bit picture shown in a group box with DrawDib: its header, where it
// goes in the box, and the drawing context. Used by the dialog's preview and
// by the Sources page's thumbnail.
#pragma once

#include <windows.h>
#include <vfw.h>

#include <cstdint>

#include "preview_rules.h"

class DibPicture {
public:
    DibPicture() = default;
    DibPicture(const DibPicture&) = delete;
    DibPicture& operator=(const DibPicture&) = delete;
    ~DibPicture() { Close(); }

    // Describes a width x rows picture (first row in memory at the bottom),
    // places it in the client area of `box` and opens the drawing context.
    void Prepare(HWND box, int32_t width, int32_t rows);
    bool IsPrepared() const { return m_prepared; }
    const PicturePlacement& Placement() const { return m_placement; }

    // Draws `pixels` into the box; nothing before Prepare or without a
    // context. The pixels are passed at every draw, so a host that moves
    // its frame buffer between draws is followed.
    void Draw(HWND box, const void* pixels);
    // Closes the drawing context; Prepare must run again before the next draw.
    void Close();

private:
    BITMAPINFOHEADER m_header{};
    PicturePlacement m_placement{};
    HDRAWDIB m_context = nullptr;
    bool m_prepared = false;
};
