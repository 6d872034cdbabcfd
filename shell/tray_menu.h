// The tray icon's menu: Show Vombly, one submenu per list whose entries copy
// at a click, Settings and Exit.
#ifndef VOMBLY_SHELL_TRAY_MENU_H
#define VOMBLY_SHELL_TRAY_MENU_H

#include <windows.h>

enum {
    // A submenu shows at most this many entries, then "More... (open Vombly)".
    TrayMenuEntryLimit = 300,
    // Item ids of the entries: first id + (list - 1) * stride + index; the
    // index TrayMenuEntryLimit is the list's "More..." item.
    TrayEntryFirstId = 42000,
    TrayEntryStride = 1000
};

// Opens the menu at the pointer and carries out what the user chose.
void ShowTrayMenu(HINSTANCE instance, HWND window);

// Show Vombly: what a double-click on the tray icon does.
LRESULT ShowWindowCommand(HINSTANCE instance, HWND window, UINT message, WPARAM wParam, LPARAM lParam);

#endif
