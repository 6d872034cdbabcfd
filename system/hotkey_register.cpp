#include "system/notices.h"
#include "system/hotkey_register.h"

#include <stdio.h>

#include "core/hotkey_text.h"
#include "core/options_format.h"
#include "res/resource.h"
#include "system/string_cache.h"

// Not in the XP headers: hotkey presses are not repeated while the key is
// held. Windows 7 and later understand it; older versions refuse the call,
// and there a held hotkey toggles the window at the key's repeat rate.
static const UINT ModNoRepeat = 0x4000;
static enum HotkeyState hotkeyState;

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
    ShowMessage(owner, text, GetString(IDS_PRODUCT), MB_TOPMOST | MB_TASKMODAL | MB_ICONWARNING);
}

