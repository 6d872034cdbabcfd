// The main window's map: which handler serves which message and command,
// what falls through to the default procedure, and the window slots.
#include <windows.h>
#include <gtest/gtest.h>

#include "app/dispatch.h"
#include "shell/tray_menu.h"
#include "shell/lifecycle.h"
#include "system/window_slots.h"
#include "dialogs/add_remove.h"
#include "dialogs/edit_entry.h"
#include "dialogs/import_export.h"
#include "res/resource.h"
#include "view/lists.h"
#include "view/clipboard.h"
#include "view/context_menu.h"
#include "view/selection.h"

TEST(WindowSlots, EightSlotsAndNoMore)
{
    HWND a = (HWND)(INT_PTR)0x1234;
    HWND b = (HWND)(INT_PTR)0x5678;
    EXPECT_EQ(nullptr, WindowSlot(0, 3, NULL));
    EXPECT_EQ(a, WindowSlot(1, 7, a));
    EXPECT_EQ(a, WindowSlot(0, 7, NULL));
    EXPECT_EQ(b, WindowSlot(1, 0, b));
    EXPECT_EQ(b, WindowSlot(0, 0, NULL));

    // Index 8 and above store nothing and return nothing, setting or not.
    unsigned int outside[] = {8, 9, 0xFFFFFFFFu};
    for (unsigned int index : outside) {
        SCOPED_TRACE(index);
        EXPECT_EQ(nullptr, WindowSlot(1, index, a));
        EXPECT_EQ(nullptr, WindowSlot(0, index, NULL));
    }
    for (unsigned int index = 1; index < 7; index++)
        EXPECT_EQ(nullptr, WindowSlot(0, index, NULL)) << index;
}

TEST(CommandTable, MenuItemsAndButtonsShareTheirHandlers)
{
    static const struct {
        WORD menuId, buttonId;
    } pairs[] = {{IDM_ADD, IDC_ADD}, {IDM_REMOVE, IDC_REMOVE}, {IDM_TOGGLE, IDC_TOGGLE}};
    for (const auto &pair : pairs) {
        SCOPED_TRACE(pair.menuId);
        ASSERT_NE(nullptr, FindCommandHandler(pair.menuId));
        EXPECT_EQ(FindCommandHandler(pair.menuId), FindCommandHandler(pair.buttonId));
    }
    EXPECT_EQ((MessageHandler)ExitCommand, FindCommandHandler(IDM_EXIT));
    EXPECT_EQ((MessageHandler)LoadListCommand, FindCommandHandler(CMD_LOAD_LIST));
    EXPECT_EQ((MessageHandler)SaveListCommand, FindCommandHandler(CMD_SAVE_LIST));
}

TEST(CommandTable, EveryMenuAndControlIdHasAHandlerAndOthersNone)
{
    WORD handled[] = {IDM_ABOUT, IDM_EXIT, IDM_SETTINGS, IDM_HOMEPAGE, IDC_LISTBOX, IDM_ADD, IDC_ADD,
                      IDM_REMOVE, IDC_REMOVE, IDM_TOGGLE, IDC_TOGGLE, CMD_LOAD_LIST, CMD_SAVE_LIST,
                      IDM_KEYBOARD_PRIVACY, CMD_COPY_SELECTED, IDM_SHOW_WINDOW, CMD_REPORT_HOTKEY};
    for (WORD id : handled)
        EXPECT_NE(nullptr, FindCommandHandler(id)) << id;
    WORD unhandled[] = {0, IDOK, 8, 40007, 40008, 0xFFFF};
    for (WORD id : unhandled)
        EXPECT_EQ(nullptr, FindCommandHandler(id)) << id;
}

TEST(MessageTable, ServesTheMainWindowsMessages)
{
    static const struct {
        UINT message;
        MessageHandler handler;
    } rows[] = {
        {WM_CREATE, OnCreate},   {WM_COMMAND, DispatchCommand}, {WM_CLOSE, OnClose},
        {WM_DESTROY, OnDestroy}, {WM_TIMER, OnTimer},           {WM_GETMINMAXINFO, OnGetMinMaxInfo},
        {TrayNotifyMessage, OnTrayNotify}, {WM_TIMECHANGE, OnTimeChange},
    };
    for (const auto &row : rows)
        EXPECT_EQ(row.handler, FindMessageHandler(row.message)) << row.message;
    EXPECT_NE(nullptr, FindMessageHandler(WM_SIZE));
    EXPECT_NE(nullptr, FindMessageHandler(WM_PAINT));
    UINT others[] = {0, WM_NCHITTEST, WM_SETCURSOR, WM_USER, WM_USER + 2, WM_KEYDOWN};
    for (UINT message : others)
        EXPECT_EQ(nullptr, FindMessageHandler(message)) << message;
}

