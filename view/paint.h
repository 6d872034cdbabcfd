// The main window's own drawing: the outer frame, the logo in its frame and
// the active list's name above the list box.
#ifndef VOMBLY_VIEW_PAINT_H
#define VOMBLY_VIEW_PAINT_H

#include <windows.h>

// The logo's size at 96 DPI; above, it is drawn scaled (ScaleForDpi).
enum { LogoWidth = 200, LogoHeight = 260 };

// The paint cycle of the main window: PaintMainWindow between BeginPaint and
// EndPaint.
LRESULT OnPaint(HINSTANCE instance, HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Draws the main window's own picture (frames, logo, the active list's
// name) into `dc`, which has the client area's coordinates; the background
// and the controls are not drawn.
void PaintMainWindow(HINSTANCE instance, HDC dc);

// Deletes the logo bitmap the first paint loaded; the next paint loads it
// again. Called when the main window goes.
void FreeLogo(void);

// Draws `text` so that its cell ends at the control's top edge and starts at
// its left edge, in the device context's current font and colours.
void DrawLabelAbove(HDC dc, HWND control, const WCHAR *text);

#endif
