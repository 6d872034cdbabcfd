// The main window's controls: what they are, where they sit in whole
// percentages of the client area, and how WM_SIZE lays them out again.
#include <windows.h>
#include <gtest/gtest.h>
#include <stdio.h>
#include <string.h>
#include <algorithm>
#include <string>
#include <vector>

#include "system/window_slots.h"
#include "res/resource.h"
#include "store/settings.h"
#include "tests/common/win_ui.h"
#include "tests/win/main_window_util.h"
#include "view/controls.h"

// Two lines of the font a fresh device context of the control carries.
static int twoLinesOf(HWND control)
{
    TEXTMETRICA metrics = {};
    HDC dc = GetDC(control);
    GetTextMetricsA(dc, &metrics);
    ReleaseDC(control, dc);
    return 2 * (metrics.tmHeight + metrics.tmExternalLeading);
}

struct Placement {
    unsigned int slot;
    int xPercent, yPercent, widthPercent, heightPercent;  // height 0: two text lines
};
static const Placement layout[] = {
    {IDC_LISTBOX, 5, 8, 52, 75},
    {IDC_ADD, 5, 86, 14, 0},
    {IDC_REMOVE, 24, 86, 14, 0},
    {IDC_TOGGLE, 43, 86, 14, 0},
};

// Checks every control against the layout for the window's current client
// size. A list box without LBS_NOINTEGRALHEIGHT trims itself to whole
// items, so its height may fall short by less than one item.
static void expectLayoutFollowsClient(HWND window)
{
    RECT client;
    GetClientRect(window, &client);
    for (const Placement &place : layout) {
        SCOPED_TRACE(place.slot);
        HWND control = WindowSlot(0, place.slot, NULL);
        RECT rect = rectInParent(control);
        EXPECT_EQ(place.xPercent * client.right / 100, rect.left);
        EXPECT_EQ(place.yPercent * client.bottom / 100, rect.top);
        EXPECT_EQ(place.widthPercent * client.right / 100, rect.right - rect.left);
        int height = rect.bottom - rect.top;
        if (place.heightPercent == 0) {
            EXPECT_EQ(twoLinesOf(control), height);
        } else {
            int wanted = place.heightPercent * client.bottom / 100;
            int item = (int)SendMessageA(control, LB_GETITEMHEIGHT, 0, 0);
            EXPECT_LE(height, wanted);
            EXPECT_GT(height, wanted - item);
        }
    }
}

// Puts every control somewhere wrong, so a layout has something to undo.
static void scrambleControls(void)
{
    for (const Placement &place : layout)
        MoveWindow(WindowSlot(0, place.slot, NULL), 1, 2, 3, 4, FALSE);
}

// A list longer than the list box is high, so that the box keeps its
// vertical scroll bar (and WS_VSCROLL) shown.
static std::vector<std::string> longList(const char *prefix)
{
    std::vector<std::string> entries;
    for (int i = 39; i >= 0; i--) {
        char text[32];
        snprintf(text, sizeof text, "%s %02d", prefix, i);
        entries.push_back(text);
    }
    return entries;
}

struct LayoutTest : MainWindowFixture {
    void SetUp() override
    {
        MainWindowFixture::SetUp();
        lists[0] = longList("home");
        lists[1] = longList("office");
    }
};

TEST_F(LayoutTest, ControlsSitAtWholePercentagesOfTheClientArea)
{
    ASSERT_NO_FATAL_FAILURE(openMainWindow());
    // The window as created: 590x450 outside, the client whatever this
    // system's frame, caption and menu leave of it.
    RECT frame, client;
    GetWindowRect(window, &frame);
    GetClientRect(window, &client);
    ASSERT_EQ(590, frame.right - frame.left);
    ASSERT_EQ(450, frame.bottom - frame.top);
    RECT predicted = {0, 0, client.right, client.bottom};
    AdjustWindowRectEx(&predicted, WS_OVERLAPPEDWINDOW, TRUE, WS_EX_APPWINDOW);
    ASSERT_EQ(590, predicted.right - predicted.left);
    ASSERT_EQ(450, predicted.bottom - predicted.top);
    expectLayoutFollowsClient(window);

    // Windows' default metrics give a client of 574x392.
    ASSERT_NO_FATAL_FAILURE(resizeClient(574, 392));
    struct Case {
        unsigned int slot;
        int x, y, width, height;  // height 0: two text lines
    } cases[] = {
        {IDC_LISTBOX, 28, 31, 298, 294},
        {IDC_ADD, 28, 337, 80, 0},
        {IDC_REMOVE, 137, 337, 80, 0},
        {IDC_TOGGLE, 246, 337, 80, 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.slot);
        HWND control = WindowSlot(0, c.slot, NULL);
        ASSERT_NE(nullptr, control);
        RECT rect = rectInParent(control);
        EXPECT_EQ(c.x, rect.left);
        EXPECT_EQ(c.y, rect.top);
        EXPECT_EQ(c.width, rect.right - rect.left);
        if (c.height != 0) {
            // Whole items only: the list box may trim its height.
            int item = (int)SendMessageA(control, LB_GETITEMHEIGHT, 0, 0);
            EXPECT_LE(rect.bottom - rect.top, c.height);
            EXPECT_GT(rect.bottom - rect.top, c.height - item);
        } else {
            EXPECT_EQ(twoLinesOf(control), rect.bottom - rect.top);
        }
        // The label above the list box is placed from the normal position.
        WINDOWPLACEMENT placement = {};
        placement.length = sizeof placement;
        GetWindowPlacement(control, &placement);
        EXPECT_EQ(c.x, placement.rcNormalPosition.left);
        EXPECT_EQ(c.y, placement.rcNormalPosition.top);
    }
}

