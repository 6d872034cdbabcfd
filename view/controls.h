// The main window's list box and three buttons: their creation and their
// layout by whole percentages of the client area.
#ifndef VOMBLY_VIEW_CONTROLS_H
#define VOMBLY_VIEW_CONTROLS_H

#include <windows.h>

// heightSpec for PlaceControl: two lines of a fresh device context's font.
enum { TwoTextLines = -3 };
// WM_DPICHANGED, which the XP headers leave out.
enum { DpiChangedMessage = 0x02E0 };

void CreateMainControls(HINSTANCE instance, HWND window);
LRESULT OnSize(HINSTANCE instance, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void PlaceControl(HWND control, int xPercent, int yPercent, int widthPercent, int heightSpec, BOOL repaint);

// The window moved to a monitor of another scale (HIWORD of wParam the new
// DPI, lParam the rectangle Windows suggests): it takes that rectangle, the
// controls the font of the new DPI, and the layout and picture are redone.
LRESULT OnDpiChanged(HINSTANCE instance, HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Fills `rect` with percentages of the main window's client size (the
// product is taken first, then truncated toward zero).
void PercentRect(int topPercent, int leftPercent, int bottomPercent, int rightPercent, RECT *rect);

#endif
