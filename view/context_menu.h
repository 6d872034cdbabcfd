// The list box's context menu (Copy, Edit, Remove, Move Up, Move Down,
// Import, Export) and its editing keys: F2 edits, Ctrl+Up and Ctrl+Down move.
#ifndef VOMBLY_VIEW_CONTEXT_MENU_H
#define VOMBLY_VIEW_CONTEXT_MENU_H

#include <windows.h>

// WM_CONTEXTMENU of the main window. From the list box: a right click on
// an entry selects it, then the menu opens where the click was (for the
// menu key, beside the selected entry). From anywhere else: the default.
LRESULT OnContextMenu(HINSTANCE instance, HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The index of the entry under `client` (list-box coordinates), or -1 where
// there is none.
int EntryAtPoint(HWND listBox, POINT client);

// The context menu as it stands for `listBox`: entry commands greyed
// without a selection, the moves greyed in a sorted list and at the ends.
// The caller destroys it.
HMENU BuildEntryMenu(HWND listBox);

// A key pressed in the list box: F2 sends Edit, Ctrl+Up and Ctrl+Down send
// the moves to `window`. Returns 1 when the key was one of them.
int HandleListEditKey(HWND window, WPARAM key);

#endif
