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
// While the list's last save failed, the list box is kept as it is.
// Each entry's text is the Unicode text its companion keeps for it, if any
// (store/list_store.h); a damaged companion is kept aside the same way and
// told once, and its entries show as the list file holds them.
LRESULT LoadListCommand(HINSTANCE instance, HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Command 7: writes the list box's entries to the active list's file.
// SaveActiveList does it and returns 1 when the file was written; a failure
// is told (once per failure) and the entries stay on screen.
LRESULT SaveListCommand(HINSTANCE instance, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
int SaveActiveList(void);

// 1 when the active list may be changed. A list whose file could not be
// read is read again first; while it still cannot be, the user is told
// that nothing can be added to it or changed in it, and 0 is returned.
int ActiveListChangeable(void);

// At the end: when the active list's last save failed, its entries are
// written to <list file>.unsaved, or to the temporary folder when that
// fails. Returns 1 with the path in `kept`, 0 when nothing was unsaved, -1
// when they could not be kept anywhere.
int KeepUnsavedEntries(char *kept, size_t size);

// At start: entries kept at the last end are offered back, list by list;
// taken back, they become the list's file; left, they are offered again at
// the next start.
void OfferKeptEntries(void);

// Tries again the saves of the active list and the settings that failed.
void RetryFailedSaves(void);

// Shows the next list (1, 2, 3, 1, ...) with its remembered entry selected.
// A list whose last save failed is saved first; if that fails again the
// user is told and the list stays.
LRESULT ToggleListCommand(HINSTANCE instance, HWND window, UINT message, WPARAM wParam, LPARAM lParam);

#endif
