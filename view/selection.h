// What a double-click on an entry does: the entry goes to the clipboard as
// text with a click sound, and the window goes to the tray if the user
// chose so; a clipboard held by another program is told instead.
#ifndef VOMBLY_VIEW_SELECTION_H
#define VOMBLY_VIEW_SELECTION_H

#include <windows.h>

LRESULT SelectEntryCommand(HINSTANCE instance, HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The context menu's Copy: what a double-click does, for the selected entry.
LRESULT CopyEntryCommand(HINSTANCE instance, HWND window, UINT message, WPARAM wParam, LPARAM lParam);

#endif
