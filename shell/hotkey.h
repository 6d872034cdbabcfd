// What a press of the global hotkey does: bring the window up with the list
// focused (remembering the window the user came from), or send it back to
// the tray; and the start's registration with its report of a taken
// combination.
#ifndef VOMBLY_SHELL_HOTKEY_H
#define VOMBLY_SHELL_HOTKEY_H

#include <windows.h>

// Registers the hotkey kept in the settings; when another program holds the
// combination, posts CMD_REPORT_HOTKEY so that the user hears of it once the
// window is up. Called at start, after the single-instance test.
void StartHotkey(HWND window);

LRESULT OnHotkey(HINSTANCE instance, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT OnActivateApp(HINSTANCE instance, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT ReportHotkeyCommand(HINSTANCE instance, HWND window, UINT message, WPARAM wParam, LPARAM lParam);

#endif
