// The Settings dialog: the three list names, minimise after selection and
// alphabetical sorting.
#ifndef VOMBLY_DIALOGS_SETTINGS_DIALOG_H
#define VOMBLY_DIALOGS_SETTINGS_DIALOG_H

#include <windows.h>

// Each name edit accepts at most this many characters.
enum { ListNameTypeLimit = 60 };

LRESULT SettingsCommand(HINSTANCE instance, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK SettingsDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

#endif
