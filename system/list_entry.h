// The list box as a service: the one way the program reads an entry's text
// out of it (through its Unicode messages, as Unicode or in its ANSI form),
// the ANSI form the list file keeps, and what its style allows.
#ifndef VOMBLY_SYSTEM_LIST_ENTRY_H
#define VOMBLY_SYSTEM_LIST_ENTRY_H

#include <windows.h>

// Copies entry `index` of `listBox` into `buffer` (`size` bytes, always
// zero-terminated on success) and returns its length in bytes. Returns -1,
// with buffer[0] set to zero where there is room, when the index is not in
// the list or the text does not fit.
int ReadListEntry(HWND listBox, int index, char *buffer, size_t size);

// The same as Unicode: entry `index` into `buffer` (`units` WCHARs, always
// zero-terminated on success); returns its length in WCHARs, or -1.
int ReadListEntryW(HWND listBox, int index, WCHAR *buffer, size_t units);

// The ANSI form of `units` WCHARs of text, as the list file and CF_TEXT keep
// it: each character the code page cannot hold becomes the code page's
// replacement for it. Returns its length with the form zero-terminated in
// `buffer`, or -1 when it does not fit `size` bytes. *exact (may be NULL) is
// set to 1 when the form gives back the very same text, 0 when only the
// Unicode text carries it.
int AnsiFormOf(const WCHAR *text, int units, char *buffer, size_t size, int *exact);

// Adds `text` as Unicode (in its sorted place in a sorted list box); returns
// its index or a negative LB_ value.
LRESULT AddListEntryW(HWND listBox, const WCHAR *text);

// 1 when the list box sorts its entries, so that their order is not the user's.
int ListBoxSorts(HWND listBox);

// Whether the selected entry of `listBox` can move one place up (-1) or down (+1).
int CanMoveEntry(HWND listBox, int direction);

#endif
