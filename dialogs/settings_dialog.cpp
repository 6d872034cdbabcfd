#include "dialogs/settings_dialog.h"

#include "system/notices.h"
#include "system/string_cache.h"
#include "dialogs/common.h"
#include "res/resource.h"
#include "store/settings.h"
#include "view/save_settings.h"

// The sort option as it stood when the dialog opened: sorting applies at the
// next start, so only a change of it asks for a restart.
static int32_t sortEntriesAtOpen;

static const struct {
    int list;
    int editId;
    int labelId;
    unsigned int labelText;
} nameRows[] = {
    {1, IDC_NAME1_EDIT, IDC_NAME1_LABEL, IDS_NAME_LIST1},
    {2, IDC_NAME2_EDIT, IDC_NAME2_LABEL, IDS_NAME_LIST2},
    {3, IDC_NAME3_EDIT, IDC_NAME3_LABEL, IDS_NAME_LIST3},
};

LRESULT SettingsCommand(HINSTANCE instance, HWND window, UINT, WPARAM, LPARAM)
{
    DialogBoxParamW(instance, L"SETTINGSBOX", window, SettingsDlgProc, 0);
    SaveSettings();
    return 0;
}

static void InitSettingsDialog(HWND dialog)
{
    CentreDialogOnMainWindow(dialog);
    SetDialogCaption(dialog, IDS_SETTINGS);
    sortEntriesAtOpen = GetSortEntries();
    SetDlgItemTextA(dialog, IDC_SORT_CHECK, GetString(IDS_SORT_OPTION));
    CheckDlgButton(dialog, IDC_SORT_CHECK, (UINT)sortEntriesAtOpen);
    SetDlgItemTextA(dialog, IDC_MINIMISE_CHECK, GetString(IDS_MINIMISE_OPTION));
    CheckDlgButton(dialog, IDC_MINIMISE_CHECK, (UINT)GetMinimiseAfterSelection());
    for (const auto &row : nameRows) {
        SendDlgItemMessageA(dialog, row.editId, EM_LIMITTEXT, ListNameTypeLimit, 0);
        SetDlgItemTextA(dialog, row.labelId, GetString(row.labelText));
        WCHAR name[ListNameSize];
        GetListNameW(row.list, name, ARRAYSIZE(name));
        SetDlgItemTextW(dialog, row.editId, name);
    }
}

static void StoreSettingsDialog(HWND dialog)
{
    SetSortEntries(IsDlgButtonChecked(dialog, IDC_SORT_CHECK) == BST_CHECKED);
    SetMinimiseAfterSelection(IsDlgButtonChecked(dialog, IDC_MINIMISE_CHECK) == BST_CHECKED);
    for (const auto &row : nameRows) {
        WCHAR name[DialogTextSize];
        GetDlgItemTextW(dialog, row.editId, name, ARRAYSIZE(name));
        SetListNameW(row.list, name);
    }
    if (GetSortEntries() != sortEntriesAtOpen)
        ShowMessage(NULL, GetString(IDS_RESTART_NEEDED), GetString(IDS_PRODUCT),
                    MB_TOPMOST | MB_TASKMODAL | MB_ICONINFORMATION);
}

INT_PTR CALLBACK SettingsDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_INITDIALOG) {
        InitSettingsDialog(dialog);
        return ApplyFocusRule(dialog, wParam, IDCANCEL);
    }
    if (message != WM_COMMAND)
        return FALSE;
    switch (LOWORD(wParam)) {
    case IDOK:
        StoreSettingsDialog(dialog);
        EndDialog(dialog, 1);
        return TRUE;
    case IDCANCEL:
        EndDialog(dialog, 0);
        return TRUE;
    }
    return FALSE;
}
