#include "store/lists.h"

#include <errno.h>
#include <stdio.h>

#include "app/paths.h"
#include "app/string_cache.h"
#include "app/window_slots.h"
#include "res/resource.h"
#include "store/safe_write.h"
#include "store/settings.h"

char listEntryText[ListEntryBufferSize];

static char listFilePath[PathBufferSize];

// Set while the list box does not show what the active list's file holds
// because the file could not be read; the file is then never written.
static int activeListUnread;

const char *ListFilePath(void)
{
    const char *folder = DataFolder();
    if (folder == NULL || !FormatPath(listFilePath, sizeof listFilePath, "%s%s%d%s", folder,
                                      GetString(IDS_PRODUCT), (int)GetActiveList(), ".dat"))
        return NULL;
    return listFilePath;
}

LRESULT LoadListCommand(HINSTANCE, HWND, UINT, WPARAM, LPARAM)
{
    HWND listBox = WindowSlot(0, IDC_LISTBOX, NULL);
    const char *path = ListFilePath();
    FILE *file = path != NULL ? fopen(path, "rb") : NULL;
    int missing = path != NULL && file == NULL && errno == ENOENT;

    // Another list's entries must never stay on screen under this list's
    // name, where the next save would write them into this list's file.
    SendMessageA(listBox, LB_RESETCONTENT, 0, 0);
    if (file == NULL) {
        activeListUnread = !missing;
        return 0;
    }
    activeListUnread = 0;
    while (ReadListRecord(file, listEntryText))
        SendMessageA(listBox, LB_ADDSTRING, 0, (LPARAM)listEntryText);
    SendMessageA(listBox, LB_SETCURSEL, (WPARAM)GetActiveListSelection(), 0);
    fclose(file);
    return 0;
}

LRESULT SaveListCommand(HINSTANCE, HWND, UINT, WPARAM, LPARAM)
{
    HWND listBox = WindowSlot(0, IDC_LISTBOX, NULL);
    LRESULT count = SendMessageA(listBox, LB_GETCOUNT, 0, 0);
    if (count == LB_ERR || activeListUnread)
        return 0;

    SafeWrite write;
    if (!BeginSafeWrite(&write, ListFilePath()))
        return 0;
    static unsigned char record[ListRecordHeaderSize + ListEntryWriteLimit];
    for (LRESULT index = 0; index < count; index++) {
        LRESULT length = SendMessageA(listBox, LB_GETTEXTLEN, (WPARAM)index, 0);
        if (length < 0 || length > ListEntryWriteLimit)
            continue;
        length = SendMessageA(listBox, LB_GETTEXT, (WPARAM)index, (LPARAM)listEntryText);
        if (length == LB_ERR)
            continue;
        size_t size = EncodeListRecord(listEntryText, (uint32_t)length, record, sizeof record);
        if (size > 0)
            SafeWriteBytes(&write, record, size);
    }
    CommitSafeWrite(&write);
    return 0;
}

LRESULT ToggleListCommand(HINSTANCE, HWND window, UINT, WPARAM, LPARAM)
{
    HWND listBox = WindowSlot(0, IDC_LISTBOX, NULL);
    SetActiveListSelection((int32_t)SendMessageA(listBox, LB_GETCURSEL, 0, 0));
    // Lists go round 1, 2, 3; any other number (a damaged or foreign
    // settings file) continues with list 1.
    uint32_t current = GetActiveList();
    SetActiveList(NextList(current));
    SendMessageA(window, WM_COMMAND, CMD_LOAD_LIST, 0);
    SaveSettings();
    return 0;
}
