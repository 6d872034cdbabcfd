#include "shell/tray_menu.h"

#include <stdio.h>
#include <string.h>

#include "core/hotkey_text.h"
#include "system/string_cache.h"
#include "system/window_slots.h"
#include "res/resource.h"
#include "core/format.h"
#include "view/lists.h"
#include "store/settings.h"
#include "system/list_entry.h"
#include "store/list_store.h"
#include "view/selection.h"

static_assert(sizeof(WCHAR) == sizeof(char16_t), "menu labels are built as UTF-16");

static WCHAR trayEntryText[ListEntryBufferSize];

LRESULT ShowWindowCommand(HINSTANCE, HWND window, UINT, WPARAM, LPARAM)
{
    SetForegroundWindow(window);
    ShowWindow(window, SW_SHOWNORMAL);
    SetFocus(window);
    return 0;
}

// Hands the entries of a list in order to `sink` until it says stop: from
// the list box for the active list, from its file and companion for the
// others.
static void ReadEntriesOf(uint32_t list, ListEntrySink sink, void *context)
{
    if (list == GetActiveList()) {
        HWND listBox = WindowSlot(0, IDC_LISTBOX, NULL);
        for (int index = 0;; index++) {
            int units = ReadListEntryW(listBox, index, trayEntryText, ARRAYSIZE(trayEntryText));
            if (units < 0 || !sink(context, trayEntryText, units))
                return;
        }
    }
    const char *path = ListFilePathOf(list);
    FILE *file = path != NULL ? fopen(path, "rb") : NULL;
    if (file == NULL)
        return;
    long endOfGood = 0;
    int companion = 0;
    unsigned long companionError = 0;
    ReadListEntries(file, path, sink, context, &endOfGood, &companion, &companionError);
    fclose(file);
}

// Finding one entry by its place in the list.
struct EntrySearch {
    int index;
    int at;
    int units;
};

static int TakeSearchedEntry(void *context, const WCHAR *text, int units)
{
    EntrySearch *search = (EntrySearch *)context;
    if (search->at++ < search->index)
        return 1;
    memmove(trayEntryText, text, ((size_t)units + 1) * sizeof(WCHAR));
    search->units = units;
    return 0;
}

// Entry `index` of list `list` into trayEntryText; returns its length, or
// -1 when the list has no such entry (any more).
static int ReadEntryOfList(uint32_t list, int index)
{
    EntrySearch search = {index, 0, -1};
    ReadEntriesOf(list, TakeSearchedEntry, &search);
    return search.units;
}

// A list's submenu as it fills.
struct SubmenuFill {
    HMENU submenu;
    UINT firstId;
    int shown;
    int more;
};

static int AddSubmenuEntry(void *context, const WCHAR *text, int)
{
    SubmenuFill *fill = (SubmenuFill *)context;
    if (fill->shown == TrayMenuEntryLimit) {
        fill->more = 1;
        return 0;
    }
    WCHAR label[MenuLabelSize];
    MenuLabelW((const char16_t *)text, (char16_t *)label);
    AppendMenuW(fill->submenu, MF_STRING, fill->firstId + (UINT)fill->shown, label);
    fill->shown++;
    return 1;
}

static HMENU ListSubmenu(uint32_t list)
{
    SubmenuFill fill = {CreatePopupMenu(), TrayEntryFirstId + (list - 1) * TrayEntryStride, 0, 0};
    ReadEntriesOf(list, AddSubmenuEntry, &fill);
    if (fill.shown == 0)
        AppendMenuA(fill.submenu, MF_STRING | MF_GRAYED, 0, GetString(IDS_TRAY_EMPTY));
    else if (fill.more)
        AppendMenuA(fill.submenu, MF_STRING, fill.firstId + TrayMenuEntryLimit, GetString(IDS_TRAY_MORE));
    return fill.submenu;
}

