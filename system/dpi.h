// The display scale: the DPI a window is shown at, the 96-DPI layout's
// pixels at that DPI, and the main window's font made once for each DPI.
#ifndef VOMBLY_SYSTEM_DPI_H
#define VOMBLY_SYSTEM_DPI_H

#include <windows.h>

enum { BaseDpi = 96, DpiFontSlots = 4 };

// The DPI of the monitor `window` is on where Windows tells it
// (GetDpiForWindow, Windows 10 1607 on), else the screen's LOGPIXELSY;
// the screen's for a NULL window. Never below 96.
int GetWindowDpi(HWND window);

// The DPI the main window is laid out and drawn for: set when it is created
// and when it moves to a monitor of another scale; until then the screen's.
int GetMainWindowDpi(void);
void SetMainWindowDpi(int dpi);

// `pixels` of the 96-DPI layout at `dpi` (MulDiv, rounded).
int ScaleForDpi(int pixels, int dpi);

// GetSystemMetrics(index) as Windows gives it at `dpi`: from
// GetSystemMetricsForDpi where there is one, else the screen's value scaled
// from the screen's DPI.
int GetSystemMetricForDpi(int index, int dpi);

// The main window's font at `dpi`: the stock ANSI_VAR_FONT at 96 DPI;
// above, one of the same face and style at the scaled height, made at the
// first call for that DPI and kept until FreeDpiFonts. When every slot is
// taken, the stock font.
HFONT GetDpiFont(int dpi);
void FreeDpiFonts(void);

#endif
