// The Add, Remove and Settings dialogs as the user answers them through the
// main window: what ends up in the list box, the list file and the settings
// file, and the message boxes on the way.
#include <windows.h>
#include <gtest/gtest.h>
#include <stdio.h>
#include <string.h>
#include <string>
#include <vector>

#include "system/string_cache.h"
#include "system/window_slots.h"
#include "res/resource.h"
#include "store/settings.h"
#include "view/save_settings.h"
#include "tests/common/list_bytes.h"
#include "tests/common/win_ui.h"
#include "tests/win/main_window_util.h"

typedef std::vector<std::string> Entries;

static std::string dialogItemText(HWND dialog, int id)
{
    char text[1400];
    GetDlgItemTextA(dialog, id, text, ARRAYSIZE(text));
    return text;
}

struct DialogCommandTest : MainWindowFixture {
    // The main window's pending repaint right after the last command,
    // before any message is pumped.
    BOOL repaintPending = FALSE;
    RECT repaintRect = {0, 0, 0, 0};

    // Sends `command` to the main window while `driver` answers its dialog.
    void runDialog(WORD command, const WORD *answers, int count, DriverHook hook, void *context, DialogDriver *driver)
    {
        ASSERT_NO_FATAL_FAILURE(startDialogDriver(driver, answers, count, 3000, hook, context));
        SendMessageA(window, WM_COMMAND, command, 0);
        repaintPending = GetUpdateRect(window, &repaintRect, FALSE);
        finishDialogDriver(driver);
        ASSERT_NE(nullptr, driver->dialog) << "no dialog was shown";
        EXPECT_FALSE(driver->gaveUp);
    }
};

// ---- Add ----

struct AddInput {
    const char *text;  // typed before the answer; NULL types nothing
    LRESULT limit;
    std::string label;
};

static bool TypeIntoAddBox(DialogDriver *driver, int index)
{
    AddInput *input = (AddInput *)driver->context;
    if (index == 0) {
        input->limit = SendDlgItemMessageA(driver->dialog, IDC_ADD_EDIT, EM_GETLIMITTEXT, 0, 0);
        input->label = dialogItemText(driver->dialog, IDC_ADD_LABEL);
        if (input->text != NULL)
            SetDlgItemTextA(driver->dialog, IDC_ADD_EDIT, input->text);
    }
    return true;
}

typedef DialogCommandTest AddTest;

TEST_F(AddTest, DialogShowsCaptionLabelLimitAndFocusOnTheEdit)
{
    ASSERT_NO_FATAL_FAILURE(openMainWindow());
    AddInput input = {NULL, 0, ""};
    DialogDriver driver;
    const WORD answer = IDCANCEL;
    ASSERT_NO_FATAL_FAILURE(runDialog(IDC_ADD, &answer, 1, TypeIntoAddBox, &input, &driver));
    EXPECT_STREQ("Vombly - Add String", driver.captionAtOpen);
    EXPECT_EQ("Enter text string in box:-", input.label);
    EXPECT_EQ(999, input.limit);
    EXPECT_EQ(IDC_ADD_EDIT, driver.focusIdAtOpen);
}

TEST_F(AddTest, UnsortedListTakesTheTextAsTypedAtTheEnd)
{
    ASSERT_NO_FATAL_FAILURE(openMainWindow());
    showList({"kiwi", "apple", "mango"}, 1);
    // Set past the edit's limit (WM_SETTEXT ignores it): cut to 999.
    const std::string tooLong = std::string(999, 'T') + std::string(201, 'x');
    const struct {
        WORD command;
        std::string typed;
        bool adds;
        std::string added;
    } steps[] = {
        {IDC_ADD, "  blanks kept  ", true, "  blanks kept  "},
        {IDM_ADD, "twice", true, "twice"},
        {IDC_ADD, "twice", true, "twice"},
        {IDM_ADD, "", false, ""},
        {IDC_ADD, "caf\xE9", true, "caf\xE9"},
        {IDC_ADD, std::string(999, 'L'), true, std::string(999, 'L')},
        {IDM_ADD, tooLong, true, std::string(999, 'T')},
    };
    Entries expected = {"kiwi", "apple", "mango"};
    for (const auto &step : steps) {
        SCOPED_TRACE(testing::Message() << "typed '" << step.typed.substr(0, 20) << "'");
        if (step.adds)
            expected.push_back(step.added);
        AddInput input = {step.typed.c_str(), 0, ""};
        DialogDriver driver;
        const WORD answer = IDOK;
        ASSERT_NO_FATAL_FAILURE(runDialog(step.command, &answer, 1, TypeIntoAddBox, &input, &driver));
        EXPECT_FALSE(driver.openAfter[0]);
        EXPECT_EQ(expected, shown());
        EXPECT_EQ(expected, saved(1));
        // The selection stays on the entry it was on.
        EXPECT_EQ(1, selected());
        EXPECT_EQ(1, savedSettings().lists[0].listSelection);
    }
}

