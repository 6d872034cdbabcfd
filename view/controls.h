// The main window's list box and three buttons: their creation and their
// layout by whole percentages of the client area.
#ifndef VOMBLY_VIEW_CONTROLS_H
#define VOMBLY_VIEW_CONTROLS_H

#include <windows.h>

// heightSpec for PlaceControl: two lines of a fresh device context's font.
enum { TwoTextLines = -3 };

void CreateMainControls(HINSTANCE instance, HWND window);
LRESULT OnSize(HINSTANCE instance, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void PlaceControl(HWND control, int xPercent, int yPercent, int widthPercent, int heightSpec, BOOL repaint);

// Fills `rect` with percentages of the main window's client size (the
// product is taken first, then truncated toward zero).
void PercentRect(int topPercent, int leftPercent, int bottomPercent, int rightPercent, RECT *rect);

#endif
