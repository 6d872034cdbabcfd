// Adding an entry to the active list and removing the selected one, each
// through its own dialog; the list file and the settings are saved after.
#ifndef VOMBLY_DIALOGS_ADD_REMOVE_H
#define VOMBLY_DIALOGS_ADD_REMOVE_H

#include <windows.h>

// Typed entries are limited to this many characters.
enum { AddTextLimit = 999 };

LRESULT AddStringCommand(HINSTANCE instance, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK AddDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT RemoveStringCommand(HINSTANCE instance, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK RemoveDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

#endif