TEST_F(AddTest, SortedListTakesTheTextAtItsPlaceAndTheSelectionFollowsItsEntry)
{
    settings.sortEntries = 1;
    lists[0] = {"kiwi", "apple", "mango"};
    ASSERT_NO_FATAL_FAILURE(openMainWindow());
    SendMessageA(listBox(), LB_SETCURSEL, 1, 0);
    ASSERT_EQ((Entries{"apple", "kiwi", "mango"}), shown());
    const struct {
        const char *typed;
        Entries expected;
        int selected;  // still "kiwi"
    } steps[] = {
        {"banana", {"apple", "banana", "kiwi", "mango"}, 2},
        {"zebra", {"apple", "banana", "kiwi", "mango", "zebra"}, 2},
        {"Aardvark", {"Aardvark", "apple", "banana", "kiwi", "mango", "zebra"}, 3},
    };
    for (const auto &step : steps) {
        SCOPED_TRACE(step.typed);
        AddInput input = {step.typed, 0, ""};
        DialogDriver driver;
        const WORD answer = IDOK;
        ASSERT_NO_FATAL_FAILURE(runDialog(IDC_ADD, &answer, 1, TypeIntoAddBox, &input, &driver));
        EXPECT_EQ(step.expected, shown());
        EXPECT_EQ(step.expected, saved(1));
        EXPECT_EQ(step.selected, selected());
        EXPECT_EQ(step.selected, savedSettings().lists[0].listSelection);
    }
}

TEST_F(AddTest, CancelAddsNothingButRewritesBothFilesAsTheyWere)
{
    ASSERT_NO_FATAL_FAILURE(openMainWindow());
    SendMessageA(listBox(), LB_SETCURSEL, 2, 0);
    SendMessageA(window, WM_COMMAND, CMD_SAVE_LIST, 0);
    SaveSettings();
    const Bytes listBefore = readFileBytes(listPath(1));
    const Bytes settingsBefore = readFileBytes(settingsPath());
    ASSERT_FALSE(listBefore.empty());
    DeleteFileA(listPath(1).c_str());
    DeleteFileA(settingsPath().c_str());

    AddInput input = {"not added", 0, ""};
    DialogDriver driver;
    const WORD answer = IDCANCEL;
    ASSERT_NO_FATAL_FAILURE(runDialog(IDM_ADD, &answer, 1, TypeIntoAddBox, &input, &driver));
    EXPECT_EQ(lists[0], shown());
    EXPECT_EQ(2, selected());
    EXPECT_EQ(listBefore, readFileBytes(listPath(1)));
    EXPECT_EQ(settingsBefore, readFileBytes(settingsPath()));
}

// ---- Remove ----

struct RemoveView {
    LRESULT count;
    std::string entry;
};

static bool ReadRemoveBox(DialogDriver *driver, int index)
{
    RemoveView *view = (RemoveView *)driver->context;
    if (index == 0) {
        HWND list = GetDlgItem(driver->dialog, IDC_REMOVE_LIST);
        std::vector<std::string> texts = listBoxEntries(list);
        view->count = (LRESULT)texts.size();
        view->entry = texts.empty() ? std::string() : texts[0];
    }
    return true;
}

typedef DialogCommandTest RemoveTest;

TEST_F(RemoveTest, NothingSelectedShowsTheErrorBoxNoDialogAndSaves)
{
    ASSERT_NO_FATAL_FAILURE(openMainWindow());
    for (WORD command : {IDC_REMOVE, IDM_REMOVE}) {
        SCOPED_TRACE(command);
        SendMessageA(listBox(), LB_SETCURSEL, (WPARAM)-1, 0);
        DeleteFileA(settingsPath().c_str());
        DialogDriver error, removeBox;
        ASSERT_NO_FATAL_FAILURE(startBoxAnswerer(&error, "Error", IDOK));
        ASSERT_NO_FATAL_FAILURE(startBoxAnswerer(&removeBox, "Vombly - Remove String", IDCANCEL));
        SendMessageA(window, WM_COMMAND, command, 0);
        finishDialogDriver(&error);
        finishDialogDriver(&removeBox);
        EXPECT_EQ(1, error.seen);
        EXPECT_NE(std::string::npos, ("|" + error.texts).find("|There was  no string selected for deletion !|"))
            << error.texts;
        EXPECT_EQ(0, removeBox.seen);
        EXPECT_EQ(lists[0], shown());
        EXPECT_EQ(lists[0], saved(1));
        EXPECT_EQ(-1, savedSettings().lists[0].listSelection);
    }
}

