#include "dialogs/home_page.h"

#include "system/late_dlls.h"

const char HomePageAddress[] = "www.vombly.com/clipboard-utility.html";

LRESULT HomePageCommand(HINSTANCE, HWND, UINT, WPARAM, LPARAM)
{
    // The desktop owns whatever the shell shows; the result is not reported.
    LateShellExecute(GetDesktopWindow(), "open", HomePageAddress, NULL, NULL, SW_SHOWNORMAL);
    return 0;
}
