#include "dialogs/common.h"

#include <stdio.h>

#include "core/startup.h"
#include "system/string_cache.h"
#include "system/window_slots.h"
#include "res/resource.h"

void CentreDialogOnMainWindow(HWND dialog)
{
    RECT main = {0, 0, 0, 0};
    RECT own = {0, 0, 0, 0};
    GetWindowRect(WindowSlot(0, MainWindowSlot, NULL), &main);
    GetWindowRect(dialog, &own);
    int width = own.right - own.left;
    int height = own.bottom - own.top;
    MoveWindow(dialog, main.left + CentreOffset(main.right - main.left, width),
               main.top + CentreOffset(main.bottom - main.top, height), width, height, TRUE);
}

void SetDialogCaption(HWND dialog, unsigned int titleId)
{
    char caption[DialogTextSize];
    FormatCaption(titleId, caption, sizeof caption);
    SetWindowTextA(dialog, caption);
}

void SetDialogLabel(HWND dialog, int controlId, unsigned int textId)
{
    char text[DialogTextSize];
    snprintf(text, sizeof text, "%s", GetString(textId));
    SetDlgItemTextA(dialog, controlId, text);
}

INT_PTR ApplyFocusRule(HWND dialog, WPARAM proposed, int focusId)
{
    if (GetDlgCtrlID((HWND)proposed) == focusId)
        return TRUE;
    // Through the dialog manager, so that a push button given the focus
    // also becomes the one Enter presses.
    SendMessageA(dialog, WM_NEXTDLGCTL, (WPARAM)GetDlgItem(dialog, focusId), TRUE);
    return FALSE;
}