TEST_F(RemoveTest, AnswersDecideTheListAndTheSelectionAfter)
{
    ASSERT_NO_FATAL_FAILURE(openMainWindow());
    const Entries four = {"a", "b", "c", "d"};
    const struct {
        const char *label;
        Entries entries;
        int index;
        WORD answer;
        Entries after;
        int selected;
    } cases[] = {
        {"middle entry: the one before", four, 2, IDOK, {"a", "b", "d"}, 1},
        {"first entry: the new first", four, 0, IDOK, {"b", "c", "d"}, 0},
        {"last entry", four, 3, IDOK, {"a", "b", "c"}, 2},
        {"only entry: nothing left", {"only"}, 0, IDOK, {}, -1},
        {"cancel keeps it", four, 2, IDCANCEL, four, 2},
        {"an empty entry goes like any other", {"a", "", "c"}, 1, IDOK, {"a", "c"}, 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.label);
        showList(c.entries, c.index);
        RemoveView view = {0, ""};
        DialogDriver driver;
        ASSERT_NO_FATAL_FAILURE(runDialog(IDC_REMOVE, &c.answer, 1, ReadRemoveBox, &view, &driver));
        EXPECT_STREQ("Vombly - Remove String", driver.captionAtOpen);
        EXPECT_EQ(1, view.count);
        EXPECT_EQ(c.entries[c.index], view.entry);
        EXPECT_EQ(c.after, saved(1));
        EXPECT_EQ(c.after, shown());
        EXPECT_EQ(c.selected, selected());
        EXPECT_EQ(c.selected, GetActiveListSelection());
        EXPECT_EQ(c.selected, savedSettings().lists[0].listSelection);
    }
}

TEST_F(RemoveTest, LongEntriesAreShownRemovedAndTheRestSavedExactly)
{
    ASSERT_NO_FATAL_FAILURE(openMainWindow());
    // Around the 512 characters that some list boxes' ANSI conversion
    // holds, and up to the longest entry a list file may carry.
    Entries entries;
    char first = 'a';
    for (size_t length : {511, 512, 600, 999, 4009}) {
        std::string text(length, '\0');
        for (size_t i = 0; i < length; i++)
            text[i] = (char)(first + i % 19);
        entries.push_back(text);
        first++;
    }
    for (size_t index = 0; index < entries.size(); index++) {
        SCOPED_TRACE(entries[index].size());
        showList(entries, (int)index);
        ASSERT_EQ(entries, shown());
        // The file gets every other entry the program writes, that is all
        // but the one over 4000 characters, and the list box shows the
        // file as read back.
        Entries written;
        for (size_t i = 0; i < entries.size(); i++) {
            if (i != index && entries[i].size() <= ListEntryWriteLimit)
                written.push_back(entries[i]);
        }
        RemoveView view = {0, ""};
        DialogDriver driver;
        const WORD answer = IDOK;
        ASSERT_NO_FATAL_FAILURE(runDialog(IDC_REMOVE, &answer, 1, ReadRemoveBox, &view, &driver));
        EXPECT_EQ(1, view.count);
        EXPECT_TRUE(entries[index] == view.entry) << "the Remove dialog showed " << view.entry.size() << " characters";
        EXPECT_TRUE(written == saved(1));
        EXPECT_TRUE(written == shown());
    }
}

// ---- Settings ----

// What the dialog showed at open, and what the hook types before answering.
struct SettingsDrive {
    // Input; -1 and NULL leave a field as shown.
    int sort = -1;
    int minimise = -1;
    const char *names[3] = {NULL, NULL, NULL};
    bool pressEnter = false;
    // Seen at open.
    UINT sortShown = 99, minimiseShown = 99;
    std::string namesShown[3], labels[3], sortText, minimiseText;
    LRESULT limits[3] = {0, 0, 0};
    LRESULT defaultId = 0;
};

static const int NameEdits[3] = {IDC_NAME1_EDIT, IDC_NAME2_EDIT, IDC_NAME3_EDIT};
static const int NameLabels[3] = {IDC_NAME1_LABEL, IDC_NAME2_LABEL, IDC_NAME3_LABEL};

