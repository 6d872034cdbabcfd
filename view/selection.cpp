#include "view/selection.h"

#include <mmsystem.h>

#include "system/paste_back.h"
#include "system/late_dlls.h"
#include "system/notices.h"
#include "system/window_slots.h"
#include "res/resource.h"
#include "view/lists.h"
#include "store/settings.h"
#include "view/save_settings.h"
#include "view/clipboard.h"
#include "system/list_entry.h"

// The click sounds only for a copy that happened; a clipboard that stayed
// busy is told, since the user would otherwise paste something else.
static int CopyWithClick(HINSTANCE instance, HWND window, int32_t list, const WCHAR *text, int units)
{
    if (units >= 0 && CopyListEntryToClipboardW(window, list, text, units)) {
        // Without winmm the copy still happened; it is only not heard.
        PlaySoundProc playSound = GetPlaySound();
        if (playSound != NULL)
            playSound("CLICK_SOUND", instance, SND_RESOURCE | SND_ASYNC);
        return 1;
    }
    ShowNotice(MB_ICONWARNING, IDS_NOTHING_COPIED);
    return 0;
}

// What follows every choice of an entry: the paste into the program the
// hotkey came from when the user asked for it (the window goes to the tray
// first), otherwise the window to the tray if the user chose so; then the
// save. A failed copy leaves the window where the user can try again. The
// origin is taken before the window hides, since hiding hands the
// activation on and so forgets it.
static void FinishSelection(HWND window, int attempted, int copied)
{
    HWND origin = copied && GetPasteAfterHotkey() == 1 ? TakeHotkeyOrigin() : NULL;
    if (origin != NULL || (GetMinimiseAfterSelection() == 1 && (copied || !attempted)))
        SendMessageA(window, WM_CLOSE, 0, 0);
    SaveSettings();
    if (origin != NULL)
        PasteInto(origin);
}

void CopySelectedEntry(HINSTANCE instance, HWND window)
{
    HWND listBox = WindowSlot(0, IDC_LISTBOX, NULL);
    LRESULT index = SendMessageA(listBox, LB_GETCURSEL, 0, 0);
    int attempted = index != LB_ERR, copied = 0;
    if (attempted) {
        SetActiveListSelection((int32_t)index);
        static WCHAR entry[ListEntryBufferSize];
        int units = ReadListEntryW(listBox, (int)index, entry, ARRAYSIZE(entry));
        copied = CopyWithClick(instance, window, (int32_t)GetActiveList(), entry, units);
    }
    FinishSelection(window, attempted, copied);
}

void CopyEntryText(HINSTANCE instance, HWND window, int32_t list, const WCHAR *text, int units)
{
    FinishSelection(window, 1, CopyWithClick(instance, window, list, text, units));
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
