// The list files: the active list's file path, the two internal commands
// that move entries between the list box and that file, and the switch to
// the next list.
#ifndef VOMBLY_VIEW_LISTS_H
#define VOMBLY_VIEW_LISTS_H

#include <windows.h>

#include "core/format.h"

// <data folder>Vombly<active list>.dat, rebuilt at every call; NULL when it
// would not fit.
const char *ListFilePath(void);
// The same for list `list`, active or not; same buffer.
const char *ListFilePathOf(uint32_t list);

// Command 6: fills the list box from the active list's file and selects the
// remembered entry. A missing file is an empty list; a file that exists but
// cannot be read empties the list box and keeps it from being written over
// until it has been read, and the user is told once. A file that ends in
// damage shows the entries before it; the whole file is first kept aside
// (<file>.damaged, .damaged2, ...) and the user told how many were read.
// Each entry's text is the Unicode text its companion keeps for it, if any
// (store/list_store.h); a damaged companion is kept aside the same way and
// told once, and its entries show as the list file holds them.
LRESULT LoadListCommand(HINSTANCE instance, HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Command 7: writes the list box's entries to the active list's file.
// SaveActiveList does it and returns 1 when the file was written; a failure
// is told (once per failure) and the entries stay on screen.
LRESULT SaveListCommand(HINSTANCE instance, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
int SaveActiveList(void);

// Tries again the saves of the active list and the settings that failed.
void RetryFailedSaves(void);

// Shows the next list (1, 2, 3, 1, ...) with its remembered entry selected.
// A list whose last save failed is saved first; if that fails again the
// user is told and the list stays.
LRESULT ToggleListCommand(HINSTANCE instance, HWND window, UINT message, WPARAM wParam, LPARAM lParam);

#endif
