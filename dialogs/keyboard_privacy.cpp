#include "dialogs/keyboard_privacy.h"

#include <commctrl.h>
#include <stdio.h>

#include "system/notices.h"
#include "system/hotkey_register.h"
#include "core/hotkey_text.h"
#include "system/string_cache.h"
#include "system/window_slots.h"
#include "dialogs/common.h"
#include "res/resource.h"
#include "store/settings.h"
#include "view/save_settings.h"

static const struct {
    int list;
    int checkId;
} privateRows[] = {{1, IDC_PRIVATE1_CHECK}, {2, IDC_PRIVATE2_CHECK}, {3, IDC_PRIVATE3_CHECK}};

LRESULT KeyboardPrivacyCommand(HINSTANCE instance, HWND window, UINT, WPARAM, LPARAM)
{
    if (DialogBoxParamA(instance, "KEYBOARDBOX", window, KeyboardPrivacyDlgProc, 0) == 1)
        SaveSettings();
    return 0;
}

// The hotkey control speaks HOTKEYF_SHIFT 1, HOTKEYF_CONTROL 2, HOTKEYF_ALT
// 4; RegisterHotKey MOD_ALT 1, MOD_CONTROL 2, MOD_SHIFT 4. The control
// also wants to know a key of the editing block from its number-pad twin.
static WORD HotkeyFieldValue(uint32_t modifiers, uint32_t key)
{
    BYTE flags = 0;
    if (modifiers & MOD_SHIFT)
        flags |= HOTKEYF_SHIFT;
    if (modifiers & MOD_CONTROL)
        flags |= HOTKEYF_CONTROL;
    if (modifiers & MOD_ALT)
        flags |= HOTKEYF_ALT;
    if ((key >= VK_PRIOR && key <= VK_DOWN) || key == VK_INSERT || key == VK_DELETE || key == VK_DIVIDE ||
        key == VK_NUMLOCK)
        flags |= HOTKEYF_EXT;
    return MAKEWORD((BYTE)key, flags);
}

static void ReadHotkeyField(HWND dialog, uint32_t *modifiers, uint32_t *key)
{
    WORD value = (WORD)SendDlgItemMessageA(dialog, IDC_HOTKEY_FIELD, HKM_GETHOTKEY, 0, 0);
    BYTE flags = HIBYTE(value);
    *key = LOBYTE(value);
    *modifiers = ((flags & HOTKEYF_SHIFT) ? MOD_SHIFT : 0) | ((flags & HOTKEYF_CONTROL) ? MOD_CONTROL : 0) |
                 ((flags & HOTKEYF_ALT) ? MOD_ALT : 0);
}

// The line under the hotkey: which combination works, or which one failed.
static void ShowHotkeyStatus(HWND dialog, uint32_t modifiers, uint32_t key)
{
    char combination[HotkeyTextSize];
    DescribeHotkey(modifiers, key, combination, sizeof combination);
    char text[DialogTextSize];
    text[0] = '\0';
    if (GetHotkeyState() == HotkeyTaken)
        snprintf(text, sizeof text, GetString(IDS_HOTKEY_TAKEN_STATUS), combination);
    else if (GetHotkeyState() == HotkeyOn)
        snprintf(text, sizeof text, GetString(IDS_HOTKEY_ACTIVE), combination);
    SetDlgItemTextA(dialog, IDC_HOTKEY_STATUS, text);
}

static void ShowNoneChoice(HWND dialog)
{
    EnableWindow(GetDlgItem(dialog, IDC_HOTKEY_FIELD), IsDlgButtonChecked(dialog, IDC_HOTKEY_NONE) != BST_CHECKED);
}

