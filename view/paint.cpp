#include "view/paint.h"

#include <string.h>

#include "system/dpi.h"
#include "system/window_slots.h"
#include "res/resource.h"
#include "store/settings.h"
#include "view/controls.h"

void DrawLabelAbove(HDC dc, HWND control, const WCHAR *text)
{
    if (text == NULL)
        return;
    TEXTMETRICA metrics = {};
    GetTextMetricsA(dc, &metrics);
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof placement;
    GetWindowPlacement(control, &placement);
    TextOutW(dc, placement.rcNormalPosition.left,
             placement.rcNormalPosition.top - (metrics.tmHeight + metrics.tmExternalLeading), text,
             (int)wcslen(text));
}

// The logo is decoded once, at the first paint, and kept until the window
// goes: a repaint only copies it.
static HBITMAP logo;

void FreeLogo(void)
{
    if (logo != NULL)
        DeleteObject(logo);
    logo = NULL;
}

static void DrawLogo(HINSTANCE instance, HDC dc, int x, int y, int dpi)
{
    if (logo == NULL)
        logo = (HBITMAP)LoadImageA(instance, "Main_Logo", IMAGE_BITMAP, 0, 0, LR_DEFAULTSIZE);
    HDC memoryDc = CreateCompatibleDC(dc);
    HGDIOBJ previous = SelectObject(memoryDc, logo);
    int width = ScaleForDpi(LogoWidth, dpi), height = ScaleForDpi(LogoHeight, dpi);
    if (dpi == BaseDpi) {
        BitBlt(dc, x, y, LogoWidth, LogoHeight, memoryDc, 0, 0, SRCCOPY);
    } else {
        // HALFTONE averages the pixels it stretches over; it wants the
        // brush origin set after it is chosen.
        int mode = SetStretchBltMode(dc, HALFTONE);
        POINT origin;
        SetBrushOrgEx(dc, 0, 0, &origin);
        StretchBlt(dc, x, y, width, height, memoryDc, 0, 0, LogoWidth, LogoHeight, SRCCOPY);
        SetBrushOrgEx(dc, origin.x, origin.y, NULL);
        SetStretchBltMode(dc, mode);
    }

    // The etched edge is two pixels at every scale, as the system's are;
    // the one-pixel gap on the right and at the bottom is scaled.
    RECT frame = {x - 2, y - 2, x + width + ScaleForDpi(1, dpi) + 2, y + height + ScaleForDpi(1, dpi) + 2};
    DrawEdge(dc, &frame, EDGE_ETCHED, BF_RECT | BF_ADJUST);

    // The bitmap is deselected so that it can be deleted at the end.
    SelectObject(memoryDc, previous);
    DeleteDC(memoryDc);
}

void PaintMainWindow(HINSTANCE instance, HDC dc)
{
    HWND listBox = WindowSlot(0, IDC_LISTBOX, NULL);
    RECT outer;
    PercentRect(2, 2, 98, 98, &outer);
    DrawEdge(dc, &outer, EDGE_ETCHED, BF_RECT | BF_ADJUST);

    int dpi = GetMainWindowDpi();
    SelectObject(dc, GetDpiFont(dpi));
    RECT logoCorner;
    PercentRect(8, 60, 0, 0, &logoCorner);
    DrawLogo(instance, dc, logoCorner.left, logoCorner.top, dpi);

    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    WCHAR name[ListNameSize];
    GetListNameW((int32_t)GetActiveList(), name, ARRAYSIZE(name));
    DrawLabelAbove(dc, listBox, name);
}

LRESULT OnPaint(HINSTANCE instance, HWND window, UINT, WPARAM, LPARAM)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    PaintMainWindow(instance, dc);
    EndPaint(window, &paint);
    return 0;
}