static bool DriveSettingsBox(DialogDriver *driver, int index)
{
    SettingsDrive *drive = (SettingsDrive *)driver->context;
    HWND dialog = driver->dialog;
    if (index != 0)
        return true;
    drive->sortShown = IsDlgButtonChecked(dialog, IDC_SORT_CHECK);
    drive->minimiseShown = IsDlgButtonChecked(dialog, IDC_MINIMISE_CHECK);
    drive->sortText = dialogItemText(dialog, IDC_SORT_CHECK);
    drive->minimiseText = dialogItemText(dialog, IDC_MINIMISE_CHECK);
    drive->defaultId = SendMessageA(dialog, DM_GETDEFID, 0, 0);
    for (int i = 0; i < 3; i++) {
        drive->namesShown[i] = dialogItemText(dialog, NameEdits[i]);
        drive->labels[i] = dialogItemText(dialog, NameLabels[i]);
        drive->limits[i] = SendDlgItemMessageA(dialog, NameEdits[i], EM_GETLIMITTEXT, 0, 0);
    }

    if (drive->sort >= 0)
        CheckDlgButton(dialog, IDC_SORT_CHECK, drive->sort ? BST_CHECKED : BST_UNCHECKED);
    if (drive->minimise >= 0)
        CheckDlgButton(dialog, IDC_MINIMISE_CHECK, drive->minimise ? BST_CHECKED : BST_UNCHECKED);
    for (int i = 0; i < 3; i++) {
        if (drive->names[i] != NULL)
            SetDlgItemTextA(dialog, NameEdits[i], drive->names[i]);
    }
    if (!drive->pressEnter)
        return true;
    // Enter on the focused control, through the dialog's own message loop.
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(driver->ownerThread, &info);
    PostMessageA(info.hwndFocus, WM_KEYDOWN, VK_RETURN, 0x001C0001);
    PostMessageA(info.hwndFocus, WM_KEYUP, VK_RETURN, 0xC01C0001);
    return false;
}

struct SettingsTest : DialogCommandTest {
    DialogDriver restartBox;
    // Opens Settings from the menu and answers it with `answer`.
    void runSettings(SettingsDrive *drive, WORD answer, DialogDriver *driver)
    {
        ASSERT_NO_FATAL_FAILURE(startBoxAnswerer(&restartBox, "Vombly", IDOK));
        runDialog(IDM_SETTINGS, &answer, 1, DriveSettingsBox, drive, driver);
        finishDialogDriver(&restartBox);
    }
    void setRecord(int32_t sort, int32_t minimise, const char *name1, const char *name2, const char *name3)
    {
        SetSortEntries(sort);
        SetMinimiseAfterSelection(minimise);
        SetListName(1, name1);
        SetListName(2, name2);
        SetListName(3, name3);
    }
};

TEST_F(SettingsTest, FieldsShowTheRecordAtOpen)
{
    ASSERT_NO_FATAL_FAILURE(openMainWindow());
    const struct {
        int32_t sort, minimise;
        const char *names[3];
    } cases[] = {
        {1, 0, {"Home list", "Office list", "Other list"}},
        {0, 1, {"", "x", "caf\xE9 & more"}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.names[2]);
        setRecord(c.sort, c.minimise, c.names[0], c.names[1], c.names[2]);
        SettingsDrive drive;
        DialogDriver driver;
        ASSERT_NO_FATAL_FAILURE(runSettings(&drive, IDCANCEL, &driver));
        EXPECT_STREQ("Vombly - Settings", driver.captionAtOpen);
        EXPECT_EQ((UINT)c.sort, drive.sortShown);
        EXPECT_EQ((UINT)c.minimise, drive.minimiseShown);
        EXPECT_EQ("Sort list entries alphabetically", drive.sortText);
        EXPECT_EQ("Minimise after making selection", drive.minimiseText);
        for (int i = 0; i < 3; i++) {
            SCOPED_TRACE(i + 1);
            EXPECT_EQ(c.names[i], drive.namesShown[i]);
            EXPECT_EQ("Name of list " + std::to_string(i + 1), drive.labels[i]);
            EXPECT_EQ(60, drive.limits[i]);
        }
        // Cancel has the focus; Save stays the default push button.
        EXPECT_EQ(IDCANCEL, driver.focusIdAtOpen);
        EXPECT_EQ(MAKELONG(IDOK, DC_HASDEFID), drive.defaultId);
        EXPECT_EQ(0, restartBox.seen);
    }
}