static void InitKeyboardPrivacyDialog(HWND dialog)
{
    CentreDialogOnMainWindow(dialog);
    SetDialogCaption(dialog, IDS_KEYBOARD_PRIVACY);
    static const struct {
        int controlId;
        unsigned int textId;
    } texts[] = {
        {IDC_HOTKEY_LABEL, IDS_HOTKEY_LABEL}, {IDC_HOTKEY_NONE, IDS_HOTKEY_NONE},
        {IDC_PASTE_CHECK, IDS_PASTE_OPTION},  {IDC_PRIVATE_LABEL, IDS_PRIVATE_LABEL},
        {IDC_CLEAR_LABEL, IDS_CLEAR_LABEL},
    };
    for (const auto &text : texts)
        SetDlgItemTextA(dialog, text.controlId, GetString(text.textId));

    uint32_t modifiers = 0, key = 0;
    GetHotkey(&modifiers, &key);
    SendDlgItemMessageA(dialog, IDC_HOTKEY_FIELD, HKM_SETHOTKEY, HotkeyFieldValue(modifiers, key), 0);
    CheckDlgButton(dialog, IDC_HOTKEY_NONE, key == 0 ? BST_CHECKED : BST_UNCHECKED);
    ShowNoneChoice(dialog);
    ShowHotkeyStatus(dialog, modifiers, key);
    CheckDlgButton(dialog, IDC_PASTE_CHECK, GetPasteAfterHotkey() == 1 ? BST_CHECKED : BST_UNCHECKED);
    for (const auto &row : privateRows) {
        WCHAR name[ListNameSize];
        GetListNameW(row.list, name, ARRAYSIZE(name));
        SetDlgItemTextW(dialog, row.checkId, name);
        CheckDlgButton(dialog, row.checkId, GetListPrivate(row.list) == 1 ? BST_CHECKED : BST_UNCHECKED);
    }
    SendDlgItemMessageA(dialog, IDC_CLEAR_EDIT, EM_LIMITTEXT, ClearSecondsDigits, 0);
    SetDlgItemInt(dialog, IDC_CLEAR_EDIT, GetPrivateClearSeconds(), FALSE);
}

// Takes the dialog's choices. Returns 0, with the dialog to stay open, when
// the seconds are out of range or the hotkey is taken; the hotkey that was
// registered before is then registered again.
static int StoreKeyboardPrivacyDialog(HWND dialog)
{
    BOOL numberRead = FALSE;
    UINT seconds = GetDlgItemInt(dialog, IDC_CLEAR_EDIT, &numberRead, FALSE);
    if (!numberRead || seconds > OptionsMaxClearSeconds) {
        ShowMessage(dialog, GetString(IDS_CLEAR_RANGE), GetString(IDS_ERROR), MB_ICONERROR);
        SendMessageA(dialog, WM_NEXTDLGCTL, (WPARAM)GetDlgItem(dialog, IDC_CLEAR_EDIT), TRUE);
        return 0;
    }

    uint32_t modifiers = 0, key = 0;
    if (IsDlgButtonChecked(dialog, IDC_HOTKEY_NONE) != BST_CHECKED)
        ReadHotkeyField(dialog, &modifiers, &key);
    // A field with modifiers only names no key: that is no hotkey.
    if (key == 0)
        modifiers = 0;
    uint32_t oldModifiers = 0, oldKey = 0;
    GetHotkey(&oldModifiers, &oldKey);
    int changed = key != oldKey || (key != 0 && modifiers != oldModifiers);
    HWND window = WindowSlot(0, MainWindowSlot, NULL);
    if (!ApplyHotkey(window, modifiers, key)) {
        ShowHotkeyStatus(dialog, modifiers, key);
        ReportHotkeyTaken(dialog, modifiers, key);
        // A combination kept from before (taken since the start) does not
        // hold back the other options; a newly chosen one waits for another
        // choice, with the old one working meanwhile.
        if (changed) {
            ApplyHotkey(window, oldModifiers, oldKey);
            SendMessageA(dialog, WM_NEXTDLGCTL, (WPARAM)GetDlgItem(dialog, IDC_HOTKEY_FIELD), TRUE);
            return 0;
        }
    }
    SetHotkey(modifiers, key);
    SetPasteAfterHotkey(IsDlgButtonChecked(dialog, IDC_PASTE_CHECK) == BST_CHECKED);
    for (const auto &row : privateRows)
        SetListPrivate(row.list, IsDlgButtonChecked(dialog, row.checkId) == BST_CHECKED);
    SetPrivateClearSeconds(seconds);
    return 1;
}

INT_PTR CALLBACK KeyboardPrivacyDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_INITDIALOG) {
        InitKeyboardPrivacyDialog(dialog);
        int none = IsDlgButtonChecked(dialog, IDC_HOTKEY_NONE) == BST_CHECKED;
        return ApplyFocusRule(dialog, wParam, none ? IDC_HOTKEY_NONE : IDC_HOTKEY_FIELD);
    }
    if (message != WM_COMMAND)
        return FALSE;
    switch (LOWORD(wParam)) {
    case IDOK:
        if (StoreKeyboardPrivacyDialog(dialog))
            EndDialog(dialog, 1);
        return TRUE;
    case IDCANCEL:
        EndDialog(dialog, 0);
        return TRUE;
    case IDC_HOTKEY_NONE:
        ShowNoneChoice(dialog);
        return TRUE;
    }
    return FALSE;
}
