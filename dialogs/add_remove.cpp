#include "dialogs/add_remove.h"

#include "core/rules.h"
#include "system/notices.h"
#include "system/string_cache.h"
#include "system/window_slots.h"
#include "dialogs/common.h"
#include "res/resource.h"
#include "core/format.h"
#include "store/settings.h"
#include "view/save_settings.h"
#include "system/list_entry.h"
#include "view/lists.h"

// The typed text or the entry about to be removed; kept between openings.
static WCHAR dialogEntryText[ListEntryBufferSize];
static HWND removeListBox;
static int removeIndex;
static int entryRemoved;

LRESULT AddStringCommand(HINSTANCE instance, HWND window, UINT, WPARAM, LPARAM)
{
    if (!ActiveListChangeable())
        return 0;
    DialogBoxParamW(instance, L"ADDBOX", window, AddDlgProc, 0);
    // The list and the settings are written whatever the dialog's outcome.
    SendMessageA(window, WM_COMMAND, CMD_SAVE_LIST, 0);
    SaveSettings();
    return 0;
}

INT_PTR CALLBACK AddDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_INITDIALOG) {
        CentreDialogOnMainWindow(dialog);
        SetDialogCaption(dialog, IDS_ADD_TITLE);
        SetDialogLabel(dialog, IDC_ADD_LABEL, IDS_ADD_LABEL);
        SendDlgItemMessageA(dialog, IDC_ADD_EDIT, EM_LIMITTEXT, AddTextLimit, 0);
        return ApplyFocusRule(dialog, wParam, IDC_ADD_EDIT);
    }
    if (message != WM_COMMAND)
        return FALSE;
    switch (LOWORD(wParam)) {
    case IDOK:
        // Taken exactly as typed; an empty box adds nothing.
        if (GetDlgItemTextW(dialog, IDC_ADD_EDIT, dialogEntryText, AddTextLimit + 1) != 0)
            AddListEntryW(WindowSlot(0, IDC_LISTBOX, NULL), dialogEntryText);
        EndDialog(dialog, 1);
        return TRUE;
    case IDCANCEL:
        EndDialog(dialog, 0);
        return TRUE;
    }
    return FALSE;
}

LRESULT RemoveStringCommand(HINSTANCE instance, HWND window, UINT, WPARAM, LPARAM)
{
    HWND listBox = WindowSlot(0, IDC_LISTBOX, NULL);
    LRESULT selected = SendMessageA(listBox, LB_GETCURSEL, 0, 0);
    if (selected == LB_ERR) {
        ShowMessage(window, GetString(IDS_NOTHING_SELECTED), GetString(IDS_ERROR), MB_TOPMOST | MB_ICONERROR);
    } else if (ActiveListChangeable()) {
        entryRemoved = 0;
        DialogBoxParamW(instance, L"REMOVEBOX", window, RemoveDlgProc, 0);
        // The reload shows the list as the file now holds it, with the entry
        // before the removed one selected, or the same entry if none was.
        SetActiveListSelection(entryRemoved ? SelectionAfterRemoval((int)selected) : (int32_t)selected);
        SendMessageA(window, WM_COMMAND, CMD_SAVE_LIST, 0);
        SendMessageA(window, WM_COMMAND, CMD_LOAD_LIST, 0);
    }
    SaveSettings();
    return 0;
}

INT_PTR CALLBACK RemoveDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_INITDIALOG) {
        CentreDialogOnMainWindow(dialog);
        SetDialogCaption(dialog, IDS_REMOVE_TITLE);
        SetDialogLabel(dialog, IDC_REMOVE_LABEL, IDS_REMOVE_LABEL);
        removeListBox = WindowSlot(0, IDC_LISTBOX, NULL);
        removeIndex = (int)SendMessageA(removeListBox, LB_GETCURSEL, 0, 0);
        dialogEntryText[0] = 0;
        if (ReadListEntryW(removeListBox, removeIndex, dialogEntryText, ARRAYSIZE(dialogEntryText)) >= 0)
            SendDlgItemMessageW(dialog, IDC_REMOVE_LIST, LB_ADDSTRING, 0, (LPARAM)dialogEntryText);
        return ApplyFocusRule(dialog, wParam, IDOK);
    }
    if (message != WM_COMMAND)
        return FALSE;
    switch (LOWORD(wParam)) {
    case IDOK:
        // An empty entry goes like any other: a damaged or hand-made file
        // may have brought it in, and there is no other way to remove it.
        if (removeIndex >= 0) {
            SendMessageA(removeListBox, LB_DELETESTRING, (WPARAM)removeIndex, 0);
            entryRemoved = 1;
        }
        EndDialog(dialog, 1);
        return TRUE;
    case IDCANCEL:
        EndDialog(dialog, 0);
        return TRUE;
    }
    return FALSE;
}
