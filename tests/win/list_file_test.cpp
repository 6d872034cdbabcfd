// The list files as the program moves them in and out of the list box:
// command 6 loads the active list, command 7 saves it, and Toggle List
// steps through the three lists.
#include <windows.h>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "system/window_slots.h"
#include "res/resource.h"
#include "view/lists.h"
#include "store/settings.h"
#include "tests/common/list_bytes.h"
#include "tests/common/win_ui.h"
#include "tests/win/main_window_util.h"
#include "tests/win/win_test_util.h"

typedef std::vector<std::string> Entries;

static Bytes listFileOf(const Entries &entries)
{
    bool ok = false;
    Bytes bytes = encodeListFile(entries, &ok);
    EXPECT_TRUE(ok);
    return bytes;
}

struct ListFileTest : ProgramFixture {
    HWND listBox = NULL;
    // Damaged and unreadable files are told in message boxes (see
    // damaged_files_test.cpp); here they are only answered.
    DialogDriver boxes;

    void SetUp() override
    {
        ProgramFixture::SetUp();
        SetActiveList(1);
        makeListBox(false);
        startBoxAnswerer(&boxes, "Vombly", IDOK);
    }
    void TearDown() override
    {
        finishDialogDriver(&boxes);
        WindowSlot(1, IDC_LISTBOX, NULL);
        DestroyWindow(listBox);
        ProgramFixture::TearDown();
    }
    void makeListBox(bool sorted)
    {
        if (listBox != NULL)
            DestroyWindow(listBox);
        listBox = CreateWindowExA(0, "listbox", NULL, WS_POPUP | LBS_NOTIFY | (sorted ? LBS_SORT : 0), 0, 0, 200,
                                  200, NULL, NULL, GetModuleHandleA(NULL), NULL);
        ASSERT_NE(nullptr, listBox);
        WindowSlot(1, IDC_LISTBOX, listBox);
    }
    std::string listPath(int list) { return dataFolder + "Vombly" + std::to_string(list) + ".dat"; }
    Entries shown() { return listBoxEntries(listBox); }
    void show(const Entries &entries)
    {
        SendMessageA(listBox, LB_RESETCONTENT, 0, 0);
        for (const auto &text : entries)
            SendMessageA(listBox, LB_ADDSTRING, 0, (LPARAM)text.c_str());
    }
    LRESULT selected() { return SendMessageA(listBox, LB_GETCURSEL, 0, 0); }
    void load() { LoadListCommand(NULL, NULL, WM_COMMAND, CMD_LOAD_LIST, 0); }
    void save() { SaveListCommand(NULL, NULL, WM_COMMAND, CMD_SAVE_LIST, 0); }
};

TEST_F(ListFileTest, PathFollowsTheActiveList)
{
    static const struct {
        uint32_t list;
        const char *name;
    } cases[] = {{1, "Vombly1.dat"}, {3, "Vombly3.dat"}, {7, "Vombly7.dat"}, {0, "Vombly0.dat"}};
    for (const auto &c : cases) {
        SetActiveList(c.list);
        EXPECT_EQ(dataFolder + c.name, ListFilePath());
    }
}

TEST_F(ListFileTest, LoadShowsWhatTheFileHoldsUpToTheFirstDamage)
{
    std::string big(4000, 'x');
    std::string longest(4009, 'y');
    Bytes three = listFileOf({"one", "two", "three"});
    Bytes cut = three;
    cut.resize(cut.size() - 2);
    Bytes tooLong = withLength(listFileOf({"kept"}), 4010);
    tooLong.resize(tooLong.size() + 4010, 'z');
    Bytes huge = withLength(listFileOf({"kept"}), 0x80000000u);
    Bytes longestFile = withLength(Bytes(), 4009);
    longestFile.insert(longestFile.end(), longest.begin(), longest.end());
    ScrambleBytes(longestFile.data() + 4, 4009, 4009);
    static const struct {
        const char *label;
        Bytes file;
        Entries entries;
    } cases[] = {
        {"empty file", Bytes(), {}},
        {"three bytes", Bytes{1, 0, 0}, {}},
        {"empty entry", listFileOf({""}), {""}},
        {"three entries", three, {"one", "two", "three"}},
        {"last record cut short", cut, {"one", "two"}},
        {"4000 bytes", listFileOf({big}), {big}},
        {"4009 bytes", longestFile, {longest}},
        {"length 4010 ends the load", tooLong, {"kept"}},
        {"length 0x80000000 ends the load", huge, {"kept"}},
        {"zero byte ends the text", listFileOf({std::string("ab\0cd", 5)}), {"ab"}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.label);
        show({"before"});
        writeFileBytes(listPath(1), c.file);
        load();
        EXPECT_EQ(c.entries, shown());
    }
}

TEST_F(ListFileTest, LoadSelectsTheRememberedEntry)
{
    writeFileBytes(listPath(1), listFileOf({"a", "b", "c"}));
    static const struct {
        int32_t remembered;
        LRESULT selected;
    } cases[] = {{0, 0}, {2, 2}, {-1, LB_ERR}, {3, LB_ERR}, {100, LB_ERR}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.remembered);
        SetActiveListSelection(c.remembered);
        load();
        EXPECT_EQ(c.selected, selected());
    }
}

