#include "view/paint.h"

#include <string.h>

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

static void DrawLogo(HINSTANCE instance, HDC dc, int x, int y)
{
    if (logo == NULL)
        logo = (HBITMAP)LoadImageA(instance, "Main_Logo", IMAGE_BITMAP, 0, 0, LR_DEFAULTSIZE);
    HDC memoryDc = CreateCompatibleDC(dc);
    HGDIOBJ previous = SelectObject(memoryDc, logo);
    BitBlt(dc, x, y, LogoWidth, LogoHeight, memoryDc, 0, 0, SRCCOPY);

    RECT frame = {x - 2, y - 2, x + LogoWidth + 3, y + LogoHeight + 3};
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

    SelectObject(dc, GetStockObject(ANSI_VAR_FONT));
    RECT logoCorner;
    PercentRect(8, 60, 0, 0, &logoCorner);
    DrawLogo(instance, dc, logoCorner.left, logoCorner.top);

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
