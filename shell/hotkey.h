// The global hotkey: its registration on the main window, what a press does
// (bring the window up with the list focused, or send it back to the tray),
// and the paste back into the window that was in front before the press.
#ifndef VOMBLY_SHELL_HOTKEY_H
#define VOMBLY_SHELL_HOTKEY_H

#include <windows.h>
#include <stdint.h>

enum { HotkeyId = 1 };
enum HotkeyState { HotkeyOff, HotkeyOn, HotkeyTaken };

// Registers the hotkey kept in the settings; when another program holds the
// combination, posts CMD_REPORT_HOTKEY so that the user hears of it once the
// window is up. Called at start, after the single-instance test.
void StartHotkey(HWND window);

// Replaces the registered hotkey with `modifiers` (MOD_* bits) and `key`
// (a virtual-key code; 0 for none). Returns 1 when the window now has that
// hotkey (or none was asked for), 0 when another program holds it; the
// window then has no hotkey.
int ApplyHotkey(HWND window, uint32_t modifiers, uint32_t key);
enum HotkeyState GetHotkeyState(void);

// The combination as the user reads it, "Ctrl+Shift+Insert".
void DescribeHotkey(uint32_t modifiers, uint32_t key, char *text, size_t size);

// The message box that says a combination is taken and where to change it.
void ReportHotkeyTaken(HWND owner, uint32_t modifiers, uint32_t key);

LRESULT OnHotkey(HINSTANCE instance, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT OnActivateApp(HINSTANCE instance, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT ReportHotkeyCommand(HINSTANCE instance, HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The window that was in front when the hotkey brought Vombly up, handed
// over once (NULL when the window came up some other way, or once the user
// has gone to another program since).
HWND TakeHotkeyOrigin(void);

// Gives `origin` the foreground back, waits (bounded) until the user's
// modifier keys are up, and types Ctrl+V into it. Returns 1 when the keys
// were sent; 0, with nothing typed, when the window is gone, does not come
// to the front, belongs to a process this one may not send input to, or the
// modifiers stay down.
int PasteInto(HWND origin);

#endif
