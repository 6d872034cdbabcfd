// The one place that opens the clipboard: a copy as CF_TEXT beside
// CF_UNICODETEXT, the marks that keep a private copy out of clipboard
// history, and the timed clearing of a private copy the user has not replaced.
#ifndef VOMBLY_VIEW_CLIPBOARD_H
#define VOMBLY_VIEW_CLIPBOARD_H

#include <windows.h>

#include <stdint.h>

enum {
    // The timer that clears a private copy; the save timer has id 0.
    PrivateClearTimerId = 42090,
    // A busy clipboard is tried this many times, this far apart.
    ClipboardOpenTries = 5,
    ClipboardRetryMs = 20,
    // When the clipboard is busy as the clearing is due, it is tried again
    // this many times, a second apart.
    PrivateClearRetries = 5,
    PrivateClearRetryMs = 1000
};

// Puts `length` bytes of `text` and a terminating zero on the clipboard as
// CF_TEXT, byte for byte, and beside it the same text converted from the
// ANSI code page as CF_UNICODETEXT, owned by `owner`. Returns 1 when the
// clipboard took both; on every other path every block is freed and 0 is
// returned.
int CopyTextToClipboard(HWND owner, const char *text, size_t length);

// The same, and with `privateCopy` the registered formats that keep the
// copy out of clipboard history, the cloud clipboard and clipboard viewers;
// a private copy that cannot carry them is not left on the clipboard. A
// private copy is cleared after GetPrivateClearSeconds() (never for 0) and
// at Exit, if the clipboard still holds it then.
int CopyEntryToClipboard(HWND owner, const char *text, size_t length, int privateCopy);

// Why the last copy failed: ERROR_BUSY while another program kept the
// clipboard open, ERROR_NOT_ENOUGH_MEMORY when the copy's memory could not
// be had, or the system's error; 0 after a copy that worked.
unsigned long GetCopyError(void);

// Copies an entry of list `list` (1 to 3), private when that list is.
int CopyListEntryToClipboard(HWND owner, int32_t list, const char *text, size_t length);
// The same for an entry as the list box keeps it: CF_UNICODETEXT is its
// `units` WCHARs, CF_TEXT its ANSI form, byte for byte as the list file
// keeps it.
int CopyListEntryToClipboardW(HWND owner, int32_t list, const WCHAR *text, int units);

// Empties the clipboard if it still holds the last private copy, unchanged
// since it was made (its sequence number tells). Returns 1 when it emptied
// it; 0 when there was nothing to clear, the user has copied something
// since, or the clipboard stayed busy (then `pending` stays set for a retry).
int ClearPrivateCopy(void);

// At Exit: the same, unless the user chose never to clear (0 seconds).
int ClearPrivateCopyAtExit(void);

// 1 while a private copy is waiting to be cleared.
int PrivateCopyPending(void);

// The clearing timer's handler: clears the private copy, or tries again a
// little later while the clipboard is busy.
LRESULT PrivateClearTimer(HINSTANCE instance, HWND window, UINT message, WPARAM wParam, LPARAM lParam);

#endif
