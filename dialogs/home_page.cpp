#include "dialogs/home_page.h"

#include <shellapi.h>

const char HomePageAddress[] = "www.vombly.com/clipboard-utility.html";

LRESULT HomePageCommand(HINSTANCE, HWND, UINT, WPARAM, LPARAM)
{
    // The desktop owns whatever the shell shows; the result is not reported.
    ShellExecuteA(GetDesktopWindow(), "open", HomePageAddress, NULL, NULL, SW_SHOWNORMAL);
    return 0;
}
