// Paste back in-process: Ctrl+V only into the origin while it is in front
// as the keys go out, the origin's time limit across the tick count's wrap,
// no origin from a hotkey whose window never came to the front, and the
// Ctrl+V sent before anything that can show a box and never after one. The
// keys are caught on their way to SendInput.
#include <windows.h>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "core/rules.h"
#include "res/resource.h"
#include "store/settings.h"
#include "system/hotkey_register.h"
#include "system/notices.h"
#include "system/paste_back.h"
#include "system/window_slots.h"
#include "tests/common/win_ui.h"
#include "tests/win/main_window_util.h"

extern "C" void *importSendInput IMPORT_SLOT(SendInput, 12);
extern "C" void *importGetTickCount IMPORT_SLOT(GetTickCount, 0);
extern "C" void *importGetAsyncKeyState IMPORT_SLOT(GetAsyncKeyState, 4);

namespace {

DWORD fakeTicks;
DWORD WINAPI FakeTickCount(void)
{
    return fakeTicks;
}

// One SendInput call of the program: its keys, the window in front and how
// many boxes had been shown when it was made.
struct Sent {
    std::vector<INPUT> keys;
    HWND foreground;
    unsigned long notices;
};
std::vector<Sent> sent;

UINT WINAPI CatchingSendInput(UINT count, LPINPUT inputs, int)
{
    sent.push_back({std::vector<INPUT>(inputs, inputs + count), GetForegroundWindow(), NoticesShown()});
    return count;
}

// The user's Shift, down for the paste's first looks at it (-1: for good).
// As it is let go, `thief` takes the foreground, as a program that comes
// up by itself does. (Under Wine a key held through SendInput is let go at
// every change of the foreground, so the hand on the key is played here.)
int shiftLooks;
HWND thief;
SHORT WINAPI ShiftHeldForAWhile(int key)
{
    if (key != VK_SHIFT || shiftLooks == 0)
        return 0;
    if (shiftLooks > 0 && --shiftLooks == 0) {
        if (thief != NULL)
            SetForegroundWindow(thief);
        return 0;
    }
    return (SHORT)0x8000;
}

// The main window's own procedure, and a box shown on the way to the tray
// when a row asks for one.
WNDPROC mainProc;
bool boxOnClose;
LRESULT CALLBACK BoxOnCloseProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CLOSE && boxOnClose)
        ShowNotice(MB_ICONWARNING, IDS_NOTHING_COPIED);
    return CallWindowProcA(mainProc, window, message, wParam, lParam);
}

// Refuses the main window's activation, as the system does when it keeps a
// window behind.
HWND refusedWindow;
LRESULT CALLBACK RefuseActivation(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_ACTIVATE && (HWND)wParam == refusedWindow)
        return 1;
    return CallNextHookEx(NULL, code, wParam, lParam);
}

struct PasteBackTest : MainWindowFixture {
    void *realSendInput = NULL;
    void *realTickCount = NULL;
    void *realKeyState = NULL;
    HWND origin = NULL;
    HANDLE held = INVALID_HANDLE_VALUE;
    PROCESS_INFORMATION notepad = {};

