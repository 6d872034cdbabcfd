// The main list box's keys, in one table: Enter copies like a double-click,
// Esc sends the window to the tray, Delete removes, Ctrl+Tab toggles the
// list, F2 edits, Ctrl+Up and Ctrl+Down move; and characters typed in quick
// succession find the entry they start.
#ifndef VOMBLY_VIEW_LIST_KEYS_H
#define VOMBLY_VIEW_LIST_KEYS_H

#include <windows.h>

// Puts ListKeysProc in front of the list box's own window procedure.
void SubclassListBox(HWND listBox);
LRESULT CALLBACK ListKeysProc(HWND listBox, UINT message, WPARAM wParam, LPARAM lParam);

#endif
