// The tray of the virtual desktop's taskbar, and the pointer moves the
// harness has no helper for: a right click, a drag.
//
// Wine 8's taskbar ("Shell_TrayWnd", of explorer) paints its tray icons
// itself, right-aligned in slots of small-icon size plus a border; an icon
// is no window of its own. What an icon does have is a tooltip window owned
// by the taskbar, which shows the owner's tip text once the pointer rests
// on the icon. Counting those windows tells nothing: explorer keeps
// them after their icons have gone. So the icons are counted from the
// pixels of the slots and told apart by resting on each in turn.
#ifndef VOMBLY_TESTS_E2E_TRAY_H
#define VOMBLY_TESTS_E2E_TRAY_H

#include <windows.h>

#include <string>
#include <vector>

#include "harness.h"

// The visible taskbar, or NULL.
HWND taskbarWindow();

struct TrayIcon {
    POINT at;        // the middle of its slot, on screen
    std::string tip; // its tooltip
};
// The tray's icons from the right end: the slots painted with an icon,
// each with the tooltip that shows while the pointer rests on it ("" if
// none showed).
std::vector<TrayIcon> trayIcons();
// How many of the icons have the tooltip `tip`.
int trayIconCount(const char *tip);
// Looks until an icon with the tooltip `tip` is there; true with its
// middle in `at`.
bool findTrayIcon(const char *tip, POINT *at, int timeoutMs = UiTimeoutMs);

bool rightClick(POINT at);
// Presses the left button at `from`, moves to `to` in a few steps and
// releases it there.
bool drag(POINT from, POINT to);

// A point of `window` whose WM_NCHITTEST answer is `area`, one of
// HTCLOSE, HTRIGHT, HTBOTTOMRIGHT and HTCAPTION: well inside the area, not
// on its rim. False when none is found.
bool pointOfArea(HWND window, LRESULT area, POINT *at);

#endif
