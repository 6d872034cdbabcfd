// The one way the program reads an entry's text out of a list box: through
// the list box's Unicode messages, converted to the ANSI code page.
#ifndef VOMBLY_SYSTEM_LIST_ENTRY_H
#define VOMBLY_SYSTEM_LIST_ENTRY_H

#include <windows.h>

// Copies entry `index` of `listBox` into `buffer` (`size` bytes, always
// zero-terminated on success) and returns its length in bytes. Returns -1,
// with buffer[0] set to zero where there is room, when the index is not in
// the list or the text does not fit.
int ReadListEntry(HWND listBox, int index, char *buffer, size_t size);

#endif
