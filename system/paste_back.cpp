#include "system/paste_back.h"

// Bounds of the paste: the other window's coming to the front, and the
// user's letting go of the modifiers.
static const DWORD ForegroundWaitMs = 1000;
static const DWORD ModifierWaitMs = 2000;

static HWND hotkeyOrigin;
static DWORD hotkeyOriginSetAt;

void SetHotkeyOrigin(HWND origin)
{
    hotkeyOrigin = origin;
    hotkeyOriginSetAt = GetTickCount();
}

HWND TakeHotkeyOrigin(void)
{
    HWND origin = hotkeyOrigin;
    hotkeyOrigin = NULL;
    // Unsigned: the difference stays right when the count wraps in between.
    if (GetTickCount() - hotkeyOriginSetAt >= (DWORD)HotkeyOriginLifetimeMs)
        return NULL;
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
