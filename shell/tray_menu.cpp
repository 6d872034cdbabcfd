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
#include "view/selection.h"

static char trayEntryText[ListEntryBufferSize];

LRESULT ShowWindowCommand(HINSTANCE, HWND window, UINT, WPARAM, LPARAM)
{
    SetForegroundWindow(window);
    ShowWindow(window, SW_SHOWNORMAL);
    SetFocus(window);
    return 0;
}

// Reads the entries of a list in order, from the list box for the active
// list, from its file (opened once) for the others.
struct EntryReader {
    uint32_t list;
    FILE *file;
    int next;
};

static void OpenEntries(EntryReader *reader, uint32_t list)
{
    reader->list = list;
    reader->next = 0;
    reader->file = NULL;
    if (list != GetActiveList()) {
        const char *path = ListFilePathOf(list);
        reader->file = path != NULL ? fopen(path, "rb") : NULL;
    }
}

static int NextEntry(EntryReader *reader)
{
    if (reader->list == GetActiveList())
        return ReadListEntry(WindowSlot(0, IDC_LISTBOX, NULL), reader->next++, trayEntryText,
                             sizeof trayEntryText) >= 0;
    return reader->file != NULL && ReadListRecord(reader->file, trayEntryText);
}

static void CloseEntries(EntryReader *reader)
{
    if (reader->file != NULL)
        fclose(reader->file);
    reader->file = NULL;
}

// Entry `index` of list `list` into trayEntryText; returns its length, or
// -1 when the list has no such entry (any more).
static int ReadEntryOfList(uint32_t list, int index)
{
    EntryReader reader;
    OpenEntries(&reader, list);
    int found = 1;
    for (int at = 0; at <= index && found; at++)
        found = NextEntry(&reader);
    CloseEntries(&reader);
    return found ? (int)strlen(trayEntryText) : -1;
}

static HMENU ListSubmenu(uint32_t list)
{
    HMENU submenu = CreatePopupMenu();
    UINT firstId = TrayEntryFirstId + (list - 1) * TrayEntryStride;
    int shown = 0;
    int more = 0;
    char label[MenuLabelSize];
    EntryReader reader;
    OpenEntries(&reader, list);
    while (NextEntry(&reader)) {
        if (shown == TrayMenuEntryLimit) {
            more = 1;
            break;
        }
        MenuLabel(trayEntryText, label);
        AppendMenuA(submenu, MF_STRING, firstId + (UINT)shown, label);
        shown++;
    }
    CloseEntries(&reader);
    if (shown == 0)
        AppendMenuA(submenu, MF_STRING | MF_GRAYED, 0, GetString(IDS_TRAY_EMPTY));
    else if (more)
        AppendMenuA(submenu, MF_STRING, firstId + TrayMenuEntryLimit, GetString(IDS_TRAY_MORE));
    return submenu;
}

static HMENU BuildTrayMenu(void)
{
    HMENU menu = CreatePopupMenu();
    AppendMenuA(menu, MF_STRING, IDM_SHOW_WINDOW, GetString(IDS_SHOW_VOMBLY));
    SetMenuDefaultItem(menu, IDM_SHOW_WINDOW, FALSE);
    AppendMenuA(menu, MF_SEPARATOR, 0, NULL);
    for (uint32_t list = 1; list <= 3; list++) {
        char label[MenuLabelSize];
        MenuLabel(GetListName((int32_t)list), label);
        AppendMenuA(menu, MF_POPUP, (UINT_PTR)ListSubmenu(list), label);
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
