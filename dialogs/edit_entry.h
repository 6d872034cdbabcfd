// Changing the selected entry's text in its own dialog, and moving the
// selected entry up or down an unsorted list; each change is saved at once.
#ifndef VOMBLY_DIALOGS_EDIT_ENTRY_H
#define VOMBLY_DIALOGS_EDIT_ENTRY_H

#include <windows.h>

// Edit...: opens EDITBOX filled with the selected entry. Save replaces the
// entry's text where it stands (a sorted list puts it at its sorted place),
// keeps it selected and saves the list and the settings; Cancel, Esc or an
// emptied box change nothing. Nothing happens without a selection.
LRESULT EditEntryCommand(HINSTANCE instance, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK EditDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Move Up and Move Down: swap the selected entry with its neighbour, keep
// it selected and save at once. They do nothing in a sorted list, on the
// first (up) or last (down) entry, or without a selection.
LRESULT MoveEntryUpCommand(HINSTANCE instance, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT MoveEntryDownCommand(HINSTANCE instance, HWND window, UINT message, WPARAM wParam, LPARAM lParam);

#endif
