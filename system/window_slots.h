// WindowSlots: the handles of the main window (slot 1), its list box (2) and
// its Add, Remove and Toggle List buttons (3 to 5), reached by every handler.
#ifndef VOMBLY_SYSTEM_WINDOW_SLOTS_H
#define VOMBLY_SYSTEM_WINDOW_SLOTS_H

#include <windows.h>

enum { WindowSlotCount = 8, MainWindowSlot = 1 };

// With `set` non-zero stores `handle` in slot `index` and returns it;
// otherwise returns the slot's handle. An index above 7 stores nothing and
// returns NULL.
HWND WindowSlot(int set, unsigned int index, HWND handle);

#endif
