// Pictures for the paint and display-scale tests: a 32-bit top-down image
// that a drawing function paints into, read back as pixels, and a window's
// client area as the screen shows it.
#ifndef VOMBLY_TESTS_WIN_DRAW_IMAGE_H
#define VOMBLY_TESTS_WIN_DRAW_IMAGE_H

#include <windows.h>

#include <vector>

// 0x00RRGGBB pixels of a 32-bit top-down image.
struct Image {
    int width = 0, height = 0;
    std::vector<DWORD> pixels;
    DWORD at(int x, int y) const { return pixels[(size_t)y * width + x] & 0xFFFFFF; }
};

inline BITMAPINFO topDownInfo(int width, int height)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

// A 32-bit memory DC of the given size; `draw` paints into it and the
// pixels are returned.
template <typename Draw> Image drawImage(int width, int height, Draw draw)
{
    Image image;
    BITMAPINFO info = topDownInfo(width, height);
    void *bits = NULL;
    HBITMAP dib = CreateDIBSection(NULL, &info, DIB_RGB_COLORS, &bits, NULL, 0);
    if (dib == NULL)
        return image;
    HDC memory = CreateCompatibleDC(NULL);
    HGDIOBJ previous = SelectObject(memory, dib);
    draw(memory);
    GdiFlush();
    image.width = width;
    image.height = height;
    image.pixels.assign((DWORD *)bits, (DWORD *)bits + (size_t)width * height);
    SelectObject(memory, previous);
    DeleteDC(memory);
    DeleteObject(dib);
    return image;
}

// Repaints the window's client area, its controls too, now and reads it
// back from the screen.
inline Image captureClient(HWND window)
{
    RedrawWindow(window, NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    RECT client;
    GetClientRect(window, &client);
    return drawImage(client.right, client.bottom, [window, &client](HDC memory) {
        HDC dc = GetDC(window);
        BitBlt(memory, 0, 0, client.right, client.bottom, dc, 0, 0, SRCCOPY);
        ReleaseDC(window, dc);
    });
}

#endif
