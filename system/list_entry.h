// The list box as a service: the one way the program reads an entry's text
// out of it (through its Unicode messages, converted to the ANSI code page),
// and what its style allows.
#ifndef VOMBLY_SYSTEM_LIST_ENTRY_H
#define VOMBLY_SYSTEM_LIST_ENTRY_H

#include <windows.h>

// Copies entry `index` of `listBox` into `buffer` (`size` bytes, always
// zero-terminated on success) and returns its length in bytes. Returns -1,
// with buffer[0] set to zero where there is room, when the index is not in
// the list or the text does not fit.
int ReadListEntry(HWND listBox, int index, char *buffer, size_t size);

// 1 when the list box sorts its entries, so that their order is not the user's.
int ListBoxSorts(HWND listBox);

// Whether the selected entry of `listBox` can move one place up (-1) or down (+1).
int CanMoveEntry(HWND listBox, int direction);

#endif