TEST_F(LayoutTest, ButtonsKeepTwoTextLinesWhateverTheClientHeight)
{
    ASSERT_NO_FATAL_FAILURE(openMainWindow());
    int buttonHeight = twoLinesOf(WindowSlot(0, IDC_ADD, NULL));
    ASSERT_GT(buttonHeight, 0);
    struct Case {
        int width, height;
    } cases[] = {{700, 600}, {590, 300}, {800, 700}, {590, 450}};
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height);
        // The window pins its own tracking size; skipping WM_WINDOWPOSCHANGING
        // lets the test give it another.
        SetWindowPos(window, NULL, 0, 0, c.width, c.height,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOSENDCHANGING);
        RECT frame;
        GetWindowRect(window, &frame);
        ASSERT_EQ(c.width, frame.right - frame.left);
        ASSERT_EQ(c.height, frame.bottom - frame.top);
        expectLayoutFollowsClient(window);
        for (unsigned int slot : {IDC_ADD, IDC_REMOVE, IDC_TOGGLE}) {
            RECT rect = rectInParent(WindowSlot(0, slot, NULL));
            EXPECT_EQ(buttonHeight, rect.bottom - rect.top) << slot;
        }
    }
}

TEST_F(LayoutTest, ControlsAreTheListBoxAndThreeButtons)
{
    ASSERT_NO_FATAL_FAILURE(openMainWindow());
    struct Case {
        int id;
        const char *className;
        const char *text;
        DWORD style;
    } cases[] = {
        {IDC_LISTBOX, "ListBox", "", 0x50A10001},
        {IDC_ADD, "Button", "Add", 0x50810000},
        {IDC_REMOVE, "Button", "Remove", 0x50810000},
        {IDC_TOGGLE, "Button", "Toggle List", 0x50810000},
    };
    HWND child = GetWindow(window, GW_CHILD);
    for (const auto &c : cases) {
        SCOPED_TRACE(c.id);
        HWND control = GetDlgItem(window, c.id);
        ASSERT_NE(nullptr, control);
        EXPECT_EQ(control, WindowSlot(0, (unsigned int)c.id, NULL));
        // Created in this order, which is also the Tab order.
        EXPECT_EQ(child, control);
        child = GetWindow(child, GW_HWNDNEXT);
        char text[64];
        GetClassNameA(control, text, ARRAYSIZE(text));
        EXPECT_EQ(0, lstrcmpiA(c.className, text)) << text;
        GetWindowTextA(control, text, ARRAYSIZE(text));
        EXPECT_STREQ(c.text, text);
        EXPECT_EQ(c.style, (DWORD)GetWindowLongA(control, GWL_STYLE));
        DWORD exStyle = (DWORD)GetWindowLongA(control, GWL_EXSTYLE);
        EXPECT_EQ((DWORD)WS_EX_CLIENTEDGE, exStyle & WS_EX_CLIENTEDGE) << std::hex << exStyle;
        EXPECT_EQ(GetStockObject(ANSI_VAR_FONT), (HGDIOBJ)SendMessageA(control, WM_GETFONT, 0, 0));
    }
    EXPECT_EQ(nullptr, child);
}

