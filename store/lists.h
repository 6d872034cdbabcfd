// The list files: the active list's file path, the two internal commands
// that move entries between the list box and that file, and the switch to
// the next list.
#ifndef VOMBLY_STORE_LISTS_H
#define VOMBLY_STORE_LISTS_H

#include <windows.h>

#include "store/format.h"

// One entry's text while a list is loaded or saved, or an entry is copied.
extern char listEntryText[ListEntryBufferSize];

// <data folder>Vombly<active list>.dat, rebuilt at every call; NULL when it
// would not fit.
const char *ListFilePath(void);
// The same for list `list`, active or not; same buffer.
const char *ListFilePathOf(uint32_t list);

// Command 6: fills the list box from the active list's file and selects the
// remembered entry. A missing file is an empty list; a file that exists but
// cannot be read empties the list box and keeps it from being written over
// until it has been read.
LRESULT LoadListCommand(HINSTANCE instance, HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Command 7: writes the list box's entries to the active list's file.
LRESULT SaveListCommand(HINSTANCE instance, HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Shows the next list (1, 2, 3, 1, ...) with its remembered entry selected.
LRESULT ToggleListCommand(HINSTANCE instance, HWND window, UINT message, WPARAM wParam, LPARAM lParam);

#endif
