// The list box's context menu (Copy, Edit, Remove, Move Up, Move Down,
// Import, Export); its keys (F2, Ctrl+Up, Ctrl+Down) are in view/list_keys.
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

#endif
