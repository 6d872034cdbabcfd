// The main window's life: saves on the timer and on clock changes, the fixed
// size, close-to-tray and back, the shell's restart message, and Exit.
#include <windows.h>
#include <shellapi.h>
#include <gtest/gtest.h>

#include "app/dispatch.h"
#include "shell/lifecycle.h"
#include "system/window_slots.h"
#include "res/resource.h"
#include "tests/win/main_window_util.h"

struct LifecycleTest : MainWindowFixture {
    // Sends `message` and tells whether it wrote the settings file.
    bool sendAndSeeSave(UINT message)
    {
        DeleteFileA(settingsPath().c_str());
        SendMessageA(window, message, 0, 0);
        return fileExists(settingsPath());
    }
};

TEST_F(LifecycleTest, TimerSavesOnTicksOneSevenAndThirteen)
{
    ASSERT_NO_FATAL_FAILURE(openMainWindow());
    for (int tick = 1; tick <= 14; tick++) {
        bool saved = sendAndSeeSave(WM_TIMER);
        EXPECT_EQ(tick == 1 || tick == 7 || tick == 13, saved) << "tick " << tick;
    }
}

TEST_F(LifecycleTest, ClockChangesSaveAtMostOncePerTick)
{
    ASSERT_NO_FATAL_FAILURE(openMainWindow());
    struct Step {
        UINT message;
        bool saves;
        const char *why;
    } steps[] = {
        {WM_TIMECHANGE, false, "before the first tick"},
        {WM_TIMECHANGE, false, "again before the first tick"},
        {WM_TIMER, true, "tick 1"},
        {WM_TIMECHANGE, true, "first change after tick 1"},
        {WM_TIMECHANGE, false, "second change after tick 1"},
        {WM_TIMER, false, "tick 2"},
        {WM_TIMECHANGE, true, "first change after tick 2"},
        {WM_TIMECHANGE, false, "second change after tick 2"},
        {WM_TIMER, false, "tick 3"},
        {WM_TIMER, false, "tick 4"},
        {WM_TIMECHANGE, true, "change after tick 4"},
    };
    for (const auto &step : steps)
        EXPECT_EQ(step.saves, sendAndSeeSave(step.message)) << step.why;
}

TEST_F(LifecycleTest, TrackingSizeIsPinnedTo590By450)
{
    ASSERT_NO_FATAL_FAILURE(openMainWindow());
    MINMAXINFO info = {};
    info.ptMaxSize.x = 1234;
    EXPECT_EQ(0, SendMessageA(window, WM_GETMINMAXINFO, 0, (LPARAM)&info));
    EXPECT_EQ(590, info.ptMinTrackSize.x);
    EXPECT_EQ(450, info.ptMinTrackSize.y);
    EXPECT_EQ(590, info.ptMaxTrackSize.x);
    EXPECT_EQ(450, info.ptMaxTrackSize.y);
    EXPECT_EQ(1234, info.ptMaxSize.x);

    // An ordinary resize is held to that size.
    MoveWindow(window, 50, 40, 800, 300, TRUE);
    RECT frame;
    GetWindowRect(window, &frame);
    EXPECT_EQ(590, frame.right - frame.left);
    EXPECT_EQ(450, frame.bottom - frame.top);
}

static void expectShownNormally(HWND window)
{
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_FALSE(IsIconic(window));
    RECT frame;
    GetWindowRect(window, &frame);
    EXPECT_EQ(590, frame.right - frame.left);
    EXPECT_EQ(450, frame.bottom - frame.top);
}

TEST_F(LifecycleTest, CloseGoesToTheTrayAndADoubleClickBringsItBack)
{
    ASSERT_NO_FATAL_FAILURE(openMainWindow());
    expectShownNormally(window);
    // Every close but Exit's (the caption button, Alt+F4) only hides.
    WPARAM closes[] = {0, 1, SC_CLOSE, IDM_EXIT + 1};
    for (WPARAM wParam : closes) {
        SCOPED_TRACE(wParam);
        EXPECT_EQ(0, SendMessageA(window, WM_CLOSE, wParam, 0));
        pumpMessages(50);
        EXPECT_TRUE(IsWindow(window));
        EXPECT_TRUE(IsIconic(window));
        EXPECT_FALSE(IsWindowVisible(window));
        EXPECT_FALSE(takeQuitMessage());

        // Other tray clicks and mouse moves leave it in the tray (the right
        // button's release opens the tray menu, tested on its own).
        LPARAM ignored[] = {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_RBUTTONDOWN, WM_MOUSEMOVE};
        for (LPARAM event : ignored) {
            SCOPED_TRACE(event);
            EXPECT_EQ(0, SendMessageA(window, TrayNotifyMessage, TrayIconId, event));
            EXPECT_TRUE(IsIconic(window));
            EXPECT_FALSE(IsWindowVisible(window));
        }

        EXPECT_EQ(0, SendMessageA(window, TrayNotifyMessage, TrayIconId, WM_LBUTTONDBLCLK));
        pumpMessages(50);
        expectShownNormally(window);
        // The controls are back at their places after the restore.
        RECT client;
        GetClientRect(window, &client);
        RECT listBox = rectInParent(WindowSlot(0, IDC_LISTBOX, NULL));
        EXPECT_EQ(5 * client.right / 100, listBox.left);
        EXPECT_EQ(8 * client.bottom / 100, listBox.top);
    }
}

