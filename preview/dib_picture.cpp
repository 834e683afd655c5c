#include "dib_picture.h"

void DibPicture::Prepare(HWND box, int32_t width, int32_t rows) {
    Close();
    RECT client{};
    ::GetClientRect(box, &client);
    m_placement = placePicture(width, rows, client.right - client.left, client.bottom - client.top);
    m_header = BITMAPINFOHEADER{};
    m_header.biSize = sizeof m_header;
    m_header.biWidth = width;
    m_header.biHeight = rows;
    m_header.biPlanes = 1;
    m_header.biBitCount = 32;
    m_header.biCompression = BI_RGB;
    m_context = DrawDibOpen();
    m_prepared = true;
}

void DibPicture::Draw(HWND box, const void* pixels) {
    if (!m_prepared || m_context == nullptr || pixels == nullptr) return;
    HDC dc = ::GetDC(box);
    if (dc == nullptr) return;
    DrawDibDraw(m_context, dc, m_placement.x, m_placement.y, m_placement.width, m_placement.height,
                &m_header, const_cast<void*>(pixels), 0, 0, m_header.biWidth, m_header.biHeight, 0);
    ::ReleaseDC(box, dc);
}

void DibPicture::Close() {
    if (m_context != nullptr) DrawDibClose(m_context);
    m_context = nullptr;
    m_prepared = false;
}
