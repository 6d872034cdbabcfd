// The tray icon's menu, read while it is open in this process: Show Vombly
// as the default item, one submenu per list named as in the settings with
// its entries shortened for display, "(empty)" greyed for an empty list,
// "More..." after the first few hundred entries, then Settings and Exit.
#include <windows.h>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "shell/lifecycle.h"
#include "shell/tray_menu.h"
#include "res/resource.h"
#include "tests/win/main_window_util.h"

namespace {

struct Item {
    std::string text;
    UINT id;
    UINT state;
    UINT type;
    std::vector<Item> items;
};

std::vector<Item> readMenu(HMENU menu)
{
    std::vector<Item> items;
    int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; i++) {
        char text[256] = "";
        MENUITEMINFOA info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_STRING | MIIM_ID | MIIM_STATE | MIIM_SUBMENU | MIIM_FTYPE;
        info.dwTypeData = text;
        info.cch = sizeof text;
        GetMenuItemInfoA(menu, (UINT)i, TRUE, &info);
        Item item = {text, info.wID, info.fState, info.fType, {}};
        if (info.hSubMenu != NULL)
            item.items = readMenu(info.hSubMenu);
        items.push_back(item);
    }
    return items;
}

std::vector<Item> seenMenu;
bool menuSeen;

// Runs inside the menu's own modal loop: reads the open menu, then ends it.
void CALLBACK ReadOpenMenu(HWND, UINT, UINT_PTR timer, DWORD)
{
    HWND menuWindow = FindWindowA("#32768", NULL);
    if (menuWindow == NULL || !IsWindowVisible(menuWindow))
        return;
    KillTimer(NULL, timer);
    HMENU menu = (HMENU)SendMessageA(menuWindow, MN_GETHMENU, 0, 0);
    if (menu != NULL) {
        seenMenu = readMenu(menu);
        menuSeen = true;
    }
    EndMenu();
}

struct TrayMenuTest : MainWindowFixture {
    std::vector<Item> openTrayMenu()
    {
        seenMenu.clear();
        menuSeen = false;
        UINT_PTR timer = SetTimer(NULL, 0, 100, ReadOpenMenu);
        EXPECT_NE(0u, timer);
        SendMessageA(window, TrayNotifyMessage, TrayIconId, WM_RBUTTONUP);
        KillTimer(NULL, timer);
        EXPECT_TRUE(menuSeen);
        return seenMenu;
    }
};

TEST_F(TrayMenuTest, ListsTheEntriesOfEveryListBetweenShowAndExit)
{
    std::string longEntry = "Smith & Sons, " + std::string(100, 'x');
    lists[1] = {longEntry, "tab\there"};
    for (int i = 2; i < TrayMenuEntryLimit + 5; i++)
        lists[1].push_back("entry " + std::to_string(i));
    lists[2] = {};
    ASSERT_NO_FATAL_FAILURE(openMainWindow());

    std::vector<Item> menu = openTrayMenu();
    ASSERT_EQ(8u, menu.size());
    EXPECT_EQ("Show Vombly", menu[0].text);
    EXPECT_EQ((UINT)IDM_SHOW_WINDOW, menu[0].id);
    EXPECT_TRUE(menu[0].state & MFS_DEFAULT);
    EXPECT_TRUE(menu[1].type & MFT_SEPARATOR);
    EXPECT_TRUE(menu[5].type & MFT_SEPARATOR);
    EXPECT_EQ("Settings...", menu[6].text);
    EXPECT_EQ((UINT)IDM_TRAY_SETTINGS, menu[6].id);
    EXPECT_EQ("Exit", menu[7].text);
    EXPECT_EQ((UINT)IDM_TRAY_EXIT, menu[7].id);

    const char *names[] = {"Home list", "Office list", "Other list"};
    for (int list = 0; list < 3; list++)
        EXPECT_EQ(names[list], menu[2 + list].text);

    // The active list, as its list box shows it.
    const std::vector<Item> &home = menu[2].items;
    ASSERT_EQ(3u, home.size());
    const char *homeEntries[] = {"kiwi", "apple", "mango"};
    for (int i = 0; i < 3; i++) {
        SCOPED_TRACE(i);
        EXPECT_EQ(homeEntries[i], home[(size_t)i].text);
        EXPECT_EQ((UINT)(TrayEntryFirstId + i), home[(size_t)i].id);
        EXPECT_FALSE(home[(size_t)i].state & MFS_GRAYED);
    }

    // Another list, from its file: shortened, escaped, cut after the limit.
    const std::vector<Item> &office = menu[3].items;
    ASSERT_EQ((size_t)TrayMenuEntryLimit + 1, office.size());
    EXPECT_EQ("Smith && Sons, " + std::string(60 - 14, 'x') + "...", office[0].text);
    EXPECT_EQ("tab here", office[1].text);
    EXPECT_EQ("entry 299", office[TrayMenuEntryLimit - 1].text);
    EXPECT_EQ((UINT)(TrayEntryFirstId + TrayEntryStride + TrayMenuEntryLimit - 1), office[TrayMenuEntryLimit - 1].id);
    EXPECT_EQ("More... (open Vombly)", office[TrayMenuEntryLimit].text);

    const std::vector<Item> &other = menu[4].items;
    ASSERT_EQ(1u, other.size());
    EXPECT_EQ("(empty)", other[0].text);
    EXPECT_TRUE(other[0].state & MFS_GRAYED);

    // Closed without a choice: the window stays where it was.
    EXPECT_TRUE(IsWindow(window));
}

TEST_F(TrayMenuTest, ExactlyTheLimitNeedsNoMoreItem)
{
    lists[1].clear();
    for (int i = 0; i < TrayMenuEntryLimit; i++)
        lists[1].push_back("entry " + std::to_string(i));
    ASSERT_NO_FATAL_FAILURE(openMainWindow());
    std::vector<Item> menu = openTrayMenu();
    ASSERT_EQ(8u, menu.size());
    ASSERT_EQ((size_t)TrayMenuEntryLimit, menu[3].items.size());
    EXPECT_EQ("entry 299", menu[3].items.back().text);
}

} // namespace
