// What a double-click on an entry does: the entry goes to the clipboard as
// text with a click sound, and the window goes to the tray if the user
// chose so; a clipboard held by another program is told instead.
#ifndef VOMBLY_VIEW_SELECTION_H
#define VOMBLY_VIEW_SELECTION_H

#include <windows.h>

#include <stdint.h>

LRESULT SelectEntryCommand(HINSTANCE instance, HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// What a double-click does, for the selected entry: the context menu's Copy,
// Enter in the list box (CMD_COPY_SELECTED) and the tray menu. The entry goes
// to the clipboard with the click, the selection is recorded, then comes the
// paste back after the hotkey or the window to the tray as chosen, and the
// save.
void CopySelectedEntry(HINSTANCE instance, HWND window);
LRESULT CopyEntryCommand(HINSTANCE instance, HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The same for a text that is not in the list box (an entry of another
// list, chosen in the tray menu), `units` WCHARs long; `units` below zero
// copies nothing.
void CopyEntryText(HINSTANCE instance, HWND window, int32_t list, const WCHAR *text, int units);

#endif