TEST_F(ListFileTest, SaveWritesOneRecordPerEntryInListOrder)
{
    show({"a", "bb", "ccc"});
    save();
    Bytes file = readFileBytes(listPath(1));
    ASSERT_EQ(18u, file.size());
    EXPECT_EQ(listFileOf({"a", "bb", "ccc"}), file);

    show({"", "same", "x", "same"});
    save();
    EXPECT_EQ(listFileOf({"", "same", "x", "same"}), readFileBytes(listPath(1)));

    show({});
    save();
    EXPECT_TRUE(fileExists(listPath(1)));
    EXPECT_EQ(0u, readFileBytes(listPath(1)).size());
    EXPECT_FALSE(fileExists(listPath(1) + ".tmp"));
}

TEST_F(ListFileTest, EntriesUpTo4009CharactersAreWrittenWholeAndLongerOnesLeftOut)
{
    show({"short", std::string(4010, 'q'), std::string(4009, 'r'), std::string(4001, 's')});
    save();
    EXPECT_EQ(listFileOf({"short", std::string(4009, 'r'), std::string(4001, 's')}), readFileBytes(listPath(1)));
    // What a file made elsewhere holds comes back whole after a save.
    load();
    EXPECT_EQ((Entries{"short", std::string(4009, 'r'), std::string(4001, 's')}), shown());
}

TEST_F(ListFileTest, ASortedListLoadsSortedAndIsWrittenBackSorted)
{
    makeListBox(true);
    writeFileBytes(listPath(1), listFileOf({"pear", "apple", "fig"}));
    load();
    EXPECT_EQ((Entries{"apple", "fig", "pear"}), shown());
    save();
    EXPECT_EQ(listFileOf({"apple", "fig", "pear"}), readFileBytes(listPath(1)));
}

TEST_F(ListFileTest, AMissingFileIsAnEmptyList)
{
    show({"another list's entry"});
    SetActiveList(2);
    load();
    EXPECT_EQ(Entries{}, shown());
    // The list's first entry then creates its file.
    show({"new"});
    save();
    EXPECT_EQ(listFileOf({"new"}), readFileBytes(listPath(2)));
}

TEST_F(ListFileTest, AFileThatCannotBeReadIsNeverWrittenOver)
{
    Bytes entries = listFileOf({"precious", "entries"});
    writeFileBytes(listPath(2), entries);
    show({"list 1 entry"});
    SetActiveList(2);

    // Another program holds the file open without sharing it.
    HANDLE held = CreateFileA(listPath(2).c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    load();
    CloseHandle(held);
    EXPECT_EQ(Entries{}, shown());

    // Neither the other list's entries nor new ones reach the file.
    show({"list 1 entry", "added"});
    save();
    EXPECT_EQ(entries, readFileBytes(listPath(2)));

    // Once it has been read, the list is saved again.
    load();
    EXPECT_EQ((Entries{"precious", "entries"}), shown());
    SendMessageA(listBox, LB_ADDSTRING, 0, (LPARAM) "more");
    save();
    EXPECT_EQ(listFileOf({"precious", "entries", "more"}), readFileBytes(listPath(2)));
}

TEST_F(ListFileTest, ToggleStepsThroughTheListsRememberingSelections)
{
    for (int list = 1; list <= 3; list++)
        writeFileBytes(listPath(list), listFileOf({"L" + std::to_string(list) + "a", "L" + std::to_string(list) + "b"}));
    HWND window = CreateWindowExA(0, "STATIC", "main", WS_POPUP, 0, 0, 10, 10, NULL, NULL, NULL, NULL);
    // The toggle sends command 6 to the main window; this one forwards it.
    SetWindowLongPtrA(window, GWLP_WNDPROC, (LONG_PTR)(WNDPROC)[](HWND w, UINT m, WPARAM wp, LPARAM lp) WINAPI -> LRESULT {
        if (m == WM_COMMAND && LOWORD(wp) == CMD_LOAD_LIST)
            return LoadListCommand(NULL, w, m, wp, lp);
        return DefWindowProcA(w, m, wp, lp);
    });

    static const struct {
        uint32_t before, after;
    } steps[] = {{0, 1}, {1, 2}, {2, 3}, {3, 1}, {9, 1}, {0xFFFFFFFFu, 1}};
    for (const auto &step : steps) {
        SCOPED_TRACE(step.before);
        SetActiveList(step.before);
        ToggleListCommand(NULL, window, WM_COMMAND, IDM_TOGGLE, 0);
        EXPECT_EQ(step.after, GetActiveList());
        EXPECT_EQ("L" + std::to_string(step.after) + "a", shown().at(0));
    }

    // Three toggles come back to the start list with its entry selected.
    SetActiveList(1);
    load();
    SendMessageA(listBox, LB_SETCURSEL, 1, 0);
    for (int i = 0; i < 3; i++)
        ToggleListCommand(NULL, window, WM_COMMAND, IDM_TOGGLE, 0);
    EXPECT_EQ(1u, GetActiveList());
    EXPECT_EQ(1, selected());

    // The settings file holds the new list.
    ToggleListCommand(NULL, window, WM_COMMAND, IDM_TOGGLE, 0);
    *GetSettingsRecord() = SettingsRecord{};
    ASSERT_EQ(1, LoadSettings());
    EXPECT_EQ(2u, GetActiveList());
    DestroyWindow(window);
}
