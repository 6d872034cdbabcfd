// Adding an entry through its dialog and removing the selected one, by
// button and by menu.
#include "daily_journey.h"

namespace {

// ---- Adding an entry -------------------------------------------------------

struct AddCase {
    const char *name;
    Via via;
    int32_t sort;
    Entries file;      // list 1 as written before the start
    int selected;      // selected at start, an index of the list box
    const char *typed;
    Entries after;     // the list box and the file afterwards
};

struct DailyAddJourney : DailyJourney, ::testing::WithParamInterface<AddCase> {};

TEST_P(DailyAddJourney, EnterAddsTheTypedText)
{
    const AddCase &c = GetParam();
    SettingsRecord settings = settingsRecord(1, c.sort, 0);
    settings.lists[0].listSelection = c.selected;
    ASSERT_NO_FATAL_FAILURE(startWith(settings, {c.file, List2, List3}));
    std::string selected = selectedEntry(listBox);
    ASSERT_FALSE(selected.empty());

    HWND dialog = openDialog(c.via, IDC_ADD, "Add a String", AddTitle);
    ASSERT_NE(nullptr, dialog);
    ASSERT_TRUE(bringToFront(dialog));
    EXPECT_EQ(GetDlgItem(dialog, IDC_ADD_EDIT), focusOf(dialog));
    typeText(c.typed);
    ASSERT_TRUE(waitFor([&] { return windowText(GetDlgItem(dialog, IDC_ADD_EDIT)) == c.typed; }, UiTimeoutMs));
    press(VK_RETURN);
    ASSERT_TRUE(closed(dialog));

    EXPECT_EQ(c.after, listBoxEntries(listBox));
    EXPECT_TRUE(waitFor([&] { return readUsersList(1) == c.after; }, UiTimeoutMs));
    // The entry the user had selected is still the one selected.
    EXPECT_EQ(selected, selectedEntry(listBox));
    int index = indexOf(c.after, selected);
    EXPECT_TRUE(settingsSoon([&](const SettingsRecord &r) { return r.lists[0].listSelection == index; }));
}

const AddCase addCases[] = {
    {"UnsortedGoesLastButton", ViaButton, 0, {"mike", "alpha", "zulu"}, 1, "kilo", {"mike", "alpha", "zulu", "kilo"}},
    {"UnsortedGoesLastMenu", ViaMenu, 0, {"mike", "alpha", "zulu"}, 2, "bravo", {"mike", "alpha", "zulu", "bravo"}},
    // The file is read in any order and written back sorted.
    {"SortedTakesItsPlaceButton", ViaButton, 1, {"mike", "zulu", "alpha"}, 2, "kilo", {"alpha", "kilo", "mike", "zulu"}},
    {"SortedTakesItsPlaceMenu", ViaMenu, 1, {"mike", "zulu", "alpha"}, 0, "bravo", {"alpha", "bravo", "mike", "zulu"}},
    {"SameTextTwice", ViaButton, 0, {"kilo", "lima"}, 0, "kilo", {"kilo", "lima", "kilo"}},
    {"SameTextTwiceSorted", ViaMenu, 1, {"kilo", "lima"}, 1, "kilo", {"kilo", "kilo", "lima"}},
    {"SpacesAndPunctuationKept", ViaButton, 0, {"kilo"}, 0, "  a, b; \"c\"  ", {"kilo", "  a, b; \"c\"  "}},
};

INSTANTIATE_TEST_SUITE_P(Cases, DailyAddJourney, ::testing::ValuesIn(addCases),
                         [](const ::testing::TestParamInfo<AddCase> &info) { return std::string(info.param.name); });

TEST_F(DailyJourney, AddTakesAtMost999CharactersTypedOrPasted)
{
    ASSERT_NO_FATAL_FAILURE(startWith(settingsRecord(1, 0, 0)));
    std::string pasted = repeated("0123456789abcdefghij", 1200);
    ASSERT_TRUE(setClipboardText(NULL, pasted));

    HWND dialog = openDialog(ViaButton, IDC_ADD, nullptr, AddTitle);
    ASSERT_NE(nullptr, dialog);
    HWND edit = GetDlgItem(dialog, IDC_ADD_EDIT);
    ASSERT_TRUE(bringToFront(dialog));
    press({VK_CONTROL, 'V'});
    ASSERT_TRUE(waitFor([&] { return !windowText(edit).empty(); }, UiTimeoutMs));
    EXPECT_EQ(pasted.substr(0, 999), windowText(edit));
    // A full box takes no more typing either.
    press(VK_END);
    typeText("zz");
    ASSERT_TRUE(keysHandled(edit));
    EXPECT_EQ(pasted.substr(0, 999), windowText(edit));
    press(VK_RETURN);
    ASSERT_TRUE(closed(dialog));

    Entries after = List1;
    after.push_back(pasted.substr(0, 999));
    EXPECT_EQ(after, listBoxEntries(listBox));
    EXPECT_TRUE(waitFor([&] { return readUsersList(1) == after; }, UiTimeoutMs));
}

struct AddNothingCase {
    const char *name;
    const char *typed;
    WORD key;           // closes the dialog; 0 clicks Cancel
};

struct DailyAddNothingJourney : DailyJourney, ::testing::WithParamInterface<AddNothingCase> {};

TEST_P(DailyAddNothingJourney, ListStaysButBothFilesAreWrittenAgain)
{
    const AddNothingCase &c = GetParam();
    ASSERT_NO_FATAL_FAILURE(startWith(settingsRecord(1, 0, 0)));
    const std::string files[] = {dataFile("Vombly.cfg"), listFilePath(1)};
    std::vector<unsigned char> bytes[ARRAYSIZE(files)];
    unsigned long long times[ARRAYSIZE(files)];
    for (size_t i = 0; i < ARRAYSIZE(files); i++) {
        bytes[i] = readFileBytes(files[i]);
        times[i] = fileWriteTime(files[i]);
    }

    HWND dialog = openDialog(ViaMenu, IDC_ADD, "Add a String", AddTitle);
    ASSERT_NE(nullptr, dialog);
    ASSERT_TRUE(bringToFront(dialog));
    typeText(c.typed);
    ASSERT_TRUE(waitFor([&] { return windowText(GetDlgItem(dialog, IDC_ADD_EDIT)) == c.typed; }, UiTimeoutMs));
    if (c.key != 0)
        press(c.key);
    else
        ASSERT_TRUE(clickControl(dialog, IDCANCEL));
    ASSERT_TRUE(closed(dialog));

    EXPECT_EQ(List1, listBoxEntries(listBox));
    EXPECT_EQ(0, selectedIndex(listBox));
    for (size_t i = 0; i < ARRAYSIZE(files); i++) {
        SCOPED_TRACE(files[i]);
        EXPECT_TRUE(rewritten(files[i], times[i]));
        EXPECT_EQ(bytes[i], readFileBytes(files[i]));
    }
}

const AddNothingCase addNothingCases[] = {
    {"EmptyBoxAndEnter", "", VK_RETURN},
    {"Cancelled", "kilo", 0},
    {"Escaped", "kilo", VK_ESCAPE},
};

INSTANTIATE_TEST_SUITE_P(Cases, DailyAddNothingJourney, ::testing::ValuesIn(addNothingCases),
                         [](const ::testing::TestParamInfo<AddNothingCase> &info) { return std::string(info.param.name); });

// ---- Removing an entry -----------------------------------------------------

struct DailyRemoveNothingJourney : DailyJourney, ::testing::WithParamInterface<Via> {};

TEST_P(DailyRemoveNothingJourney, RemoveWithNothingSelectedOnlySaysSo)
{
    SettingsRecord settings = settingsRecord(1, 0, 0);
    settings.lists[0].listSelection = -1;
    ASSERT_NO_FATAL_FAILURE(startWith(settings));
    ASSERT_EQ(LB_ERR, selectedIndex(listBox));

    ASSERT_TRUE(command(GetParam(), IDC_REMOVE, "Remove a String"));
    MessageBoxSeen box = messageBox("Error", UiTimeoutMs, vombly.pid);
    ASSERT_NE(nullptr, box.window);
    EXPECT_EQ("There was  no string selected for deletion !", box.text);
    EXPECT_EQ(nullptr, findWindow(RemoveTitle, "#32770", vombly.pid));
    ASSERT_TRUE(dismissBox(box.window));
    ASSERT_TRUE(closed(box.window));
    EXPECT_EQ(nullptr, findWindow(RemoveTitle, "#32770", vombly.pid));
    EXPECT_EQ(List1, listBoxEntries(listBox));
    EXPECT_EQ(List1, readUsersList(1));
}

INSTANTIATE_TEST_SUITE_P(Both, DailyRemoveNothingJourney, ::testing::Values(ViaButton, ViaMenu),
                         [](const ::testing::TestParamInfo<Via> &info) { return std::string(viaName(info.param)); });

struct RemoveCase {
    const char *name;
    Via via;
    Entries entries;
    int removed;
    Entries after;
    int selectedAfter; // LB_ERR: none
};

struct DailyRemoveJourney : DailyJourney, ::testing::WithParamInterface<RemoveCase> {};

TEST_P(DailyRemoveJourney, EnterRemovesTheShownEntryAndSelectsTheOneBefore)
{
    const RemoveCase &c = GetParam();
    ASSERT_NO_FATAL_FAILURE(startWith(settingsRecord(1, 0, 0), {c.entries, List2, List3}));
    ASSERT_TRUE(clickEntry(listBox, c.removed));

    HWND dialog = openDialog(c.via, IDC_REMOVE, "Remove a String", RemoveTitle);
    ASSERT_NE(nullptr, dialog);
    EXPECT_EQ(Entries{c.entries[(size_t)c.removed]}, listBoxEntries(GetDlgItem(dialog, IDC_REMOVE_LIST)));
    ASSERT_TRUE(bringToFront(dialog));
    press(VK_RETURN);
    ASSERT_TRUE(closed(dialog));

    EXPECT_TRUE(waitFor([&] { return readUsersList(1) == c.after; }, UiTimeoutMs));
    EXPECT_EQ(c.after, listBoxEntries(listBox));
    EXPECT_EQ(c.selectedAfter, selectedIndex(listBox));
    EXPECT_TRUE(settingsSoon([&](const SettingsRecord &r) { return r.lists[0].listSelection == c.selectedAfter; }));
}

const RemoveCase removeCases[] = {
    {"FirstButton", ViaButton, {"a", "b", "c"}, 0, {"b", "c"}, 0},
    {"MiddleMenu", ViaMenu, {"a", "b", "c"}, 1, {"a", "c"}, 0},
    {"LastButton", ViaButton, {"a", "b", "c"}, 2, {"a", "b"}, 1},
    {"OnlyOneMenu", ViaMenu, {"a"}, 0, {}, LB_ERR},
    {"OneOfTwinsButton", ViaButton, {"a", "a", "b"}, 1, {"a", "b"}, 0},
    // An empty line that a damaged or hand-made file brought in can go too.
    {"EmptyEntryMenu", ViaMenu, {"a", "", "b"}, 1, {"a", "b"}, 0},
};

INSTANTIATE_TEST_SUITE_P(Cases, DailyRemoveJourney, ::testing::ValuesIn(removeCases),
                         [](const ::testing::TestParamInfo<RemoveCase> &info) { return std::string(info.param.name); });

struct KeepCase {
    const char *name;
    Entries entries;
    int selected;
    bool cancel; // Cancel clicked; otherwise Enter
};

struct DailyKeepJourney : DailyJourney, ::testing::WithParamInterface<KeepCase> {};

TEST_P(DailyKeepJourney, EntryAndSelectionStay)
{
    const KeepCase &c = GetParam();
    ASSERT_NO_FATAL_FAILURE(startWith(settingsRecord(1, 0, 0), {c.entries, List2, List3}));
    ASSERT_TRUE(clickEntry(listBox, c.selected));

    HWND dialog = openDialog(ViaButton, IDC_REMOVE, nullptr, RemoveTitle);
    ASSERT_NE(nullptr, dialog);
    EXPECT_EQ(Entries{c.entries[(size_t)c.selected]}, listBoxEntries(GetDlgItem(dialog, IDC_REMOVE_LIST)));
    unsigned long long written = fileWriteTime(listFilePath(1));
    if (c.cancel) {
        ASSERT_TRUE(clickControl(dialog, IDCANCEL));
    } else {
        ASSERT_TRUE(bringToFront(dialog));
        press(VK_RETURN);
    }
    ASSERT_TRUE(closed(dialog));

    EXPECT_TRUE(rewritten(listFilePath(1), written));
    EXPECT_EQ(c.entries, listBoxEntries(listBox));
    EXPECT_EQ(c.entries, readUsersList(1));
    EXPECT_EQ(c.selected, selectedIndex(listBox));
}

const KeepCase keepCases[] = {
    {"Cancelled", {"a", "b", "c"}, 1, true},
};

INSTANTIATE_TEST_SUITE_P(Cases, DailyKeepJourney, ::testing::ValuesIn(keepCases),
                         [](const ::testing::TestParamInfo<KeepCase> &info) { return std::string(info.param.name); });

} // namespace