TEST_F(LifecycleTest, TrayEventsOnAShownWindowChangeNothing)
{
    ASSERT_NO_FATAL_FAILURE(openMainWindow());
    LPARAM events[] = {WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MOUSEMOVE, WM_LBUTTONDBLCLK};
    for (LPARAM event : events) {
        SCOPED_TRACE(event);
        EXPECT_EQ(0, SendMessageA(window, TrayNotifyMessage, TrayIconId, event));
        expectShownNormally(window);
    }
}

TEST_F(LifecycleTest, ShellRestartMessageIsServedOnceTheWindowExists)
{
    UINT taskbarCreated = RegisterWindowMessageA("TaskbarCreated");
    ASSERT_NE(0u, taskbarCreated);
    // Its number is learnt at creation; until then nothing answers it.
    EXPECT_EQ(nullptr, FindMessageHandler(taskbarCreated));
    ASSERT_NO_FATAL_FAILURE(openMainWindow());
    EXPECT_EQ(taskbarCreated, TaskbarCreatedMessage());
    EXPECT_EQ((MessageHandler)OnTaskbarCreated, FindMessageHandler(taskbarCreated));
    EXPECT_EQ(0, SendMessageA(window, taskbarCreated, 0, 0));
    expectShownNormally(window);
}

// The shell accepts a change to an icon only while it shows that icon.
static bool trayHasIcon(HWND window)
{
    NOTIFYICONDATAA data = {};
    data.cbSize = sizeof data;
    data.hWnd = window;
    data.uID = TrayIconId;
    data.uFlags = NIF_MESSAGE;
    data.uCallbackMessage = TrayNotifyMessage;
    return Shell_NotifyIconA(NIM_MODIFY, &data) != FALSE;
}

TEST_F(LifecycleTest, ShellRestartPutsTheTrayIconBack)
{
    ASSERT_NO_FATAL_FAILURE(openMainWindow());
    ASSERT_TRUE(trayHasIcon(window)) << "no icon after the start";
    // A restarted shell has lost every icon.
    NOTIFYICONDATAA data = {};
    data.cbSize = sizeof data;
    data.hWnd = window;
    data.uID = TrayIconId;
    ASSERT_TRUE(Shell_NotifyIconA(NIM_DELETE, &data));
    ASSERT_FALSE(trayHasIcon(window));

    SendMessageA(window, RegisterWindowMessageA("TaskbarCreated"), 0, 0);
    EXPECT_TRUE(trayHasIcon(window)) << "the icon was not added back";
}

TEST_F(LifecycleTest, ExitAsksFirstAndQuitEndsTheMessageLoop)
{
    ASSERT_NO_FATAL_FAILURE(openMainWindow());
    struct Case {
        WORD answer;
        bool quits;
    } cases[] = {{IDCANCEL, false}, {IDOK, true}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.answer);
        DeleteFileA(settingsPath().c_str());
        DialogDriver driver;
        ASSERT_NO_FATAL_FAILURE(startDialogDriver(&driver, &c.answer, 1, 3000));
        // The File menu's Exit.
        SendMessageA(window, WM_COMMAND, IDM_EXIT, 0);
        finishDialogDriver(&driver);
        ASSERT_NE(nullptr, driver.dialog) << "no Exit dialog was shown";
        EXPECT_FALSE(driver.gaveUp);
        EXPECT_STREQ("Vombly - Quit", driver.captionAtOpen);

        // Quit saves and ends the loop; the window is left to the end of
        // the process. Cancel changes nothing.
        EXPECT_EQ(c.quits, takeQuitMessage());
        EXPECT_EQ(c.quits, fileExists(settingsPath()));
        EXPECT_TRUE(IsWindow(window));
        EXPECT_TRUE(IsWindowEnabled(window));
    }
}
