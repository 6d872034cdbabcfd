#include "dialogs/edit_entry.h"

#include <stdio.h>
#include <string.h>

#include "system/string_cache.h"
#include "system/window_slots.h"
#include "dialogs/add_remove.h"
#include "dialogs/common.h"
#include "res/resource.h"
#include "core/format.h"
#include "store/settings.h"
#include "view/save_settings.h"
#include "system/list_entry.h"
#include "view/lists.h"

// The entry's text while the dialog shows it, and what the user left in the box.
static WCHAR editEntryText[ListEntryBufferSize];

// Puts `text` in place of entry `index` so that it ends up at `finalIndex`
// (in a sorted list at its sorted place) and selects it. The new text goes
// in before the old one goes out, so a list box that refuses it keeps the
// old entry. Returns the new index or LB_ERR.
static LRESULT ReplaceEntry(HWND listBox, int index, const WCHAR *text, int finalIndex)
{
    LRESULT placed;
    if (ListBoxSorts(listBox))
        placed = AddListEntryW(listBox, text);
    else
        placed = SendMessageW(listBox, LB_INSERTSTRING, (WPARAM)(finalIndex > index ? finalIndex + 1 : finalIndex),
                              (LPARAM)text);
    if (placed < 0)
        return LB_ERR;
    LRESULT old = placed <= index ? index + 1 : index;
    SendMessageA(listBox, LB_DELETESTRING, (WPARAM)old, 0);
    if (placed > old)
        placed--;
    SendMessageA(listBox, LB_SETCURSEL, (WPARAM)placed, 0);
    return placed;
}

// The list and the settings, written at once as after an add.
static void SaveChange(HWND window, LRESULT selected)
{
    SetActiveListSelection((int32_t)selected);
    SendMessageA(window, WM_COMMAND, CMD_SAVE_LIST, 0);
    SaveSettings();
}

LRESULT EditEntryCommand(HINSTANCE instance, HWND window, UINT, WPARAM, LPARAM)
{
    HWND listBox = WindowSlot(0, IDC_LISTBOX, NULL);
    LRESULT selected = SendMessageA(listBox, LB_GETCURSEL, 0, 0);
    if (selected == LB_ERR || ReadListEntryW(listBox, (int)selected, editEntryText, ARRAYSIZE(editEntryText)) < 0 ||
        !ActiveListChangeable())
        return 0;
    if (DialogBoxParamW(instance, L"EDITBOX", window, EditDlgProc, 0) != 1)
        return 0;
    LRESULT placed = ReplaceEntry(listBox, (int)selected, editEntryText, (int)selected);
    if (placed != LB_ERR)
        SaveChange(window, placed);
    return 0;
}

INT_PTR CALLBACK EditDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_INITDIALOG) {
        CentreDialogOnMainWindow(dialog);
        SetDialogCaption(dialog, IDS_EDIT_TITLE);
        SetDialogLabel(dialog, IDC_EDIT_LABEL, IDS_EDIT_LABEL);
        // Typing stops at the Add dialog's limit, but an entry that came
        // longer from a file is shown whole and never cut by the edit.
        size_t length = wcslen(editEntryText);
        WPARAM limit = length > AddTextLimit ? (WPARAM)length : (WPARAM)AddTextLimit;
        SendDlgItemMessageW(dialog, IDC_EDIT_EDIT, EM_LIMITTEXT, limit, 0);
        SetDlgItemTextW(dialog, IDC_EDIT_EDIT, editEntryText);
        SendDlgItemMessageA(dialog, IDC_EDIT_EDIT, EM_SETSEL, 0, -1);
        return ApplyFocusRule(dialog, wParam, IDC_EDIT_EDIT);
    }
    if (message != WM_COMMAND)
        return FALSE;
    switch (LOWORD(wParam)) {
    case IDOK:
        // An emptied box is taken as a change of mind, as in Add.
        if (GetDlgItemTextW(dialog, IDC_EDIT_EDIT, editEntryText, ARRAYSIZE(editEntryText)) == 0) {
            EndDialog(dialog, 0);
            return TRUE;
        }
        EndDialog(dialog, 1);
        return TRUE;
    case IDCANCEL:
        EndDialog(dialog, 0);
        return TRUE;
    }
    return FALSE;
}

static LRESULT MoveEntry(HWND window, int direction)
{
    HWND listBox = WindowSlot(0, IDC_LISTBOX, NULL);
    if (!CanMoveEntry(listBox, direction) || !ActiveListChangeable())
        return 0;
    int selected = (int)SendMessageA(listBox, LB_GETCURSEL, 0, 0);
    static WCHAR movingText[ListEntryBufferSize];
    if (ReadListEntryW(listBox, selected, movingText, ARRAYSIZE(movingText)) < 0)
        return 0;
    LRESULT placed = ReplaceEntry(listBox, selected, movingText, selected + direction);
    if (placed != LB_ERR)
        SaveChange(window, placed);
    return 0;
}

LRESULT MoveEntryUpCommand(HINSTANCE, HWND window, UINT, WPARAM, LPARAM)
{
    return MoveEntry(window, -1);
}

LRESULT MoveEntryDownCommand(HINSTANCE, HWND window, UINT, WPARAM, LPARAM)
{
    return MoveEntry(window, +1);
}
