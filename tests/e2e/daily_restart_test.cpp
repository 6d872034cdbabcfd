// Everything as the user left it: lists, names, options and selections
// after File, Exit, Quit and a new start.
#include "daily_journey.h"

namespace {

// ---- Everything as the user left it ---------------------------------------

TEST_F(DailyJourney, ExitAndStartAgainKeepsListsNamesOptionsAndSelections)
{
    ASSERT_NO_FATAL_FAILURE(startWith(settingsRecord(1, 0, 0)));

    // List 1: one added, one removed.
    HWND dialog = openDialog(ViaButton, IDC_ADD, nullptr, AddTitle);
    ASSERT_NE(nullptr, dialog);
    ASSERT_TRUE(bringToFront(dialog));
    typeText("kilo one");
    ASSERT_TRUE(waitFor([&] { return windowText(GetDlgItem(dialog, IDC_ADD_EDIT)) == "kilo one"; }, UiTimeoutMs));
    press(VK_RETURN);
    ASSERT_TRUE(closed(dialog));
    ASSERT_TRUE(clickEntry(listBox, 0));
    dialog = openDialog(ViaMenu, IDC_REMOVE, "Remove a String", RemoveTitle);
    ASSERT_NE(nullptr, dialog);
    ASSERT_TRUE(bringToFront(dialog));
    press(VK_RETURN);
    ASSERT_TRUE(closed(dialog));
    const Entries list1 = {"bravo one", "charlie one", "kilo one"};
    ASSERT_EQ(list1, listBoxEntries(listBox));

    // List 2 shown, its third entry selected, then renamed; options changed.
    ASSERT_TRUE(command(ViaButton, IDC_TOGGLE, nullptr));
    ASSERT_TRUE(waitFor([&] { return listBoxEntries(listBox) == List2; }, UiTimeoutMs));
    ASSERT_TRUE(clickEntry(listBox, 2));
    dialog = openSettings();
    ASSERT_NE(nullptr, dialog);
    ASSERT_TRUE(retype(dialog, IDC_NAME2_EDIT, "Work things"));
    ASSERT_TRUE(clickControl(dialog, IDC_SORT_CHECK));
    ASSERT_TRUE(clickControl(dialog, IDC_MINIMISE_CHECK));
    ASSERT_TRUE(clickControl(dialog, IDOK));
    MessageBoxSeen box = messageBox("Vombly", UiTimeoutMs, vombly.pid);
    ASSERT_NE(nullptr, box.window);
    ASSERT_TRUE(dismissBox(box.window));
    ASSERT_TRUE(closed(dialog));

    ASSERT_TRUE(chooseMenu(window, "File", "Exit"));
    MessageBoxSeen quit = messageBox("Vombly - Quit", UiTimeoutMs, vombly.pid);
    ASSERT_NE(nullptr, quit.window);
    ASSERT_TRUE(dismissBox(quit.window, IDOK));
    ASSERT_EQ(0u, waitForExit(vombly, ExitTimeoutMs));

    ASSERT_NO_FATAL_FAILURE(startShown());
    EXPECT_EQ(List2, listBoxEntries(listBox));
    EXPECT_EQ("foxtrot two", selectedEntry(listBox));
    SettingsRecord stored = savedSettings();
    EXPECT_EQ(2u, stored.activeList);
    EXPECT_EQ(1, stored.sortEntries);
    EXPECT_EQ(1, stored.minimiseAfterSelection);
    EXPECT_STREQ("List 1: Home and Personal Items", stored.lists[0].listName);
    EXPECT_STREQ("Work things", stored.lists[1].listName);
    EXPECT_STREQ("List 3: Other Items", stored.lists[2].listName);
    EXPECT_EQ(list1, readUsersList(1));
    EXPECT_EQ(List2, readUsersList(2));
    EXPECT_EQ(List3, readUsersList(3));

    dialog = openSettings();
    ASSERT_NE(nullptr, dialog);
    EXPECT_TRUE(checked(dialog, IDC_SORT_CHECK));
    EXPECT_TRUE(checked(dialog, IDC_MINIMISE_CHECK));
    EXPECT_EQ("Work things", windowText(GetDlgItem(dialog, IDC_NAME2_EDIT)));
    ASSERT_TRUE(clickControl(dialog, IDCANCEL));
    ASSERT_TRUE(closed(dialog));

    // The other lists kept their entries and selections.
    const struct {
        const Entries &entries;
        const char *selected;
    } next[] = {{List3, "hotel three"}, {list1, "bravo one"}};
    for (const auto &list : next) {
        ASSERT_TRUE(command(ViaButton, IDC_TOGGLE, nullptr));
        EXPECT_TRUE(waitFor([&] { return listBoxEntries(listBox) == list.entries; }, UiTimeoutMs));
        EXPECT_EQ(list.selected, selectedEntry(listBox));
    }
}

} // namespace
