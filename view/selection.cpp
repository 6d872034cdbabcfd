#include "view/selection.h"

#include <mmsystem.h>

#include "app/notices.h"
#include "app/window_slots.h"
#include "res/resource.h"
#include "store/lists.h"
#include "store/settings.h"
#include "view/clipboard.h"
#include "view/list_entry.h"

// Puts the selected entry on the clipboard with the click sound, sends the
// window to the tray if the user chose so, and saves the settings.
static void CopySelectedEntry(HINSTANCE instance, HWND window)
{
    HWND listBox = WindowSlot(0, IDC_LISTBOX, NULL);
    LRESULT index = SendMessageA(listBox, LB_GETCURSEL, 0, 0);
    int copied = 1;
    if (index != LB_ERR) {
        SetActiveListSelection((int32_t)index);
        int length = ReadListEntry(listBox, (int)index, listEntryText, sizeof listEntryText);
        copied = length >= 0 &&
                 CopyListEntryToClipboard(window, (int32_t)GetActiveList(), listEntryText, (size_t)length);
        if (copied)
            PlaySoundA("CLICK_SOUND", instance, SND_RESOURCE | SND_ASYNC);
        else
            ShowNotice(MB_ICONWARNING, IDS_NOTHING_COPIED);
    }
    // A failed copy leaves the window where the user can try again.
    if (copied && GetMinimiseAfterSelection() == 1)
        SendMessageA(window, WM_CLOSE, 0, 0);
    SaveSettings();
}

LRESULT SelectEntryCommand(HINSTANCE instance, HWND window, UINT, WPARAM wParam, LPARAM)
{
    // Single clicks, focus changes and Esc (IDCANCEL shares the id) only
    // move the selection.
    if (HIWORD(wParam) == LBN_DBLCLK)
        CopySelectedEntry(instance, window);
    return 0;
}

LRESULT CopyEntryCommand(HINSTANCE instance, HWND window, UINT, WPARAM, LPARAM)
{
    CopySelectedEntry(instance, window);
    return 0;
}
