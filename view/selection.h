// What a double-click on an entry does: the entry goes to the clipboard as
// plain text with a click sound, and the window goes to the tray if the
// user chose so.
#ifndef VOMBLY_VIEW_SELECTION_H
#define VOMBLY_VIEW_SELECTION_H

#include <windows.h>

LRESULT SelectEntryCommand(HINSTANCE instance, HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// What a double-click does, for Enter in the list box (CMD_COPY_SELECTED)
// and the tray menu as well: the selected entry to the clipboard with the
// click, the selection recorded, then the paste back after the hotkey or the
// window to the tray as chosen, and the save.
void CopySelectedEntry(HINSTANCE instance, HWND window);
LRESULT CopySelectedCommand(HINSTANCE instance, HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The same for a text that is not in the list box (an entry of another
// list, chosen in the tray menu); `length` below zero copies nothing.
void CopyEntryText(HINSTANCE instance, HWND window, const char *text, int length);

// Puts `length` bytes of `text` and a terminating zero on the clipboard as
// CF_TEXT, owned by `owner`. Returns 1 when the clipboard took the block;
// on every other path the block is freed.
int CopyTextToClipboard(HWND owner, const char *text, size_t length);

#endif
