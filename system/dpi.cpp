#include "system/dpi.h"

#include "system/late_dlls.h"

static int mainWindowDpi;

static int ScreenDpi(void)
{
    HDC screen = GetDC(NULL);
    int dpi = screen != NULL ? GetDeviceCaps(screen, LOGPIXELSY) : BaseDpi;
    if (screen != NULL)
        ReleaseDC(NULL, screen);
    return dpi > BaseDpi ? dpi : BaseDpi;
}

int GetWindowDpi(HWND window)
{
    typedef UINT(WINAPI * GetDpiForWindowProc)(HWND);
    static GetDpiForWindowProc getDpiForWindow;
    static int looked;
    if (!looked) {
        getDpiForWindow = (GetDpiForWindowProc)(void *)LateSystemProc("user32.dll", "GetDpiForWindow");
        looked = 1;
    }
    if (window != NULL && getDpiForWindow != NULL) {
        int dpi = (int)getDpiForWindow(window);
        // 0 is a window of another thread's process Windows cannot tell.
        if (dpi != 0)
            return dpi > BaseDpi ? dpi : BaseDpi;
    }
    return ScreenDpi();
}

int GetMainWindowDpi(void)
{
    return mainWindowDpi != 0 ? mainWindowDpi : GetWindowDpi(NULL);
}

void SetMainWindowDpi(int dpi)
{
    mainWindowDpi = dpi > BaseDpi ? dpi : BaseDpi;
}

int ScaleForDpi(int pixels, int dpi)
{
    return dpi == BaseDpi ? pixels : MulDiv(pixels, dpi, BaseDpi);
}

int GetSystemMetricForDpi(int index, int dpi)
{
    typedef int(WINAPI * GetSystemMetricsForDpiProc)(int, UINT);
    GetSystemMetricsForDpiProc proc =
        (GetSystemMetricsForDpiProc)(void *)LateSystemProc("user32.dll", "GetSystemMetricsForDpi");
    if (proc != NULL)
        return proc(index, (UINT)dpi);
    return MulDiv(GetSystemMetrics(index), dpi, ScreenDpi());
}

static struct {
    int dpi;
    HFONT font;
} dpiFonts[DpiFontSlots];

HFONT GetDpiFont(int dpi)
{
    HFONT stock = (HFONT)GetStockObject(ANSI_VAR_FONT);
    if (dpi <= BaseDpi)
        return stock;
    for (const auto &slot : dpiFonts) {
        if (slot.dpi == dpi)
            return slot.font;
    }
    for (auto &slot : dpiFonts) {
        if (slot.font != NULL)
            continue;
        // The stock font is the 96-DPI one: its face, weight and character
        // set, at the height the scale asks for.
        LOGFONTA font = {};
        if (GetObjectA(stock, sizeof font, &font) != sizeof font)
            return stock;
        // The height asked for is the stock font's cell as drawn, scaled;
        // the width is left to the font's own proportions.
        TEXTMETRICA metrics = {};
        HDC dc = CreateCompatibleDC(NULL);
        HGDIOBJ previous = SelectObject(dc, stock);
        GetTextMetricsA(dc, &metrics);
        SelectObject(dc, previous);
        DeleteDC(dc);
        font.lfHeight = ScaleForDpi(metrics.tmHeight != 0 ? metrics.tmHeight : font.lfHeight, dpi);
        font.lfWidth = 0;
        slot.font = CreateFontIndirectA(&font);
        if (slot.font == NULL)
            return stock;
        slot.dpi = dpi;
        return slot.font;
    }
    return stock;
}

void FreeDpiFonts(void)
{
    for (auto &slot : dpiFonts) {
        if (slot.font != NULL)
            DeleteObject(slot.font);
        slot.font = NULL;
        slot.dpi = 0;
    }
}
