#include "view/selection.h"

#include <mmsystem.h>
#include <string.h>

#include "app/window_slots.h"
#include "res/resource.h"
#include "store/lists.h"
#include "store/settings.h"
#include "view/list_entry.h"

int CopyTextToClipboard(HWND owner, const char *text, size_t length)
{
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT | GMEM_DDESHARE, length + 1);
    if (block == NULL)
        return 0;
    char *copy = (char *)GlobalLock(block);
    if (copy == NULL) {
        GlobalFree(block);
        return 0;
    }
    memcpy(copy, text, length);
    copy[length] = '\0';
    GlobalUnlock(block);

    if (!OpenClipboard(owner)) {
        GlobalFree(block);
        return 0;
    }
    EmptyClipboard();
    // Once the clipboard holds the block it owns it; until then it is ours.
    int taken = SetClipboardData(CF_TEXT, block) != NULL;
    CloseClipboard();
    if (!taken)
        GlobalFree(block);
    return taken;
}

LRESULT SelectEntryCommand(HINSTANCE instance, HWND window, UINT, WPARAM wParam, LPARAM)
{
    // Single clicks, focus changes and Esc (IDCANCEL shares the id) only
    // move the selection.
    if (HIWORD(wParam) != LBN_DBLCLK)
        return 0;

    HWND listBox = WindowSlot(0, IDC_LISTBOX, NULL);
    LRESULT index = SendMessageA(listBox, LB_GETCURSEL, 0, 0);
    if (index != LB_ERR) {
        SetActiveListSelection((int32_t)index);
        int length = ReadListEntry(listBox, (int)index, listEntryText, sizeof listEntryText);
        if (length >= 0 && CopyTextToClipboard(window, listEntryText, (size_t)length))
            PlaySoundA("CLICK_SOUND", instance, SND_RESOURCE | SND_ASYNC);
    }
    if (GetMinimiseAfterSelection() == 1)
        SendMessageA(window, WM_CLOSE, 0, 0);
    SaveSettings();
    return 0;
}
