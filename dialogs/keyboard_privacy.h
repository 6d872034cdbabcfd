// The Keyboard and Privacy dialog: the global hotkey (or none), the paste
// into the program the hotkey came from, and which lists are private with
// the seconds after which a private copy is cleared.
#ifndef VOMBLY_DIALOGS_KEYBOARD_PRIVACY_H
#define VOMBLY_DIALOGS_KEYBOARD_PRIVACY_H

#include <windows.h>

// The seconds field accepts at most this many digits.
enum { ClearSecondsDigits = 5 };

LRESULT KeyboardPrivacyCommand(HINSTANCE instance, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK KeyboardPrivacyDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

#endif
