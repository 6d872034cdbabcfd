#include "view/selection.h"

#include <mmsystem.h>
#include <string.h>

#include "app/hotkey.h"
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

// What follows every choice of an entry: the paste into the program the
// hotkey came from when the user asked for it (the window goes to the tray
// first), otherwise the window to the tray if the user chose so; then the
// save. The origin is taken before the window hides, since hiding hands the
// activation on and so forgets it.
static void FinishSelection(HWND window, int copied)
{
    HWND origin = copied && GetPasteAfterHotkey() == 1 ? TakeHotkeyOrigin() : NULL;
    if (origin != NULL || GetMinimiseAfterSelection() == 1)
        SendMessageA(window, WM_CLOSE, 0, 0);
    SaveSettings();
    if (origin != NULL)
        PasteInto(origin);
}

static int CopyWithClick(HINSTANCE instance, HWND window, const char *text, int length)
{
    if (length < 0 || !CopyTextToClipboard(window, text, (size_t)length))
        return 0;
    PlaySoundA("CLICK_SOUND", instance, SND_RESOURCE | SND_ASYNC);
    return 1;
}

void CopySelectedEntry(HINSTANCE instance, HWND window)
{
    HWND listBox = WindowSlot(0, IDC_LISTBOX, NULL);
    LRESULT index = SendMessageA(listBox, LB_GETCURSEL, 0, 0);
    int copied = 0;
    if (index != LB_ERR) {
        SetActiveListSelection((int32_t)index);
        int length = ReadListEntry(listBox, (int)index, listEntryText, sizeof listEntryText);
        copied = CopyWithClick(instance, window, listEntryText, length);
    }
    FinishSelection(window, copied);
}

void CopyEntryText(HINSTANCE instance, HWND window, const char *text, int length)
{
    FinishSelection(window, CopyWithClick(instance, window, text, length));
}

LRESULT SelectEntryCommand(HINSTANCE instance, HWND window, UINT, WPARAM wParam, LPARAM)
{
    // Single clicks, focus changes and Esc (IDCANCEL shares the id) only
    // move the selection.
    if (HIWORD(wParam) == LBN_DBLCLK)
        CopySelectedEntry(instance, window);
    return 0;
}

LRESULT CopySelectedCommand(HINSTANCE instance, HWND window, UINT, WPARAM, LPARAM)
{
    CopySelectedEntry(instance, window);
    return 0;
}
