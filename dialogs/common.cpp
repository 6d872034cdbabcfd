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

// The lines `text` takes in the label's font at the label's width.
static int LabelTextHeight(HWND label, const char *text, int width)
{
    HDC dc = GetDC(label);
    HGDIOBJ previous = SelectObject(dc, (HGDIOBJ)SendMessageA(label, WM_GETFONT, 0, 0));
    RECT needed = {0, 0, width, 0};
    DrawTextA(dc, text, -1, &needed, DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS);
    SelectObject(dc, previous);
    ReleaseDC(label, dc);
    return needed.bottom;
}

// A label whose text wraps to more lines than it is high is made high
// enough; what lies below its top moves down until it clears the text, and
// the dialog grows by as much and is centred again.
static void FitLabel(HWND dialog, HWND label, const char *text)
{
    RECT inner;
    GetClientRect(label, &inner);
    int needed = LabelTextHeight(label, text, inner.right);
    if (needed <= inner.bottom)
        return;
    RECT own;
    GetWindowRect(label, &own);
    MapWindowPoints(NULL, dialog, (POINT *)&own, 2);
    int nearest = -1;
    for (HWND child = GetWindow(dialog, GW_CHILD); child != NULL; child = GetWindow(child, GW_HWNDNEXT)) {
        RECT place;
        GetWindowRect(child, &place);
        MapWindowPoints(NULL, dialog, (POINT *)&place, 2);
        if (child != label && place.top > own.top && (nearest < 0 || place.top < nearest))
            nearest = place.top;
    }
    int shift = nearest < 0 ? 0 : own.top + needed - nearest;
    for (HWND child = GetWindow(dialog, GW_CHILD); child != NULL; child = GetWindow(child, GW_HWNDNEXT)) {
        RECT place;
        GetWindowRect(child, &place);
        MapWindowPoints(NULL, dialog, (POINT *)&place, 2);
        if (child == label)
            MoveWindow(child, place.left, place.top, place.right - place.left, needed, FALSE);
        else if (shift > 0 && place.top > own.top)
            MoveWindow(child, place.left, place.top + shift, place.right - place.left, place.bottom - place.top,
                       FALSE);
    }
    if (shift <= 0)
        return;
    RECT frame;
    GetWindowRect(dialog, &frame);
    MoveWindow(dialog, frame.left, frame.top, frame.right - frame.left, frame.bottom - frame.top + shift, TRUE);
    CentreDialogOnMainWindow(dialog);
}

void SetDialogLabel(HWND dialog, int controlId, unsigned int textId)
{
    char text[DialogTextSize];
    snprintf(text, sizeof text, "%s", GetString(textId));
    SetDlgItemTextA(dialog, controlId, text);
    FitLabel(dialog, GetDlgItem(dialog, controlId), text);
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
