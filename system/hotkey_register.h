// The global hotkey's registration on the main window, its state, and the
// combination as the user reads it; the handlers that answer a press live
// in shell/hotkey.
#ifndef VOMBLY_SYSTEM_HOTKEY_REGISTER_H
#define VOMBLY_SYSTEM_HOTKEY_REGISTER_H

#include <windows.h>
#include <stdint.h>

enum { HotkeyId = 1 };
enum HotkeyState { HotkeyOff, HotkeyOn, HotkeyTaken };

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

#endif