TEST_F(LayoutTest, SortingIsFixedWhenTheListBoxIsCreated)
{
    struct Case {
        int32_t sortEntries;
        DWORD style;
    } cases[] = {{1, 0x50A10003}, {0, 0x50A10001}, {2, 0x50A10001}, {-1, 0x50A10001}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.sortEntries);
        settings.sortEntries = c.sortEntries;
        ASSERT_NO_FATAL_FAILURE(openMainWindow());
        HWND listBox = WindowSlot(0, IDC_LISTBOX, NULL);
        EXPECT_EQ(c.style, (DWORD)GetWindowLongA(listBox, GWL_STYLE));

        // A changed setting waits for the next start: the style stays, and a
        // list loaded now keeps its order only if it was already sorted.
        SetSortEntries(c.sortEntries == 1 ? 0 : 1);
        SendMessageA(window, WM_COMMAND, IDC_TOGGLE, 0);
        EXPECT_EQ(c.style, (DWORD)GetWindowLongA(listBox, GWL_STYLE));
        std::vector<std::string> expected = lists[1];
        if (c.sortEntries == 1)
            std::sort(expected.begin(), expected.end());
        EXPECT_EQ(expected, listBoxEntries(listBox));
        closeMainWindow();
        ReleaseMutex(screenLock);
        CloseHandle(screenLock);
        screenLock = NULL;
    }
}

TEST_F(LayoutTest, SizeMessagesLayOutFromTheRealClientAndMinimisedHides)
{
    ASSERT_NO_FATAL_FAILURE(openMainWindow());
    ASSERT_NO_FATAL_FAILURE(resizeClient(574, 392));
    struct Case {
        WPARAM kind;
        LPARAM size;
        bool visibleAfter;
    } cases[] = {
        {SIZE_RESTORED, MAKELPARAM(100, 50), true},
        {SIZE_MAXIMIZED, MAKELPARAM(1000, 900), true},
        {SIZE_RESTORED, 0, true},
        {SIZE_MINIMIZED, MAKELPARAM(160, 24), false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.kind);
        ShowWindow(window, SW_SHOW);
        ASSERT_TRUE(IsWindowVisible(window));
        scrambleControls();
        EXPECT_EQ(0, SendMessageA(window, WM_SIZE, c.kind, c.size));
        // The size in lParam is ignored: the layout follows 574x392.
        expectLayoutFollowsClient(window);
        RECT rect = rectInParent(WindowSlot(0, IDC_LISTBOX, NULL));
        EXPECT_EQ(28, rect.left);
        EXPECT_EQ(31, rect.top);
        EXPECT_EQ(c.visibleAfter, IsWindowVisible(window) != 0);
        EXPECT_TRUE(IsWindow(window));
    }
}

TEST(PercentRect, TakesTheProductFirstThenTruncatesTowardZero)
{
    struct Case {
        int clientWidth, clientHeight;
        int top, left, bottom, right;
        RECT expected;
    } cases[] = {
        {574, 392, 2, 2, 98, 98, {11, 7, 562, 384}},
        {574, 392, 8, 60, 0, 0, {344, 31, 0, 0}},
        {574, 392, 86, 5, 100, 43, {28, 337, 246, 392}},
        {574, 392, -1, -5, 150, 200, {-28, -3, 1148, 588}},
        {99, 99, 50, 1, 99, 100, {0, 49, 99, 98}},
        {0, 0, 50, 50, 100, 100, {0, 0, 0, 0}},
    };
    HWND main = CreateWindowExA(0, "STATIC", "client", WS_POPUP, 0, 0, 10, 10, NULL, NULL,
                                GetModuleHandleA(NULL), NULL);
    ASSERT_NE(nullptr, main);
    WindowSlot(1, MainWindowSlot, main);
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << c.clientWidth << "x" << c.clientHeight << " " << c.top << ","
                                        << c.left << "," << c.bottom << "," << c.right);
        // A bare popup's client area is the whole window.
        MoveWindow(main, 0, 0, c.clientWidth, c.clientHeight, FALSE);
        RECT client;
        GetClientRect(main, &client);
        ASSERT_EQ(c.clientWidth, client.right);
        ASSERT_EQ(c.clientHeight, client.bottom);
        RECT rect = {-99, -99, -99, -99};
        PercentRect(c.top, c.left, c.bottom, c.right, &rect);
        EXPECT_EQ(c.expected.left, rect.left);
        EXPECT_EQ(c.expected.top, rect.top);
        EXPECT_EQ(c.expected.right, rect.right);
        EXPECT_EQ(c.expected.bottom, rect.bottom);
    }
    WindowSlot(1, MainWindowSlot, NULL);
    DestroyWindow(main);
}