    void SetUp() override
    {
        MainWindowFixture::SetUp();
        sent.clear();
        realSendInput = replaceImport(&importSendInput, (void *)CatchingSendInput);
        ASSERT_NE(nullptr, realSendInput);
    }
    void TearDown() override
    {
        if (window != NULL && mainProc != NULL)
            SetWindowLongPtrA(window, GWLP_WNDPROC, (LONG_PTR)mainProc);
        mainProc = NULL;
        if (held != INVALID_HANDLE_VALUE)
            CloseHandle(held);
        if (origin != NULL)
            DestroyWindow(origin);
        endProcess(&notepad);
        if (realTickCount != NULL)
            replaceImport(&importGetTickCount, realTickCount);
        if (realKeyState != NULL)
            replaceImport(&importGetAsyncKeyState, realKeyState);
        if (thief != NULL)
            DestroyWindow(thief);
        thief = NULL;
        if (realSendInput != NULL)
            replaceImport(&importSendInput, realSendInput);
        MainWindowFixture::TearDown();
    }
    // A window of "another program", in this process.
    static HWND openOtherWindow(const char *title)
    {
        return CreateWindowExA(0, "STATIC", title, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 200, 100, NULL, NULL,
                               GetModuleHandleA(NULL), NULL);
    }
    HWND openOrigin()
    {
        origin = openOtherWindow("origin");
        return origin;
    }
    // The Ctrl+V strokes, once, sent while `target` was in front.
    void expectCtrlVInto(HWND target)
    {
        ASSERT_EQ(1u, sent.size());
        EXPECT_EQ(target, sent[0].foreground);
        const struct {
            WORD key;
            DWORD flags;
        } strokes[] = {{VK_CONTROL, 0}, {'V', 0}, {'V', KEYEVENTF_KEYUP}, {VK_CONTROL, KEYEVENTF_KEYUP}};
        ASSERT_EQ(ARRAYSIZE(strokes), sent[0].keys.size());
        for (size_t i = 0; i < ARRAYSIZE(strokes); i++) {
            EXPECT_EQ((DWORD)INPUT_KEYBOARD, sent[0].keys[i].type);
            EXPECT_EQ(strokes[i].key, sent[0].keys[i].ki.wVk);
            EXPECT_EQ(strokes[i].flags, sent[0].keys[i].ki.dwFlags);
        }
    }
    // A window of another process, in front.
    HWND openNotepad() { return startNotepad(&notepad, 10000); }
};

TEST_F(PasteBackTest, CtrlVGoesOnlyIntoTheOriginWhileItIsInFrontAsTheKeysGoOut)
{
    // The main window is not used; its lock keeps parallel tests' windows
    // from taking the foreground meanwhile.
    ASSERT_NO_FATAL_FAILURE(openMainWindow());
    ASSERT_NE(nullptr, openOrigin());
    realKeyState = replaceImport(&importGetAsyncKeyState, (void *)ShiftHeldForAWhile);
    ASSERT_NE(nullptr, realKeyState);
    const struct {
        const char *label;
        int shiftLooks;
        bool thiefComes;
        bool pasted;
    } cases[] = {
        {"Shift let go, the origin still in front", 5, false, true},
        {"another window took the foreground as Shift was let go", 5, true, false},
        {"Shift never let go", -1, false, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.label);
        sent.clear();
        shiftLooks = c.shiftLooks;
        thief = c.thiefComes ? openOtherWindow("thief") : NULL;
        SetForegroundWindow(window);
        EXPECT_EQ(c.pasted ? 1 : 0, PasteInto(origin));
        if (c.pasted) {
            expectCtrlVInto(origin);
        } else {
            EXPECT_EQ(0u, sent.size());
            if (!sent.empty()) {
                EXPECT_NE(thief, sent[0].foreground) << "typed into the window that took the foreground";
            }
        }
        if (thief != NULL) {
            EXPECT_EQ(thief, GetForegroundWindow());
            DestroyWindow(thief);
            thief = NULL;
        }
    }
}

TEST_F(PasteBackTest, TheOriginIsForgottenOnceItsTimeIsUpAcrossTheTickCountWrap)
{
    realTickCount = replaceImport(&importGetTickCount, (void *)FakeTickCount);
    ASSERT_NE(nullptr, realTickCount);
    HWND other = GetDesktopWindow();
    const DWORD limit = HotkeyOriginLifetimeMs;
    const struct {
        const char *label;
        DWORD setAt;
        DWORD takenAt;
        bool kept;
    } cases[] = {
        {"at once", 5000, 5000, true},
        {"just inside the limit", 5000, 5000 + limit - 1, true},
        {"at the limit", 5000, 5000 + limit, false},
        {"an hour later", 5000, 5000 + 3600000, false},
        {"inside, across the wrap", 0xFFFFF000u, 0x00001000u, true},
        {"past, across the wrap", 0xFFFFF000u, 0xFFFFF000u + limit, false},
        {"set at the count's last value", 0xFFFFFFFFu, 0xFFFFFFFFu + limit - 1, true},
        {"49.7 days later, at the same count", 5000, 5000, true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.label);
        fakeTicks = c.setAt;
        SetHotkeyOrigin(other);
        fakeTicks = c.takenAt;
        EXPECT_EQ(c.kept ? other : (HWND)NULL, TakeHotkeyOrigin());
        EXPECT_EQ(nullptr, TakeHotkeyOrigin()) << "handed over once";
    }
}

