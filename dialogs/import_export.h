// Import into This List and Export This List: the active list as a UTF-8
// text file (store/text_codec), chosen with the common file dialogs.
#ifndef VOMBLY_DIALOGS_IMPORT_EXPORT_H
#define VOMBLY_DIALOGS_IMPORT_EXPORT_H

#include <windows.h>

enum {
    // A file larger than this is not taken for a list.
    ImportFileLimit = 16 * 1024 * 1024,
    // Skipped entries named one by one in the message; the rest are counted.
    SkipReasonsShown = 5,
    ImportMessageSize = 2048
};

// Asks for a file, appends its entries to the active list (a sorted list
// sorts them), saves the list and the settings, and says what was added
// and what was skipped and why.
LRESULT ImportListCommand(HINSTANCE instance, HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Asks for a file name and writes the active list there, crash-safely.
LRESULT ExportListCommand(HINSTANCE instance, HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The work of the two commands without the file dialogs and message boxes:
// `message` receives the text shown to the user. ImportTextFile returns the
// entries added, or -1 when the file was refused (unreadable, not text,
// empty, too large) and the list left alone. ExportTextFile returns 1 when
// the file was written.
int ImportTextFile(HWND window, const char *path, char *message, size_t messageSize);
int ExportTextFile(const char *path, char *message, size_t messageSize);

// One entry converted each way, exactly or not at all: from UTF-8 to the
// list box's UTF-16 (`units` WCHARs of room), and back. The results are the
// converted length, ConvertNotHeld for text that is not UTF-8 or UTF-16,
// ConvertTooLong when it does not fit or its ANSI form would be longer than
// a list file keeps.
enum { ConvertNotHeld = -1, ConvertTooLong = -2 };
int Utf8ToEntry(const char *text, size_t length, WCHAR *out, size_t units);
int EntryToUtf8(const WCHAR *text, int units, char *out, size_t outSize);

#endif
