// Paste back: the window that was in front when the hotkey brought Vombly
// up, and typing Ctrl+V into it once an entry has been copied.
#ifndef VOMBLY_SYSTEM_PASTE_BACK_H
#define VOMBLY_SYSTEM_PASTE_BACK_H

#include <windows.h>

// How long an origin is kept: a copy later than this after the hotkey
// pastes nowhere.
enum { HotkeyOriginLifetimeMs = 30000 };

// Remembers `origin` (NULL forgets it) with the time (GetTickCount): set by a
// hotkey press that brought the window to the front, cleared when the user
// goes to another program or sends the window back.
void SetHotkeyOrigin(HWND origin);

// The window that was in front when the hotkey brought Vombly up, handed
// over once (NULL when the window came up some other way, once the user has
// gone to another program since, or once HotkeyOriginLifetimeMs have passed,
// counted across GetTickCount's wrap after 49.7 days).
HWND TakeHotkeyOrigin(void);

// Gives `origin` the foreground back, waits (bounded) until the user's
// modifier keys are up, and types Ctrl+V into it. Returns 1 when the keys
// were sent; 0, with nothing typed, when the window is gone, does not come
// to the front, belongs to a process this one may not send input to, or the
// modifiers stay down.
int PasteInto(HWND origin);

#endif
