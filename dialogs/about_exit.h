// The About dialog with its command, and the Exit dialog that confirms the
// end of the program.
#ifndef VOMBLY_DIALOGS_ABOUT_EXIT_H
#define VOMBLY_DIALOGS_ABOUT_EXIT_H

#include <windows.h>

#include "vombly_version.h"

enum { VersionMajor = VOMBLY_VERSION_MAJOR, VersionMinor = VOMBLY_VERSION_MINOR, AboutTextSize = 128 };

LRESULT AboutCommand(HINSTANCE instance, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK AboutDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Ends with 1 for "Quit", 0 for "Cancel" or Esc.
INT_PTR CALLBACK ExitDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// The About box's text: name and version, then the rights-holder notice,
// the rights line and where the product is available.
void FormatAboutText(char *text, size_t size);

#endif
