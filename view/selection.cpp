#include "view/selection.h"

#include <mmsystem.h>
#include <string.h>

#include "app/notices.h"
#include "app/window_slots.h"
#include "res/resource.h"
#include "store/lists.h"
#include "store/settings.h"
#include "view/list_entry.h"

// Another program may hold the clipboard for a moment; it is asked a few
// times over at most about 100 ms, never longer.
enum { ClipboardAttempts = 6, ClipboardRetryDelayMs = 20 };

int OpenClipboardPatiently(HWND owner)
{
    for (int attempt = 0; attempt < ClipboardAttempts; attempt++) {
        if (attempt > 0)
            Sleep(ClipboardRetryDelayMs);
        if (OpenClipboard(owner))
            return 1;
    }
    return 0;
}

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

    if (!OpenClipboardPatiently(owner)) {
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
    int copied = 1;
    if (index != LB_ERR) {
        SetActiveListSelection((int32_t)index);
        int length = ReadListEntry(listBox, (int)index, listEntryText, sizeof listEntryText);
        copied = length >= 0 && CopyTextToClipboard(window, listEntryText, (size_t)length);
        if (copied)
            PlaySoundA("CLICK_SOUND", instance, SND_RESOURCE | SND_ASYNC);
        else
            ShowNotice(MB_ICONWARNING, IDS_NOTHING_COPIED);
    }
    // A failed copy leaves the window where the user can try again.
    if (copied && GetMinimiseAfterSelection() == 1)
        SendMessageA(window, WM_CLOSE, 0, 0);
    SaveSettings();
    return 0;
}
