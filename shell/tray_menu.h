// The tray icon's menu: Show Vombly, one submenu per list whose entries copy
// at a click, Settings and Exit.
#ifndef VOMBLY_SHELL_TRAY_MENU_H
#define VOMBLY_SHELL_TRAY_MENU_H

#include <windows.h>

enum {
    // A submenu shows at most this many entries, then "More... (open Vombly)".
    TrayMenuEntryLimit = 300,
    // Item ids of the entries: first id + (list - 1) * stride + index; the
    // index TrayMenuEntryLimit is the list's "More..." item. The range lies
    // above every other command id, so one command table serves them all.
    TrayEntryFirstId = 50000,
    TrayEntryStride = 1000,
    TrayEntryLastId = TrayEntryFirstId + 3 * TrayEntryStride - 1
};

// Opens the menu at the pointer; the choice arrives as WM_COMMAND with the
// item's id, through the command table like every other command.
void ShowTrayMenu(HWND window);

// A list entry (or a list's "More...") chosen in the tray menu.
LRESULT TrayEntryCommand(HINSTANCE instance, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Settings and Exit of the tray menu: the window first, then the command.
LRESULT TraySettingsCommand(HINSTANCE instance, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT TrayExitCommand(HINSTANCE instance, HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Show Vombly: what a double-click on the tray icon does.
LRESULT ShowWindowCommand(HINSTANCE instance, HWND window, UINT message, WPARAM wParam, LPARAM lParam);

#endif