TEST_F(SettingsTest, SaveStoresTheFieldsAndAsksForARestartOnlyWhenSortingChanges)
{
    ASSERT_NO_FATAL_FAILURE(openMainWindow());
    const std::string sixty(60, 'n');
    struct Row {
        const char *label;
        int sort, minimise;  // typed; -1 left as shown
        const char *names[3];
        // Expected after Save.
        int32_t sort1, minimise1;
        const char *names1[3];
        int restartBoxes;
    };
    // Each row starts from the record the row before left.
    const Row rows[] = {
        {"minimise only", -1, 1, {NULL, NULL, NULL}, 0, 1, {"Home list", "Office list", "Other list"}, 0},
        {"names only", -1, -1, {"", sixty.c_str(), " Shop "}, 0, 1, {"", sixty.c_str(), " Shop "}, 0},
        {"sorting on", 1, -1, {NULL, NULL, NULL}, 1, 1, {"", sixty.c_str(), " Shop "}, 1},
        {"sorting off with the rest", 0, 0, {"A", "B", "C"}, 0, 0, {"A", "B", "C"}, 1},
        {"nothing changed", -1, -1, {NULL, NULL, NULL}, 0, 0, {"A", "B", "C"}, 0},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.label);
        SettingsDrive drive;
        drive.sort = row.sort;
        drive.minimise = row.minimise;
        for (int i = 0; i < 3; i++)
            drive.names[i] = row.names[i];
        DeleteFileA(settingsPath().c_str());
        ValidateRect(window, NULL);
        DialogDriver driver;
        ASSERT_NO_FATAL_FAILURE(runSettings(&drive, IDOK, &driver));

        // The new name is painted at once: the whole window waits for it.
        RECT client;
        GetClientRect(window, &client);
        EXPECT_TRUE(repaintPending);
        EXPECT_TRUE(EqualRect(&client, &repaintRect));

        EXPECT_EQ(row.restartBoxes, restartBox.seen);
        if (row.restartBoxes > 0) {
            EXPECT_NE(std::string::npos, ("|" + restartBox.texts).find(std::string("|") +
                                                                       GetString(IDS_RESTART_NEEDED) + "|"))
                << restartBox.texts;
        }
        SettingsRecord file = savedSettings();
        EXPECT_EQ(row.sort1, GetSortEntries());
        EXPECT_EQ(row.minimise1, GetMinimiseAfterSelection());
        EXPECT_EQ(row.sort1, file.sortEntries);
        EXPECT_EQ(row.minimise1, file.minimiseAfterSelection);
        for (int i = 0; i < 3; i++) {
            EXPECT_STREQ(row.names1[i], GetListName(i + 1)) << "list " << i + 1;
            EXPECT_STREQ(row.names1[i], file.lists[i].listName) << "list " << i + 1;
        }
    }
}

TEST_F(SettingsTest, CancelKeepsEveryFieldButRewritesTheFile)
{
    ASSERT_NO_FATAL_FAILURE(openMainWindow());
    SaveSettings();
    const SettingsRecord before = *GetSettingsRecord();
    DeleteFileA(settingsPath().c_str());
    SettingsDrive drive;
    drive.sort = 1;
    drive.minimise = 1;
    drive.names[0] = "changed 1";
    drive.names[1] = "";
    drive.names[2] = "changed 3";
    DialogDriver driver;
    ASSERT_NO_FATAL_FAILURE(runSettings(&drive, IDCANCEL, &driver));
    EXPECT_EQ(0, restartBox.seen);
    EXPECT_EQ(0, memcmp(&before, GetSettingsRecord(), sizeof before));
    SettingsRecord file = savedSettings();
    EXPECT_EQ(0, memcmp(&before, &file, sizeof before));
}

TEST_F(SettingsTest, EnterRightAfterOpeningIsCancel)
{
    ASSERT_NO_FATAL_FAILURE(openMainWindow());
    SettingsDrive drive;
    drive.minimise = 1;
    drive.names[0] = "typed, then Enter";
    drive.pressEnter = true;
    DialogDriver driver;
    ASSERT_NO_FATAL_FAILURE(runSettings(&drive, IDCANCEL, &driver));
    EXPECT_EQ(IDCANCEL, driver.focusIdAtOpen);
    EXPECT_EQ(MAKELONG(IDOK, DC_HASDEFID), drive.defaultId);
    EXPECT_FALSE(driver.openAfter[0]) << "Enter did not end the dialog";
    EXPECT_STREQ("Home list", GetListName(1));
    EXPECT_EQ(0, GetMinimiseAfterSelection());
}
