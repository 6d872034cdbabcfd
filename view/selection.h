// What a double-click on an entry does: the entry goes to the clipboard as
// plain text with a click sound, and the window goes to the tray if the
// user chose so; a clipboard held by another program is told instead.
#ifndef VOMBLY_VIEW_SELECTION_H
#define VOMBLY_VIEW_SELECTION_H

#include <windows.h>

LRESULT SelectEntryCommand(HINSTANCE instance, HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Opens the clipboard for `owner`, asking again a few times over at most
// about 100 ms while another program holds it. Returns 1 when it is open.
int OpenClipboardPatiently(HWND owner);

// Puts `length` bytes of `text` and a terminating zero on the clipboard as
// CF_TEXT, owned by `owner`. Returns 1 when the clipboard took the block;
// on every other path the block is freed.
int CopyTextToClipboard(HWND owner, const char *text, size_t length);

#endif
