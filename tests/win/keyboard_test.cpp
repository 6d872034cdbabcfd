// The main window's keyboard: which keys the list box takes from the dialog
// manager, and the global hotkey's registration, refused when another
// program holds the combination and released when none is chosen.
#include <windows.h>
#include <gtest/gtest.h>

#include "shell/hotkey.h"
#include "system/hotkey_register.h"
#include "system/window_slots.h"
#include "res/resource.h"
#include "tests/win/main_window_util.h"

namespace {

struct KeyboardTest : MainWindowFixture {
    void holdControl(bool held)
    {
        BYTE keys[256];
        GetKeyboardState(keys);
        keys[VK_CONTROL] = held ? 0x80 : 0;
        SetKeyboardState(keys);
    }
};

TEST_F(KeyboardTest, ListBoxTakesItsOwnKeysAndLeavesTheOthersToTheDialogManager)
{
    ASSERT_NO_FATAL_FAILURE(openMainWindow());
    HWND listBox = WindowSlot(0, IDC_LISTBOX, NULL);
    struct Case {
        const char *label;
        UINT message;
        WPARAM key;
        bool control;
        LRESULT wanted;    // bits that must be set
        LRESULT unwanted;  // bits that must be clear
    } cases[] = {
        {"Enter", WM_KEYDOWN, VK_RETURN, false, DLGC_WANTMESSAGE, 0},
        {"Esc", WM_KEYDOWN, VK_ESCAPE, false, DLGC_WANTMESSAGE, 0},
        {"Delete", WM_KEYDOWN, VK_DELETE, false, DLGC_WANTMESSAGE, 0},
        {"Ctrl+Tab", WM_KEYDOWN, VK_TAB, true, DLGC_WANTMESSAGE | DLGC_WANTTAB, 0},
        {"Tab moves on", WM_KEYDOWN, VK_TAB, false, 0, DLGC_WANTMESSAGE | DLGC_WANTTAB},
        {"arrows as before", WM_KEYDOWN, VK_DOWN, false, DLGC_WANTARROWS, DLGC_WANTMESSAGE},
        {"Enter's character", WM_CHAR, '\r', false, DLGC_WANTMESSAGE, 0},
        {"typed letters", WM_CHAR, 'k', false, DLGC_WANTCHARS, 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.label);
        holdControl(c.control);
        MSG message = {listBox, c.message, c.key, 0, 0, {0, 0}};
        LRESULT code = SendMessageA(listBox, WM_GETDLGCODE, c.key, (LPARAM)&message);
        EXPECT_EQ(c.wanted, code & c.wanted);
        EXPECT_EQ(0, code & c.unwanted);
    }
    holdControl(false);
}

TEST_F(KeyboardTest, EnterThroughTheDialogManagerCopiesTheSelectedEntry)
{
    ASSERT_NO_FATAL_FAILURE(openMainWindow());
    HWND listBox = WindowSlot(0, IDC_LISTBOX, NULL);
    SetFocus(listBox);
    SendMessageA(listBox, LB_SETCURSEL, 1, 0);
    // As the message loop does: the dialog manager sees the key first.
    MSG message = {listBox, WM_KEYDOWN, VK_RETURN, 0x1C0001, GetTickCount(), {0, 0}};
    EXPECT_TRUE(IsDialogMessageA(window, &message));
    ASSERT_TRUE(OpenClipboard(NULL));
    HANDLE data = GetClipboardData(CF_TEXT);
    const char *text = data != NULL ? (const char *)GlobalLock(data) : NULL;
    EXPECT_STREQ("apple", text != NULL ? text : "<none>");
    if (text != NULL)
        GlobalUnlock(data);
    CloseClipboard();
}

TEST_F(KeyboardTest, HotkeyHeldElsewhereIsRefusedAndNoneReleasesIt)
{
    ASSERT_NO_FATAL_FAILURE(openMainWindow());
    const UINT modifiers = MOD_CONTROL | MOD_ALT | MOD_SHIFT;
    // Another holder of the combination: this test's thread.
    ASSERT_TRUE(RegisterHotKey(NULL, 9, modifiers, VK_F11));
    EXPECT_EQ(0, ApplyHotkey(window, modifiers, VK_F11));
    EXPECT_EQ(HotkeyTaken, GetHotkeyState());
    UnregisterHotKey(NULL, 9);

    EXPECT_EQ(1, ApplyHotkey(window, modifiers, VK_F11));
    EXPECT_EQ(HotkeyOn, GetHotkeyState());
    EXPECT_FALSE(RegisterHotKey(NULL, 9, modifiers, VK_F11)) << "the window holds it now";

    EXPECT_EQ(1, ApplyHotkey(window, 0, 0));
    EXPECT_EQ(HotkeyOff, GetHotkeyState());
    EXPECT_TRUE(RegisterHotKey(NULL, 9, modifiers, VK_F11)) << "no hotkey lets it go";
    UnregisterHotKey(NULL, 9);
}

} // namespace
