#include "view/context_menu.h"

#include "system/string_cache.h"
#include "system/window_slots.h"
#include "system/list_entry.h"
#include "res/resource.h"


HMENU BuildEntryMenu(HWND listBox)
{
    int selected = SendMessageA(listBox, LB_GETCURSEL, 0, 0) != LB_ERR;
    const struct {
        UINT id;
        UINT textId;
        int enabled;
    } items[] = {
        {IDM_ENTRY_COPY, IDS_MENU_COPY, selected},
        {IDM_ENTRY_EDIT, IDS_MENU_EDIT, selected},
        {IDM_ENTRY_REMOVE, IDS_MENU_REMOVE, selected},
        {IDM_ENTRY_MOVE_UP, IDS_MENU_MOVE_UP, CanMoveEntry(listBox, -1)},
        {IDM_ENTRY_MOVE_DOWN, IDS_MENU_MOVE_DOWN, CanMoveEntry(listBox, +1)},
        {0, 0, 0},
        {IDM_LIST_IMPORT, IDS_MENU_IMPORT, 1},
        {IDM_LIST_EXPORT, IDS_MENU_EXPORT, 1},
    };
    HMENU menu = CreatePopupMenu();
    if (menu == NULL)
        return NULL;
    for (const auto &item : items) {
        if (item.id == 0) {
            AppendMenuA(menu, MF_SEPARATOR, 0, NULL);
            continue;
        }
        AppendMenuA(menu, MF_STRING | (item.enabled ? MF_ENABLED : MF_GRAYED), item.id, GetString(item.textId));
    }
    return menu;
}

int EntryAtPoint(HWND listBox, POINT client)
{
    // LB_ITEMFROMPOINT answers in 16 bits, too few for a long list: the
    // entry is found from the top entry and the (fixed) entry height.
    LRESULT top = SendMessageA(listBox, LB_GETTOPINDEX, 0, 0);
    LRESULT height = SendMessageA(listBox, LB_GETITEMHEIGHT, 0, 0);
    LRESULT count = SendMessageA(listBox, LB_GETCOUNT, 0, 0);
    if (top == LB_ERR || height <= 0 || count == LB_ERR || client.y < 0)
        return -1;
    LRESULT index = top + client.y / height;
    RECT item;
    // Only a click inside an entry counts, not the space below the last.
    if (index >= count || SendMessageA(listBox, LB_GETITEMRECT, (WPARAM)index, (LPARAM)&item) == LB_ERR ||
        !PtInRect(&item, client))
        return -1;
    return (int)index;
}

// Selects the entry under a right click at `screen`, if there is one there.
static void SelectEntryAt(HWND listBox, POINT screen)
{
    POINT client = screen;
    ScreenToClient(listBox, &client);
    int index = EntryAtPoint(listBox, client);
    if (index >= 0 && SendMessageA(listBox, LB_GETCURSEL, 0, 0) != index)
        SendMessageA(listBox, LB_SETCURSEL, (WPARAM)index, 0);
}

LRESULT OnContextMenu(HINSTANCE, HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    HWND listBox = WindowSlot(0, IDC_LISTBOX, NULL);
    if ((HWND)wParam != listBox)
        return DefWindowProcA(window, message, wParam, lParam);

    POINT at = {(short)LOWORD(lParam), (short)HIWORD(lParam)};
    if (lParam == -1) {
        // From the keyboard: beside the selected entry, or the list's corner.
        RECT item = {0, 0, 0, 0};
        LRESULT selected = SendMessageA(listBox, LB_GETCURSEL, 0, 0);
        if (selected != LB_ERR)
            SendMessageA(listBox, LB_GETITEMRECT, (WPARAM)selected, (LPARAM)&item);
        at.x = item.left + 8;
        at.y = item.bottom;
        ClientToScreen(listBox, &at);
    } else {
        SelectEntryAt(listBox, at);
    }

    HMENU menu = BuildEntryMenu(listBox);
    if (menu == NULL)
        return 0;
    // Without the foreground the menu would not close when the user clicks
    // elsewhere.
    SetForegroundWindow(window);
    TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON, at.x, at.y, 0, window, NULL);
    PostMessageA(window, WM_NULL, 0, 0);
    DestroyMenu(menu);
    return 0;
}
