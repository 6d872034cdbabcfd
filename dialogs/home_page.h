// The home-page command: opens the product's page in the user's browser.
#ifndef VOMBLY_DIALOGS_HOME_PAGE_H
#define VOMBLY_DIALOGS_HOME_PAGE_H

#include <windows.h>

// Written without a scheme; the shell takes an address that starts with
// "www." as a web address.
extern const char HomePageAddress[];

LRESULT HomePageCommand(HINSTANCE instance, HWND window, UINT message, WPARAM wParam, LPARAM lParam);

#endif
