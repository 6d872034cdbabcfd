#include "shell/hotkey.h"

#include <stdio.h>

#include "core/hotkey_text.h"
#include "system/string_cache.h"
#include "res/resource.h"
#include "store/settings.h"

// Not in the XP headers: hotkey presses are not repeated while the key is
// held. Windows 7 and later understand it; older versions refuse the call,
// and there a held hotkey toggles the window at the key's repeat rate.
static const UINT ModNoRepeat = 0x4000;
// Bounds of the paste: the other window's coming to the front, and the
// user's letting go of the modifiers.
static const DWORD ForegroundWaitMs = 1000;
static const DWORD ModifierWaitMs = 2000;

static enum HotkeyState hotkeyState;
static HWND hotkeyOrigin;

static int IsWindows7OrLater(void)
{
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
    if (!GetVersionExA(&version))
        return 0;
    return version.dwMajorVersion > 6 || (version.dwMajorVersion == 6 && version.dwMinorVersion >= 1);
}

enum HotkeyState GetHotkeyState(void)
{
    return hotkeyState;
}

int ApplyHotkey(HWND window, uint32_t modifiers, uint32_t key)
{
    UnregisterHotKey(window, HotkeyId);
    if (key == 0) {
        hotkeyState = HotkeyOff;
        return 1;
    }
    UINT flags = (UINT)(modifiers & OptionsModifierMask);
    if (IsWindows7OrLater()) {
        if (RegisterHotKey(window, HotkeyId, flags | ModNoRepeat, (UINT)key)) {
            hotkeyState = HotkeyOn;
            return 1;
        }
        // A system that reports 7 but refuses the flag is tried without it;
        // a combination that is taken stays taken.
        if (GetLastError() == ERROR_HOTKEY_ALREADY_REGISTERED) {
            hotkeyState = HotkeyTaken;
            return 0;
        }
    }
    if (RegisterHotKey(window, HotkeyId, flags, (UINT)key)) {
        hotkeyState = HotkeyOn;
        return 1;
    }
    hotkeyState = HotkeyTaken;
    return 0;
}

void StartHotkey(HWND window)
{
    uint32_t modifiers = 0, key = 0;
    GetHotkey(&modifiers, &key);
    if (!ApplyHotkey(window, modifiers, key))
        PostMessageA(window, WM_COMMAND, CMD_REPORT_HOTKEY, 0);
}

void DescribeHotkey(uint32_t modifiers, uint32_t key, char *text, size_t size)
{
    char keyName[32];
    const char *name = HotkeyKeyName(key);
    if (name == NULL) {
        // Keys whose character depends on the layout: the character itself.
        UINT character = MapVirtualKeyA((UINT)key, 2) & 0x7FFF;
        if (character > ' ' && character < 0x7F)
            snprintf(keyName, sizeof keyName, "%c", (char)character);
        else
            snprintf(keyName, sizeof keyName, "#%u", (unsigned int)key);
        name = keyName;
    }
    FormatHotkeyText(modifiers, name, text, size);
}

void ReportHotkeyTaken(HWND owner, uint32_t modifiers, uint32_t key)
{
    char combination[HotkeyTextSize];
    DescribeHotkey(modifiers, key, combination, sizeof combination);
    char text[512];
    snprintf(text, sizeof text, GetString(IDS_HOTKEY_TAKEN), combination);
    MessageBoxA(owner, text, GetString(IDS_PRODUCT), MB_TOPMOST | MB_TASKMODAL | MB_ICONWARNING);
}

LRESULT ReportHotkeyCommand(HINSTANCE, HWND, UINT, WPARAM, LPARAM)
{
    // Only while the failure stands: the user may have chosen another
    // combination before this posted report arrived.
    if (hotkeyState == HotkeyTaken) {
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
        hotkeyOrigin = NULL;
        SendMessageA(window, WM_CLOSE, 0, 0);
        return 0;
    }
    if (!IsWindowEnabled(window)) {
        // One of Vombly's own dialogs is open: that one comes to the front.
        BringToFront(GetLastActivePopup(window));
        return 0;
    }
    hotkeyOrigin = IsOwnWindow(foreground) ? NULL : foreground;
    if (!IsWindowVisible(window) || IsIconic(window))
        ShowWindow(window, SW_SHOWNORMAL);
    BringToFront(window);

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
        hotkeyOrigin = NULL;
    return 0;
}

HWND TakeHotkeyOrigin(void)
{
    HWND origin = hotkeyOrigin;
    hotkeyOrigin = NULL;
    return origin;
}

// Input sent to a process of higher integrity (an elevated one) is dropped
// without a word; such a process is also one this one cannot open for its
// information, which is what is tested here.
static int CanTakeInput(HWND origin)
{
    DWORD process = 0;
    GetWindowThreadProcessId(origin, &process);
    if (process == 0)
        return 0;
    HANDLE handle = OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, process);
    if (handle == NULL)
        return 0;
    CloseHandle(handle);
    return 1;
}

static int ModifiersDown(void)
{
    static const int keys[] = {VK_SHIFT, VK_CONTROL, VK_MENU, VK_LWIN, VK_RWIN};
    for (int key : keys) {
        if (GetAsyncKeyState(key) & 0x8000)
            return 1;
    }
    return 0;
}

static int WaitUntil(int (*condition)(HWND), HWND window, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    while (!condition(window)) {
        if (GetTickCount() - start > timeoutMs)
            return 0;
        Sleep(10);
    }
    return 1;
}

static int IsForeground(HWND window)
{
    return GetForegroundWindow() == window;
}

static int ModifiersUp(HWND)
{
    return !ModifiersDown();
}

int PasteInto(HWND origin)
{
    if (origin == NULL || !IsWindow(origin) || !IsWindowVisible(origin) || !IsWindowEnabled(origin) ||
        !CanTakeInput(origin))
        return 0;
    SetForegroundWindow(origin);
    if (!WaitUntil(IsForeground, origin, ForegroundWaitMs))
        return 0;
    // Ctrl+V with the user's Shift or Alt still held would be another
    // command in most programs.
    if (!WaitUntil(ModifiersUp, origin, ModifierWaitMs))
        return 0;
    if (!IsForeground(origin))
        return 0;
    INPUT keys[4] = {};
    static const struct {
        WORD key;
        DWORD flags;
    } strokes[] = {{VK_CONTROL, 0}, {'V', 0}, {'V', KEYEVENTF_KEYUP}, {VK_CONTROL, KEYEVENTF_KEYUP}};
    for (int i = 0; i < 4; i++) {
        keys[i].type = INPUT_KEYBOARD;
        keys[i].ki.wVk = strokes[i].key;
        keys[i].ki.dwFlags = strokes[i].flags;
    }
    return SendInput(4, keys, sizeof keys[0]) == 4;
}
