// The Settings dialog: the stored values shown, names and options changed,
// Cancel, Enter and Tab.
#include "daily_journey.h"

namespace {

// ---- Settings --------------------------------------------------------------

struct FieldsCase {
    const char *name;
    int32_t sort;
    int32_t minimise;
    const char *names[3];
};

struct DailySettingsFieldsJourney : DailyJourney, ::testing::WithParamInterface<FieldsCase> {};

TEST_P(DailySettingsFieldsJourney, ShowTheStoredValues)
{
    const FieldsCase &c = GetParam();
    ASSERT_NO_FATAL_FAILURE(
        startWith(settingsRecord(1, c.sort, c.minimise, {{c.names[0], 0}, {c.names[1], 0}, {c.names[2], 0}})));

    HWND dialog = openSettings();
    ASSERT_NE(nullptr, dialog);
    EXPECT_EQ(c.sort == 1, checked(dialog, IDC_SORT_CHECK));
    EXPECT_EQ(c.minimise == 1, checked(dialog, IDC_MINIMISE_CHECK));
    const int edits[3] = {IDC_NAME1_EDIT, IDC_NAME2_EDIT, IDC_NAME3_EDIT};
    for (int i = 0; i < 3; i++)
        EXPECT_EQ(c.names[i], windowText(GetDlgItem(dialog, edits[i]))) << "name " << i + 1;
    ASSERT_TRUE(clickControl(dialog, IDCANCEL));
    EXPECT_TRUE(closed(dialog));
}

const FieldsCase fieldsCases[] = {
    {"SortedNotMinimised", 1, 0, {"Alpha list", "", "Gamma list"}},
    {"MinimisedNotSorted", 0, 1, {"List 1: Home and Personal Items", "List 2: Office and Work Items", "x"}},
};

INSTANTIATE_TEST_SUITE_P(Cases, DailySettingsFieldsJourney, ::testing::ValuesIn(fieldsCases),
                         [](const ::testing::TestParamInfo<FieldsCase> &info) { return std::string(info.param.name); });

TEST_F(DailyJourney, SettingsNameTakesAtMost60AndIsPaintedAtOnce)
{
    ASSERT_NO_FATAL_FAILURE(startWith(settingsRecord(1, 0, 0)));
    std::vector<COLORREF> before;
    ASSERT_TRUE(waitFor([&] { return hasText(before = screenPixels(nameBand(listBox))); }, UiTimeoutMs));

    HWND dialog = openSettings();
    ASSERT_NE(nullptr, dialog);
    std::string typed = repeated("Wide Name ", 70);
    // retype would wait for all 70 characters; the edit keeps 60.
    ASSERT_TRUE(retype(dialog, IDC_NAME1_EDIT, ""));
    typeText(typed.c_str());
    HWND edit = GetDlgItem(dialog, IDC_NAME1_EDIT);
    ASSERT_TRUE(waitFor([&] { return windowText(edit).size() >= 60; }, UiTimeoutMs));
    ASSERT_TRUE(keysHandled(edit));
    EXPECT_EQ(typed.substr(0, 60), windowText(edit));
    ASSERT_TRUE(clickControl(dialog, IDOK));
    ASSERT_TRUE(closed(dialog));

    EXPECT_TRUE(settingsSoon([&](const SettingsRecord &r) { return r.lists[0].listName == typed.substr(0, 60); }));
    EXPECT_TRUE(waitFor(
        [&] {
            std::vector<COLORREF> after = screenPixels(nameBand(listBox));
            return hasText(after) && after != before;
        },
        UiTimeoutMs))
        << "the new name was not painted above the list";
    EXPECT_FALSE(hasVisibleDialog(vombly.pid));
}

struct OptionCase {
    const char *name;
    std::vector<int> clicks; // boxes clicked, in order
    bool asksForRestart;
};

struct DailySettingsOptionJourney : DailyJourney, ::testing::WithParamInterface<OptionCase> {};

TEST_P(DailySettingsOptionJourney, OnlyAChangedSortAsksForARestartOnce)
{
    const OptionCase &c = GetParam();
    ASSERT_NO_FATAL_FAILURE(startWith(settingsRecord(1, 0, 0)));
    HWND dialog = openSettings();
    ASSERT_NE(nullptr, dialog);
    bool sort = false, minimise = false;
    for (int id : c.clicks) {
        bool &box = id == IDC_SORT_CHECK ? sort : minimise;
        box = !box;
        ASSERT_TRUE(clickControl(dialog, id));
        ASSERT_TRUE(waitFor([&] { return checked(dialog, id) == box; }, UiTimeoutMs));
    }
    unsigned long long saved = fileWriteTime(dataFile("Vombly.cfg"));
    ASSERT_TRUE(clickControl(dialog, IDOK));

    if (c.asksForRestart) {
        MessageBoxSeen box = messageBox("Vombly", UiTimeoutMs, vombly.pid);
        ASSERT_NE(nullptr, box.window);
        EXPECT_EQ(RestartText, box.text);
        ASSERT_TRUE(dismissBox(box.window));
        ASSERT_TRUE(waitFor([&] { return !IsWindow(box.window); }, UiTimeoutMs));
    }
    ASSERT_TRUE(rewritten(dataFile("Vombly.cfg"), saved));
    ASSERT_TRUE(closed(dialog));
    // Once saved nothing more is shown: no second message.
    EXPECT_FALSE(hasVisibleDialog(vombly.pid));
    SettingsRecord stored = savedSettings();
    EXPECT_EQ(sort ? 1 : 0, stored.sortEntries);
    EXPECT_EQ(minimise ? 1 : 0, stored.minimiseAfterSelection);
}

const OptionCase optionCases[] = {
    {"SortTicked", {IDC_SORT_CHECK}, true},
    {"SortTickedAndUnticked", {IDC_SORT_CHECK, IDC_SORT_CHECK}, false},
    {"MinimiseTicked", {IDC_MINIMISE_CHECK}, false},
    {"BothTicked", {IDC_MINIMISE_CHECK, IDC_SORT_CHECK}, true},
};

INSTANTIATE_TEST_SUITE_P(Cases, DailySettingsOptionJourney, ::testing::ValuesIn(optionCases),
                         [](const ::testing::TestParamInfo<OptionCase> &info) { return std::string(info.param.name); });

TEST_F(DailyJourney, SettingsCancelKeepsEveryFieldButWritesTheFile)
{
    ASSERT_NO_FATAL_FAILURE(
        startWith(settingsRecord(1, 0, 1, {DefaultListValues[0], {"Second", 0}, DefaultListValues[2]})));
    std::vector<unsigned char> bytes = readFileBytes(dataFile("Vombly.cfg"));
    unsigned long long saved = fileWriteTime(dataFile("Vombly.cfg"));

    HWND dialog = openSettings();
    ASSERT_NE(nullptr, dialog);
    ASSERT_TRUE(clickControl(dialog, IDC_SORT_CHECK));
    ASSERT_TRUE(clickControl(dialog, IDC_MINIMISE_CHECK));
    ASSERT_TRUE(retype(dialog, IDC_NAME1_EDIT, "changed one"));
    ASSERT_TRUE(retype(dialog, IDC_NAME2_EDIT, ""));
    ASSERT_TRUE(clickControl(dialog, IDCANCEL));
    ASSERT_TRUE(closed(dialog));

    EXPECT_TRUE(rewritten(dataFile("Vombly.cfg"), saved));
    EXPECT_EQ(bytes, readFileBytes(dataFile("Vombly.cfg")));
    EXPECT_FALSE(hasVisibleDialog(vombly.pid));

    dialog = openSettings();
    ASSERT_NE(nullptr, dialog);
    EXPECT_FALSE(checked(dialog, IDC_SORT_CHECK));
    EXPECT_TRUE(checked(dialog, IDC_MINIMISE_CHECK));
    EXPECT_EQ("List 1: Home and Personal Items", windowText(GetDlgItem(dialog, IDC_NAME1_EDIT)));
    EXPECT_EQ("Second", windowText(GetDlgItem(dialog, IDC_NAME2_EDIT)));
    ASSERT_TRUE(clickControl(dialog, IDCANCEL));
}

TEST_F(DailyJourney, SettingsEnterRightAfterOpeningActsOnCancel)
{
    ASSERT_NO_FATAL_FAILURE(startWith(settingsRecord(1, 0, 0)));
    std::vector<unsigned char> bytes = readFileBytes(dataFile("Vombly.cfg"));
    unsigned long long saved = fileWriteTime(dataFile("Vombly.cfg"));
    HWND dialog = openSettings();
    ASSERT_NE(nullptr, dialog);
    ASSERT_TRUE(bringToFront(dialog));
    EXPECT_EQ(GetDlgItem(dialog, IDCANCEL), focusOf(dialog));
    // A changed name, put there without moving the focus: Save would keep it.
    DWORD_PTR result = 0;
    ASSERT_TRUE(sendTimeout(GetDlgItem(dialog, IDC_NAME1_EDIT), WM_SETTEXT, 0, (LPARAM)L"not to be kept", &result));
    press(VK_RETURN);
    ASSERT_TRUE(closed(dialog));

    EXPECT_TRUE(rewritten(dataFile("Vombly.cfg"), saved));
    EXPECT_STREQ("List 1: Home and Personal Items", savedSettings().lists[0].listName) << "Enter acted on Save";
    EXPECT_EQ(bytes, readFileBytes(dataFile("Vombly.cfg")));
    EXPECT_FALSE(hasVisibleDialog(vombly.pid));
}

TEST_F(DailyJourney, SettingsTabGoesRoundTheControlsInOrder)
{
    ASSERT_NO_FATAL_FAILURE(startWith(settingsRecord(1, 0, 0)));
    HWND dialog = openSettings();
    ASSERT_NE(nullptr, dialog);
    ASSERT_TRUE(bringToFront(dialog));
    ASSERT_EQ(GetDlgItem(dialog, IDCANCEL), focusOf(dialog));

    // From Cancel, where the dialog starts, once round and back.
    const int order[] = {IDC_NAME1_EDIT, IDC_NAME2_EDIT, IDC_NAME3_EDIT, IDC_SORT_CHECK,
                         IDOK,           IDC_MINIMISE_CHECK, IDCANCEL};
    for (int id : order) {
        SCOPED_TRACE(id);
        press(VK_TAB);
        EXPECT_TRUE(waitFor([&] { return focusOf(dialog) == GetDlgItem(dialog, id); }, UiTimeoutMs))
            << "focus on control " << GetDlgCtrlID(focusOf(dialog));
    }
    press(VK_ESCAPE);
    EXPECT_TRUE(closed(dialog));
}

TEST_F(DailyJourney, SettingsEmptiedNameStaysEmpty)
{
    ASSERT_NO_FATAL_FAILURE(startWith(settingsRecord(2, 0, 0)));
    ASSERT_TRUE(waitFor([&] { return hasText(screenPixels(nameBand(listBox))); }, UiTimeoutMs));
    HWND dialog = openSettings();
    ASSERT_NE(nullptr, dialog);
    ASSERT_TRUE(retype(dialog, IDC_NAME2_EDIT, ""));
    ASSERT_TRUE(clickControl(dialog, IDOK));
    ASSERT_TRUE(closed(dialog));

    EXPECT_TRUE(settingsSoon([](const SettingsRecord &r) { return r.lists[1].listName[0] == '\0'; }));
    EXPECT_STREQ("List 1: Home and Personal Items", savedSettings().lists[0].listName);
    EXPECT_STREQ("List 3: Other Items", savedSettings().lists[2].listName);
    // List 2 is shown: its name has gone from above the list.
    EXPECT_TRUE(waitFor([&] { return !hasText(screenPixels(nameBand(listBox))); }, UiTimeoutMs));

    dialog = openSettings();
    ASSERT_NE(nullptr, dialog);
    EXPECT_EQ("", windowText(GetDlgItem(dialog, IDC_NAME2_EDIT)));
    ASSERT_TRUE(clickControl(dialog, IDCANCEL));
    ASSERT_TRUE(closed(dialog));
    ASSERT_NO_FATAL_FAILURE(restart());
    EXPECT_EQ('\0', savedSettings().lists[1].listName[0]);
}

} // namespace