TEST(CommandTable, TheListMenuCommandsAndThePrivateClearTimerHaveTheirRows)
{
    static const struct {
        WORD id;
        MessageHandler handler;
    } commands[] = {
        {IDM_ENTRY_COPY, CopyEntryCommand},       {IDM_ENTRY_EDIT, EditEntryCommand},
        {IDM_ENTRY_REMOVE, RemoveStringCommand},  {IDM_ENTRY_MOVE_UP, MoveEntryUpCommand},
        {IDM_ENTRY_MOVE_DOWN, MoveEntryDownCommand}, {IDM_LIST_IMPORT, ImportListCommand},
        {IDM_LIST_EXPORT, ExportListCommand},
    };
    for (const auto &row : commands)
        EXPECT_EQ(row.handler, FindCommandHandler(row.id)) << row.id;
    EXPECT_EQ(OnContextMenu, FindMessageHandler(WM_CONTEXTMENU));
    // The save timer (id 0) keeps going to OnTimer through the message table.
    EXPECT_EQ(PrivateClearTimer, FindTimerHandler(PrivateClearTimerId));
    EXPECT_EQ(nullptr, FindTimerHandler(0));
    EXPECT_EQ(nullptr, FindTimerHandler(1));
}

TEST(CommandTable, TrayMenuChoicesArriveThroughTheCommandTable)
{
    static const struct {
        WORD id;
        MessageHandler handler;
    } rows[] = {
        {IDM_SHOW_WINDOW, ShowWindowCommand},
        {IDM_TRAY_SETTINGS, TraySettingsCommand},
        {IDM_TRAY_EXIT, TrayExitCommand},
        {TrayEntryFirstId, TrayEntryCommand},
        {TrayEntryFirstId + TrayMenuEntryLimit, TrayEntryCommand},
        {TrayEntryLastId, TrayEntryCommand},
        // The entries' range shadows no other command.
        {IDM_ENTRY_COPY, CopyEntryCommand},
        {IDM_LIST_EXPORT, ExportListCommand},
        {(WORD)(TrayEntryFirstId - 1), nullptr},
        {(WORD)(TrayEntryLastId + 1), nullptr},
    };
    for (const auto &row : rows)
        EXPECT_EQ(row.handler, FindCommandHandler(row.id)) << row.id;
}

// A plain window to hand to the window procedure; its own class does not
// matter to messages that fall through to DefWindowProcA.
struct PlainWindow : ::testing::Test {
    HWND window = NULL;
    void SetUp() override
    {
        window = CreateWindowExA(0, "STATIC", "plain", WS_OVERLAPPEDWINDOW, 10, 20, 300, 200, NULL, NULL,
                                 GetModuleHandleA(NULL), NULL);
        ASSERT_NE(nullptr, window);
    }
    void TearDown() override { DestroyWindow(window); }
};

TEST_F(PlainWindow, MessagesWithoutARowReachTheDefaultProcedureUnchanged)
{
    RECT frame;
    GetWindowRect(window, &frame);
    // A point in the middle of the client area, and one on the caption.
    LPARAM client = MAKELPARAM(frame.left + 150, frame.top + 120);
    LPARAM caption = MAKELPARAM(frame.left + 100, frame.top + GetSystemMetrics(SM_CYFRAME) + 4);
    static const char title[] = "plain";
    char buffer[32];
    struct Case {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
    } cases[] = {
        {WM_NCHITTEST, 0, client},
        {WM_NCHITTEST, 0, caption},
        {WM_USER, 5, 6},
        {WM_GETTEXTLENGTH, 0, 0},
        {WM_GETTEXT, ARRAYSIZE(buffer), (LPARAM)buffer},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.message);
        EXPECT_EQ(DefWindowProcA(window, c.message, c.wParam, c.lParam),
                  MainWndProc(window, c.message, c.wParam, c.lParam));
    }
    EXPECT_EQ((LRESULT)strlen(title), MainWndProc(window, WM_GETTEXTLENGTH, 0, 0));
    EXPECT_EQ((LRESULT)HTCLIENT, MainWndProc(window, WM_NCHITTEST, 0, client));
}

TEST_F(PlainWindow, UnknownCommandsAreDroppedWithResultZero)
{
    WPARAM commands[] = {MAKEWPARAM(IDOK, 0), MAKEWPARAM(IDOK, BN_CLICKED), MAKEWPARAM(8, 0), MAKEWPARAM(40007, 0)};
    for (WPARAM wParam : commands) {
        SCOPED_TRACE(wParam);
        EXPECT_EQ(0, MainWndProc(window, WM_COMMAND, wParam, 0));
        EXPECT_TRUE(IsWindow(window));
    }
}

TEST_F(PlainWindow, MinMaxInfoBeforeCreationPinsTheSize)
{
    // WM_GETMINMAXINFO arrives before WM_CREATE, with no instance yet.
    EXPECT_EQ(nullptr, GetSavedInstance());
    MINMAXINFO info = {};
    info.ptMaxSize.x = 1111;
    info.ptMaxPosition.y = -7;
    EXPECT_EQ(0, MainWndProc(window, WM_GETMINMAXINFO, 0, (LPARAM)&info));
    EXPECT_EQ(590, info.ptMinTrackSize.x);
    EXPECT_EQ(450, info.ptMinTrackSize.y);
    EXPECT_EQ(590, info.ptMaxTrackSize.x);
    EXPECT_EQ(450, info.ptMaxTrackSize.y);
    EXPECT_EQ(1111, info.ptMaxSize.x);
    EXPECT_EQ(-7, info.ptMaxPosition.y);
}
