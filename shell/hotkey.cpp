#include "shell/hotkey.h"

#include "res/resource.h"
#include "store/settings.h"
#include "system/hotkey_register.h"
#include "system/paste_back.h"

void StartHotkey(HWND window)
{
    uint32_t modifiers = 0, key = 0;
    GetHotkey(&modifiers, &key);
    if (!ApplyHotkey(window, modifiers, key))
        PostMessageA(window, WM_COMMAND, CMD_REPORT_HOTKEY, 0);
}

LRESULT ReportHotkeyCommand(HINSTANCE, HWND, UINT, WPARAM, LPARAM)
{
    // Only while the failure stands: the user may have chosen another
    // combination before this posted report arrived.
    if (GetHotkeyState() == HotkeyTaken) {
        uint32_t modifiers = 0, key = 0;
        GetHotkey(&modifiers, &key);
        ReportHotkeyTaken(NULL, modifiers, key);
    }
    return 0;
}

// Puts `window` in front with the keyboard's focus. The system lets a
// process that has just received a hotkey take the foreground; where it
// still refuses, the input queues are joined for a moment, which it allows.
static void BringToFront(HWND window)
{
    SetForegroundWindow(window);
    if (GetForegroundWindow() == window)
        return;
    HWND foreground = GetForegroundWindow();
    DWORD foregroundThread = foreground != NULL ? GetWindowThreadProcessId(foreground, NULL) : 0;
    DWORD ownThread = GetCurrentThreadId();
    if (foregroundThread != 0 && foregroundThread != ownThread &&
        AttachThreadInput(ownThread, foregroundThread, TRUE)) {
        SetForegroundWindow(window);
        BringWindowToTop(window);
        AttachThreadInput(ownThread, foregroundThread, FALSE);
    }
}

static int IsOwnWindow(HWND window)
{
    DWORD process = 0;
    if (window == NULL)
        return 0;
    GetWindowThreadProcessId(window, &process);
    return process == GetCurrentProcessId();
}

LRESULT OnHotkey(HINSTANCE, HWND window, UINT, WPARAM wParam, LPARAM)
{
    if (wParam != HotkeyId)
        return 0;
    HWND foreground = GetForegroundWindow();
    if (foreground == window && IsWindowVisible(window) && !IsIconic(window)) {
        // The second press: back to the tray, as the close box does.
        SetHotkeyOrigin(NULL);
        SendMessageA(window, WM_CLOSE, 0, 0);
        return 0;
    }
    if (!IsWindowEnabled(window)) {
        // One of Vombly's own dialogs is open: that one comes to the front.
        BringToFront(GetLastActivePopup(window));
        return 0;
    }
    if (!IsWindowVisible(window) || IsIconic(window))
        ShowWindow(window, SW_SHOWNORMAL);
    BringToFront(window);
    // Remembered only once the window is in front: one the system kept
    // behind never hears the user go to another program, which is what
    // forgets the origin.
    SetHotkeyOrigin(GetForegroundWindow() == window && !IsOwnWindow(foreground) ? foreground : NULL);

    // The keyboard goes to the list, on the selected entry (the first when
    // none is selected, so that Enter has something to copy).
    HWND listBox = GetDlgItem(window, IDC_LISTBOX);
    if (SendMessageA(listBox, LB_GETCURSEL, 0, 0) == LB_ERR && SendMessageA(listBox, LB_GETCOUNT, 0, 0) > 0)
        SendMessageA(listBox, LB_SETCURSEL, 0, 0);
    SetFocus(listBox);
    return 0;
}

LRESULT OnActivateApp(HINSTANCE, HWND, UINT, WPARAM wParam, LPARAM)
{
    // The user went to another program: a later copy is no answer to the
    // hotkey any more.
    if (!wParam)
        SetHotkeyOrigin(NULL);
    return 0;
}
