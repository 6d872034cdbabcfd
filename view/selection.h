// What a double-click on an entry does: the entry goes to the clipboard as
// plain text with a click sound, and the window goes to the tray if the
// user chose so.
#ifndef VOMBLY_VIEW_SELECTION_H
#define VOMBLY_VIEW_SELECTION_H

#include <windows.h>

LRESULT SelectEntryCommand(HINSTANCE instance, HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Puts `length` bytes of `text` and a terminating zero on the clipboard as
// CF_TEXT, owned by `owner`. Returns 1 when the clipboard took the block;
// on every other path the block is freed.
int CopyTextToClipboard(HWND owner, const char *text, size_t length);

#endif
