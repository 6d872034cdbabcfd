#include "dialogs/about_exit.h"

#include <stdio.h>

#include "system/string_cache.h"
#include "dialogs/common.h"
#include "res/resource.h"

void FormatAboutText(char *text, size_t size)
{
    snprintf(text, size, "%s V%d.%02d\n\n%s\n%s\n\n%s", GetString(IDS_PRODUCT), VersionMajor, VersionMinor,
             GetString(IDS_RIGHTS_HOLDER), GetString(IDS_RIGHTS_RESERVED), GetString(IDS_AVAILABILITY));
}

LRESULT AboutCommand(HINSTANCE instance, HWND window, UINT, WPARAM, LPARAM)
{
    DialogBoxParamA(instance, "ABOUTBOX", window, AboutDlgProc, 0);
    return 0;
}

INT_PTR CALLBACK AboutDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_INITDIALOG) {
        CentreDialogOnMainWindow(dialog);
        char text[AboutTextSize];
        snprintf(text, sizeof text, "%s %s", GetString(IDS_ABOUT), GetString(IDS_PRODUCT));
        SetWindowTextA(dialog, text);
        FormatAboutText(text, sizeof text);
        SetDlgItemTextA(dialog, IDC_ABOUT_TEXT, text);
        return ApplyFocusRule(dialog, wParam, IDOK);
    }
    // Only OK closes the About box; Esc leaves it open.
    if (message == WM_COMMAND && LOWORD(wParam) == IDOK) {
        EndDialog(dialog, 0);
        return TRUE;
    }
    return FALSE;
}

INT_PTR CALLBACK ExitDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_INITDIALOG) {
        CentreDialogOnMainWindow(dialog);
        SetDialogCaption(dialog, IDS_QUIT);
        SetDialogLabel(dialog, IDC_EXIT_TEXT, IDS_EXIT_TEXT);
        return ApplyFocusRule(dialog, wParam, IDOK);
    }
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        EndDialog(dialog, LOWORD(wParam) == IDOK ? 1 : 0);
        return TRUE;
    }
    return FALSE;
}