static HMENU BuildTrayMenu(void)
{
    HMENU menu = CreatePopupMenu();
    AppendMenuA(menu, MF_STRING, IDM_SHOW_WINDOW, GetString(IDS_SHOW_VOMBLY));
    SetMenuDefaultItem(menu, IDM_SHOW_WINDOW, FALSE);
    AppendMenuA(menu, MF_SEPARATOR, 0, NULL);
    for (uint32_t list = 1; list <= 3; list++) {
        WCHAR name[ListNameSize], label[MenuLabelSize];
        GetListNameW((int32_t)list, name, ARRAYSIZE(name));
        MenuLabelW((const char16_t *)name, (char16_t *)label);
        AppendMenuW(menu, MF_POPUP, (UINT_PTR)ListSubmenu(list), label);
    }
    AppendMenuA(menu, MF_SEPARATOR, 0, NULL);
    AppendMenuA(menu, MF_STRING, IDM_TRAY_SETTINGS, GetString(IDS_TRAY_SETTINGS));
    AppendMenuA(menu, MF_STRING, IDM_TRAY_EXIT, GetString(IDS_TRAY_EXIT));
    return menu;
}

static void ChooseEntry(HINSTANCE instance, HWND window, uint32_t list, int index)
{
    if (index == TrayMenuEntryLimit) {
        // More...: the window, with that list shown.
        for (int turn = 0; turn < 3 && GetActiveList() != list; turn++)
            SendMessageA(window, WM_COMMAND, IDM_TOGGLE, 0);
        SendMessageA(window, WM_COMMAND, IDM_SHOW_WINDOW, 0);
        return;
    }
    if (list == GetActiveList()) {
        // The active list's entry is chosen as a double-click would choose
        // it, selection and all.
        SendMessageA(WindowSlot(0, IDC_LISTBOX, NULL), LB_SETCURSEL, (WPARAM)index, 0);
        SendMessageA(window, WM_COMMAND, CMD_COPY_SELECTED, 0);
        return;
    }
    CopyEntryText(instance, window, (int32_t)list, trayEntryText, ReadEntryOfList(list, index));
}

void ShowTrayMenu(HWND window)
{
    // While one of Vombly's dialogs is open, its answer comes first: the
    // dialog comes to the front instead of a menu that could open another.
    if (!IsWindowEnabled(window)) {
        SetForegroundWindow(GetLastActivePopup(window));
        return;
    }
    HMENU menu = BuildTrayMenu();
    POINT at = {0, 0};
    GetCursorPos(&at);
    // Without the foreground the menu would not close when the user clicks
    // elsewhere; the posted message lets it close at once the second time.
    SetForegroundWindow(window);
    // The choice is posted as WM_COMMAND and reaches the command table.
    TrackPopupMenu(menu, TPM_RIGHTBUTTON, at.x, at.y, 0, window, NULL);
    PostMessageA(window, WM_NULL, 0, 0);
    DestroyMenu(menu);
}

LRESULT TrayEntryCommand(HINSTANCE instance, HWND window, UINT, WPARAM wParam, LPARAM)
{
    WORD id = LOWORD(wParam);
    if (id < TrayEntryFirstId || id > TrayEntryLastId)
        return 0;
    uint32_t list = (uint32_t)(id - TrayEntryFirstId) / TrayEntryStride + 1;
    ChooseEntry(instance, window, list, (int)((id - TrayEntryFirstId) % TrayEntryStride));
    return 0;
}

// Their dialogs are placed over the main window, so it comes up first.
LRESULT TraySettingsCommand(HINSTANCE, HWND window, UINT, WPARAM, LPARAM)
{
    SendMessageA(window, WM_COMMAND, IDM_SHOW_WINDOW, 0);
    SendMessageA(window, WM_COMMAND, IDM_SETTINGS, 0);
    return 0;
}

LRESULT TrayExitCommand(HINSTANCE, HWND window, UINT, WPARAM, LPARAM)
{
    SendMessageA(window, WM_COMMAND, IDM_SHOW_WINDOW, 0);
    SendMessageA(window, WM_COMMAND, IDM_EXIT, 0);
    return 0;
}