TEST_F(PasteBackTest, AHotkeyWhoseWindowNeverCameToTheFrontLeavesNoOrigin)
{
    ASSERT_NO_FATAL_FAILURE(openMainWindow());
    HWND other = openNotepad();
    ASSERT_NE(nullptr, other);
    const struct {
        const char *label;
        bool refused;
    } cases[] = {
        {"kept behind", true},
        {"in front", false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.label);
        // From the tray, with the other program in front.
        SendMessageA(window, WM_CLOSE, 0, 0);
        pumpMessages(50);
        SetForegroundWindow(other);
        ASSERT_TRUE(pumpUntil([&] { return GetForegroundWindow() == other; }, 3000));
        refusedWindow = window;
        HHOOK hook = c.refused ? SetWindowsHookExA(WH_CBT, RefuseActivation, NULL, GetCurrentThreadId()) : NULL;
        SendMessageA(window, WM_HOTKEY, HotkeyId, 0);
        if (hook != NULL)
            UnhookWindowsHookEx(hook);
        pumpMessages(50);
        EXPECT_EQ(!c.refused, GetForegroundWindow() == window);
        EXPECT_EQ(c.refused ? (HWND)NULL : other, TakeHotkeyOrigin());
    }
}

TEST_F(PasteBackTest, CtrlVGoesOutBeforeAnyBoxAndNeverAfterOne)
{
    ASSERT_NO_FATAL_FAILURE(openMainWindow());
    ASSERT_NE(nullptr, openOrigin());
    SetPasteAfterHotkey(1);
    mainProc = (WNDPROC)SetWindowLongPtrA(window, GWLP_WNDPROC, (LONG_PTR)BoxOnCloseProc);
    const struct {
        const char *label;
        bool saveFails;
        bool boxOnTheWay;
        bool pasted;
    } cases[] = {
        {"nothing to tell", false, false, true},
        {"a failed save, told after the paste", true, false, true},
        {"a box on the way to the tray", false, true, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.label);
        sent.clear();
        // Another program holds the file every settings save goes through.
        if (c.saveFails) {
            held = CreateFileA((settingsPath() + TempPathSuffix).c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS,
                               0, NULL);
            ASSERT_NE(INVALID_HANDLE_VALUE, held);
        }
        boxOnClose = c.boxOnTheWay;
        DialogDriver boxes;
        ASSERT_NO_FATAL_FAILURE(startBoxAnswerer(&boxes, "Vombly", IDOK));
        unsigned long before = NoticesShown();
        SetForegroundWindow(window);
        SetHotkeyOrigin(origin);
        SendMessageA(WindowSlot(0, IDC_LISTBOX, NULL), LB_SETCURSEL, 1, 0);
        SendMessageA(window, WM_COMMAND, CMD_COPY_SELECTED, 0);
        finishDialogDriver(&boxes);
        boxOnClose = false;
        if (held != INVALID_HANDLE_VALUE) {
            CloseHandle(held);
            held = INVALID_HANDLE_VALUE;
        }
        EXPECT_EQ(c.saveFails || c.boxOnTheWay ? 1 : 0, boxes.seen) << boxes.texts;
        EXPECT_EQ(before + (unsigned long)boxes.seen, NoticesShown());
        if (c.pasted) {
            ASSERT_NO_FATAL_FAILURE(expectCtrlVInto(origin));
            EXPECT_EQ(before, sent[0].notices) << "a box came first";
        } else {
            EXPECT_EQ(0u, sent.size());
        }
        EXPECT_EQ("apple", clipboardText());
        EXPECT_TRUE(IsIconic(window)) << "the paste sends the window to the tray";
        EXPECT_EQ(nullptr, TakeHotkeyOrigin()) << "taken by the copy";
        ShowWindow(window, SW_RESTORE);
        pumpMessages(50);
    }
}

} // namespace
