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

// The click sounds only for a copy that happened; a failed copy is told
// with its cause, since the user would otherwise paste something else.
// Returns 1 when copied, 0 while the clipboard stayed busy (worth another
// try at once), -1 for any other failure.
static int CopyWithClick(HINSTANCE instance, HWND window, int32_t list, const WCHAR *text, int units)
{
    if (units >= 0 && CopyListEntryToClipboardW(window, list, text, units)) {
        // Without winmm the copy still happened; it is only not heard.
        PlaySoundProc playSound = GetPlaySound();
        if (playSound != NULL)
            playSound("CLICK_SOUND", instance, SND_RESOURCE | SND_ASYNC);
        return 1;
    }
    if (units >= 0 && GetCopyError() == ERROR_BUSY) {
        ShowNotice(MB_ICONWARNING, IDS_NOTHING_COPIED);
        return 0;
    }
    // An entry the program cannot read back, or memory it cannot have.
    char reason[512];
    ErrorText(units < 0 ? (unsigned long)ERROR_INVALID_DATA : GetCopyError(), reason, sizeof reason);
    ShowNotice(MB_ICONERROR, IDS_COPY_FAILED, reason);
    return -1;
}

// What follows every choice of an entry: the paste into the program the
// hotkey came from when the user asked for it (the window goes to the tray
// first), otherwise the window to the tray if the user chose so; then the
// save. A copy that failed on a busy clipboard leaves the window where the
// user can try again; any other failure is no better for a retry. A failed
// copy pastes nothing. The origin is taken before the window hides, since
// hiding hands the activation on and so forgets it. The paste comes before
// the save, whose failure is told in a box: a box holds up what follows it
// until it is dismissed, and by then the user may be anywhere, so no paste
// follows one.
static void FinishSelection(HWND window, int attempted, int copied)
{
    unsigned long notices = NoticesShown();
    HWND origin = copied == 1 && GetPasteAfterHotkey() == 1 ? TakeHotkeyOrigin() : NULL;
    if (origin != NULL || (GetMinimiseAfterSelection() == 1 && (copied != 0 || !attempted)))
        SendMessageA(window, WM_CLOSE, 0, 0);
    if (origin != NULL && NoticesShown() == notices)
        PasteInto(origin);
    SaveSettings();
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
