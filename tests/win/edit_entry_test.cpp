// Owning a list through the main window: an entry's text changed in place,
// entries moved up and down, the context menu as it stands, and the list
// written to and read from a UTF-8 text file, with what the user is told.
#include <windows.h>
#include <gtest/gtest.h>
#include <stdio.h>
#include <string.h>
#include <string>
#include <vector>

#include "system/window_slots.h"
#include "dialogs/edit_entry.h"
#include "dialogs/import_export.h"
#include "res/resource.h"
#include "store/settings.h"
#include "tests/win/main_window_util.h"
#include "view/context_menu.h"
#include "system/list_entry.h"

typedef std::vector<std::string> Entries;

namespace {

struct ListTest : MainWindowFixture {};

// ---- Edit ----

struct EditDrive {
    const char *typed;  // NULL leaves the box as shown
    std::string shownText, label;
    LRESULT limit = 0;
    int focusId = 0;
};

bool DriveEditBox(DialogDriver *driver, int index)
{
    EditDrive *drive = (EditDrive *)driver->context;
    if (index == 0) {
        char text[ListEntryBufferSize];
        GetDlgItemTextA(driver->dialog, IDC_EDIT_EDIT, text, sizeof text);
        drive->shownText = text;
        GetDlgItemTextA(driver->dialog, IDC_EDIT_LABEL, text, sizeof text);
        drive->label = text;
        drive->limit = SendDlgItemMessageA(driver->dialog, IDC_EDIT_EDIT, EM_GETLIMITTEXT, 0, 0);
        if (drive->typed != NULL)
            SetDlgItemTextA(driver->dialog, IDC_EDIT_EDIT, drive->typed);
    }
    return true;
}

struct EditCase {
    const char *label;
    Entries entries;
    int index;
    const char *typed;
    WORD answer;
    Entries after;
    int selectedAfter;
};

struct EditTest : ListTest {
    void runCases(const EditCase *cases, size_t count)
    {
        for (size_t i = 0; i < count; i++) {
            const EditCase &c = cases[i];
            SCOPED_TRACE(c.label);
            showList(c.entries, c.index);
            DeleteFileA(settingsPath().c_str());
            EditDrive drive;
            drive.typed = c.typed;
            DialogDriver driver;
            ASSERT_NO_FATAL_FAILURE(startDialogDriver(&driver, &c.answer, 1, 3000, DriveEditBox, &drive));
            SendMessageA(window, WM_COMMAND, IDM_ENTRY_EDIT, 0);
            finishDialogDriver(&driver);
            ASSERT_NE(nullptr, driver.dialog) << "no dialog was shown";
            EXPECT_FALSE(driver.gaveUp);
            EXPECT_STREQ("Vombly - Edit String", driver.captionAtOpen);
            EXPECT_EQ(IDC_EDIT_EDIT, driver.focusIdAtOpen);
            EXPECT_EQ("Change the text string in the box:-", drive.label);
            EXPECT_EQ(c.entries[c.index], drive.shownText);
            EXPECT_EQ(c.entries[c.index].size() > 999 ? (LRESULT)c.entries[c.index].size() : 999, drive.limit);

            EXPECT_EQ(c.after, shown());
            EXPECT_EQ(c.after, saved(1));
            EXPECT_EQ(c.selectedAfter, selected());
            bool saves = c.answer == IDOK && (c.typed == NULL || c.typed[0] != '\0');
            // Save writes the settings with the selection at once; Cancel writes nothing.
            EXPECT_EQ(saves, fileExists(settingsPath()));
            if (saves) {
                EXPECT_EQ(c.selectedAfter, savedSettings().lists[0].listSelection);
            }
        }
    }
};

TEST_F(EditTest, UnsortedListKeepsTheEntryInItsPlace)
{
    ASSERT_NO_FATAL_FAILURE(openMainWindow());
    const Entries four = {"delta", "alpha", "charlie", "bravo"};
    const std::string fromFile(1500, 'f');
    const EditCase cases[] = {
        {"middle entry", four, 2, "zulu", IDOK, {"delta", "alpha", "zulu", "bravo"}, 2},
        {"first entry, blanks and high bytes kept", four, 0, "  caf\xE9 \x80  ", IDOK,
         {"  caf\xE9 \x80  ", "alpha", "charlie", "bravo"}, 0},
        {"last entry", four, 3, "omega", IDOK, {"delta", "alpha", "charlie", "omega"}, 3},
        {"cancel changes nothing", four, 1, "never", IDCANCEL, four, 1},
        {"an emptied box changes nothing", four, 1, "", IDOK, four, 1},
        {"an empty entry gets a text", {"a", "", "c"}, 1, "b", IDOK, {"a", "b", "c"}, 1},
        {"a long entry from a file is shown whole and kept", {"a", fromFile}, 1, NULL, IDOK, {"a", fromFile}, 1},
    };
    runCases(cases, ARRAYSIZE(cases));
}

TEST_F(EditTest, SortedListPutsTheChangedEntryAtItsSortedPlace)
{
    settings.sortEntries = 1;
    ASSERT_NO_FATAL_FAILURE(openMainWindow());
    const Entries four = {"alpha", "bravo", "charlie", "delta"};
    const EditCase cases[] = {
        {"to the end", four, 0, "echo", IDOK, {"bravo", "charlie", "delta", "echo"}, 3},
        {"to the start", four, 3, "aardvark", IDOK, {"aardvark", "alpha", "bravo", "charlie"}, 0},
        {"same place", four, 1, "bz", IDOK, {"alpha", "bz", "charlie", "delta"}, 1},
        {"cancel", four, 2, "zzz", IDCANCEL, four, 2},
    };
    runCases(cases, ARRAYSIZE(cases));
}

TEST_F(EditTest, WithoutASelectionNothingOpens)
{
    ASSERT_NO_FATAL_FAILURE(openMainWindow());
    showList({"a", "b"}, -1);
    DeleteFileA(settingsPath().c_str());
    DWORD start = GetTickCount();
    SendMessageA(window, WM_COMMAND, IDM_ENTRY_EDIT, 0);
    EXPECT_LT(GetTickCount() - start, 2000u) << "a dialog waited for an answer";
    EXPECT_EQ((Entries{"a", "b"}), shown());
    EXPECT_FALSE(fileExists(settingsPath()));
}

// ---- Move Up and Move Down ----

TEST_F(ListTest, MovesSwapWithTheNeighbourKeepTheSelectionAndSave)
{
    ASSERT_NO_FATAL_FAILURE(openMainWindow());
    const Entries four = {"a", "b", "c", "d"};
    const struct {
        const char *label;
        int index;
        WORD command;
        Entries after;
        int selectedAfter;
    } cases[] = {
        {"up from the middle", 2, IDM_ENTRY_MOVE_UP, {"a", "c", "b", "d"}, 1},
        {"down from the middle", 1, IDM_ENTRY_MOVE_DOWN, {"a", "c", "b", "d"}, 2},
        {"up to the top", 1, IDM_ENTRY_MOVE_UP, {"b", "a", "c", "d"}, 0},
        {"down to the bottom", 2, IDM_ENTRY_MOVE_DOWN, {"a", "b", "d", "c"}, 3},
        {"up at the top: nothing", 0, IDM_ENTRY_MOVE_UP, four, 0},
        {"down at the bottom: nothing", 3, IDM_ENTRY_MOVE_DOWN, four, 3},
        {"no selection: nothing", -1, IDM_ENTRY_MOVE_DOWN, four, -1},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.label);
        showList(four, c.index);
        DeleteFileA(settingsPath().c_str());
        SendMessageA(window, WM_COMMAND, c.command, 0);
        EXPECT_EQ(c.after, shown());
        EXPECT_EQ(c.after, saved(1));
        EXPECT_EQ(c.selectedAfter, selected());
        bool moved = c.after != four;
        EXPECT_EQ(moved, fileExists(settingsPath()));
        if (moved) {
            EXPECT_EQ(c.selectedAfter, savedSettings().lists[0].listSelection);
        }
    }
}

TEST_F(ListTest, MovesDoNothingInASortedList)
{
    settings.sortEntries = 1;
    lists[0] = {"a", "b", "c"};
    ASSERT_NO_FATAL_FAILURE(openMainWindow());
    for (WORD command : {IDM_ENTRY_MOVE_UP, IDM_ENTRY_MOVE_DOWN}) {
        SCOPED_TRACE(command);
        SendMessageA(listBox(), LB_SETCURSEL, 1, 0);
        SendMessageA(window, WM_COMMAND, command, 0);
        EXPECT_EQ((Entries{"a", "b", "c"}), shown());
        EXPECT_EQ(1, selected());
    }
}

// ---- The context menu ----

struct MenuItemSeen {
    std::string text;
    UINT id;
    bool grayed;
};

std::vector<MenuItemSeen> itemsOf(HMENU menu)
{
    std::vector<MenuItemSeen> items;
    for (int i = 0; i < GetMenuItemCount(menu); i++) {
        char text[64] = "";
        GetMenuStringA(menu, (UINT)i, text, sizeof text, MF_BYPOSITION);
        UINT state = GetMenuState(menu, (UINT)i, MF_BYPOSITION);
        UINT id = GetMenuItemID(menu, i);
        items.push_back({(state & MF_SEPARATOR) ? "-" : text, (state & MF_SEPARATOR) ? 0 : id, (state & MF_GRAYED) != 0});
    }
    return items;
}

struct MenuCase {
    const char *label;
    int index;
    bool moveUp, moveDown, entryItems;
};

void checkMenu(HWND listBox, const MenuCase &c)
{
    SCOPED_TRACE(c.label);
    SendMessageA(listBox, LB_SETCURSEL, (WPARAM)c.index, 0);
    HMENU menu = BuildEntryMenu(listBox);
    ASSERT_NE(nullptr, menu);
    std::vector<MenuItemSeen> items = itemsOf(menu);
    DestroyMenu(menu);
    const struct {
        const char *text;
        UINT id;
        bool enabled;
    } expected[] = {
        {"&Copy", IDM_ENTRY_COPY, c.entryItems},
        {"&Edit...", IDM_ENTRY_EDIT, c.entryItems},
        {"&Remove...", IDM_ENTRY_REMOVE, c.entryItems},
        {"Move &Up", IDM_ENTRY_MOVE_UP, c.moveUp},
        {"Move &Down", IDM_ENTRY_MOVE_DOWN, c.moveDown},
        {"-", 0, true},
        {"&Import into This List...", IDM_LIST_IMPORT, true},
        {"E&xport This List...", IDM_LIST_EXPORT, true},
    };
    ASSERT_EQ(ARRAYSIZE(expected), items.size());
    for (size_t i = 0; i < items.size(); i++) {
        SCOPED_TRACE(expected[i].text);
        EXPECT_EQ(expected[i].text, items[i].text);
        EXPECT_EQ(expected[i].id, items[i].id);
        if (expected[i].id != 0) {
            EXPECT_EQ(!expected[i].enabled, items[i].grayed);
        }
    }
}

TEST_F(ListTest, ContextMenuGreysWhatCannotBeDoneInAnUnsortedList)
{
    ASSERT_NO_FATAL_FAILURE(openMainWindow());
    const MenuCase cases[] = {
        {"middle", 1, true, true, true},
        {"first", 0, false, true, true},
        {"last", 2, true, false, true},
        {"none selected", -1, false, false, false},
    };
    for (const MenuCase &c : cases)
        checkMenu(listBox(), c);
}

// The popup menu of a right click, closed from its own menu loop.
static void CALLBACK CloseMenu(HWND, UINT, UINT_PTR id, DWORD)
{
    KillTimer(NULL, id);
    EndMenu();
}

TEST_F(ListTest, ARightClickSelectsTheEntryUnderItAlsoPastTheSixteenBitIndexes)
{
    lists[0].clear();
    for (int i = 0; i < 70000; i++)
        lists[0].push_back("e" + std::to_string(i));
    ASSERT_NO_FATAL_FAILURE(openMainWindow());
    HWND list = listBox();
    ASSERT_EQ(70000, SendMessageA(list, LB_GETCOUNT, 0, 0));
    const struct {
        const char *label;
        int entry;
    } cases[] = {
        {"near the top", 100},
        {"the last 16-bit index", 65535},
        {"the first past it", 65536},
        {"further on", 68000},
        {"the last entry", 69999},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.label);
        SendMessageA(list, LB_SETCURSEL, 5, 0);
        SendMessageA(list, LB_SETTOPINDEX, (WPARAM)c.entry, 0);
        RECT item;
        ASSERT_NE(LB_ERR, SendMessageA(list, LB_GETITEMRECT, (WPARAM)c.entry, (LPARAM)&item));
        POINT at = {item.left + 4, (item.top + item.bottom) / 2};
        ClientToScreen(list, &at);
        SetTimer(NULL, 0, 200, CloseMenu);
        SendMessageA(window, WM_CONTEXTMENU, (WPARAM)list, MAKELPARAM(at.x, at.y));
        EXPECT_EQ(c.entry, (int)SendMessageA(list, LB_GETCURSEL, 0, 0));
    }
}

TEST_F(ListTest, ContextMenuGreysTheMovesInASortedList)
{
    settings.sortEntries = 1;
    ASSERT_NO_FATAL_FAILURE(openMainWindow());
    const MenuCase cases[] = {
        {"middle", 1, false, false, true},
        {"first", 0, false, false, true},
    };
    for (const MenuCase &c : cases)
        checkMenu(listBox(), c);
}

// ---- Export and import ----

struct TextFileTest : ListTest {
    std::string textPath(const char *name) { return scratch + "\\" + name; }
    int import(const std::string &path, std::string *message)
    {
        char text[ImportMessageSize];
        int added = ImportTextFile(window, path.c_str(), text, sizeof text);
        *message = text;
        return added;
    }
    int exportTo(const std::string &path, std::string *message)
    {
        char text[ImportMessageSize];
        int written = ExportTextFile(path.c_str(), text, sizeof text);
        *message = text;
        return written;
    }
};

std::string bytesText(const Bytes &bytes)
{
    return std::string(bytes.begin(), bytes.end());
}

TEST_F(TextFileTest, ExportThenImportGivesBackEveryEntryInOrder)
{
    ASSERT_EQ(1252u, GetACP());
    const Entries awkward = {
        "plain",
        "two\r\nlines",
        "line feed\nonly",
        "tab\there",
        "she said \"hi\"",
        "a, b, c",
        "  leading and trailing  ",
        "",
        "Gr\xFC\xDF" "e \x80 12 \x84\x93 \xFF",
        std::string(999, 'n'),
        std::string(ListEntryWriteLimit, 'w'),
        "last",
    };
    // The longest entry a list file holds is the longest one the program
    // writes back, so every entry comes back.
    lists[0] = awkward;
    ASSERT_NO_FATAL_FAILURE(openMainWindow());
    ASSERT_EQ(awkward, shown());

    std::string message;
    const std::string path = textPath("list.csv");
    ASSERT_EQ(1, exportTo(path, &message)) << message;
    EXPECT_EQ("Entries written: 12\n\n" + path, message);
    std::string file = bytesText(readFileBytes(path));
    const std::string start = "\xEF\xBB\xBFplain\r\n\"two\r\nlines\"\r\n\"line feed\nonly\"\r\n\"tab\there\"\r\n";
    EXPECT_EQ(start, file.substr(0, start.size()));
    EXPECT_NE(std::string::npos, file.find("\r\nGr\xC3\xBC\xC3\x9F" "e \xE2\x82\xAC 12 \xE2\x80\x9E\xE2\x80\x9C \xC3\xBF\r\n"));
    EXPECT_NE(std::string::npos, file.find("\r\n\"\"\r\n"));
    EXPECT_EQ("last\r\n", file.substr(file.size() - 6));

    showList({}, -1);
    ASSERT_EQ(12, import(path, &message));
    EXPECT_EQ("Entries added to the list: 12", message);
    EXPECT_EQ(awkward, shown());
    EXPECT_EQ(awkward, saved(1));
    EXPECT_EQ((size_t)SettingsFileSize, readFileBytes(settingsPath()).size());
}

TEST_F(TextFileTest, ImportAppendsAndASortedListSortsIt)
{
    settings.sortEntries = 1;
    lists[0] = {"bravo", "delta"};
    ASSERT_NO_FATAL_FAILURE(openMainWindow());
    const std::string path = textPath("add.txt");
    writeFileBytes(path, bytesOf("charlie\nalpha\n\n\"echo, foxtrot\"\n"));
    std::string message;
    EXPECT_EQ(3, import(path, &message));
    EXPECT_EQ("Entries added to the list: 3", message);
    const Entries after = {"alpha", "bravo", "charlie", "delta", "echo, foxtrot"};
    EXPECT_EQ(after, shown());
    EXPECT_EQ(after, saved(1));
}

std::string repeatedText(const char *piece, size_t times)
{
    std::string text;
    for (size_t i = 0; i < times; i++)
        text += piece;
    return text;
}

TEST_F(TextFileTest, EntriesTheListCannotHoldAreSkippedAndCounted)
{
    ASSERT_EQ(1252u, GetACP());
    lists[0] = {"kept"};
    ASSERT_NO_FATAL_FAILURE(openMainWindow());
    const std::string path = textPath("mixed.txt");
    std::string file = "\xEF\xBB\xBF"
                       "first\r\n"                       // 1
                       "\xE4\xB8\xAD\xE6\x96\x87\r\n"     // 2: Chinese, kept as Unicode
                       "Omega \xCE\xA9\r\n"               // 3: Greek, not its best fit
                       "\xE2\x80\x99quotes\xE2\x80\x99\r\n" // 4: in the code page
                       + std::string(ListEntryWriteLimit + 1, 'x') + "\r\n" // 5: too long
                       + std::string(ListEntryWriteLimit, 'y') + "\r\n"      // 6: just fits
                       "\"never closed\r\n"               // 7
                       "\xE2\x88\x9A root\r\n"            // 8
                       "\xF0\x9F\x98\x80\r\n"             // 9
                       + repeatedText("\xCE\xA9", ListEntryWriteLimit + 1) + "\r\n"; // 10: its ANSI form too long
    writeFileBytes(path, Bytes(file.begin(), file.end()));
    std::string message;
    EXPECT_EQ(7, import(path, &message));
    EXPECT_EQ("Entries added to the list: 7\n\n"
              "Entries skipped: 3\n"
              "line 5: longer than a list entry can be\n"
              "line 7: its quotes are not closed as they should be\n"
              "line 10: longer than a list entry can be\n",
              message);
    const std::vector<std::wstring> after = {L"kept", L"first", L"\u4E2D\u6587", L"Omega \u03A9", L"\u2019quotes\u2019",
                                             std::wstring(ListEntryWriteLimit, L'y'), L"\u221A root", L"\U0001F600"};
    std::vector<std::wstring> shownWide;
    for (int i = 0; i < (int)SendMessageW(listBox(), LB_GETCOUNT, 0, 0); i++) {
        static WCHAR text[ListEntryBufferSize];
        int units = ReadListEntryW(listBox(), i, text, ARRAYSIZE(text));
        shownWide.push_back(std::wstring(text, units > 0 ? (size_t)units : 0));
    }
    EXPECT_EQ(after, shownWide);
    EXPECT_EQ(after.size(), saved(1).size());
    EXPECT_EQ("\x92quotes\x92", saved(1)[4]) << "what the code page holds is written as it always was";
}

TEST_F(TextFileTest, AFileThatIsNotAListLeavesTheListAlone)
{
    lists[0] = {"one", "two"};
    ASSERT_NO_FATAL_FAILURE(openMainWindow());
    const struct {
        const char *label;
        const char *name;
        std::string bytes;  // "<none>": no file
        const char *message;
    } cases[] = {
        {"empty file", "empty.txt", "", "The file holds no entries, so nothing was imported:\n\n"},
        {"byte order mark only", "bom.txt", "\xEF\xBB\xBF", "The file holds no entries, so nothing was imported:\n\n"},
        {"blank lines only", "blank.txt", "\r\n\n\r\n", "The file holds no entries, so nothing was imported:\n\n"},
        {"binary", "picture.bmp", std::string("BM\x36\0\0\0\0\0\0\0\x36\0\0\0", 14),
         "The file is not a text file (it is not UTF-8 text, or it holds zero bytes), so nothing was imported:\n\n"},
        {"Latin-1 text", "latin1.txt", "Gr\xFC\xDF" "e\r\nna\xEFve\r\n",
         "The file is not a text file (it is not UTF-8 text, or it holds zero bytes), so nothing was imported:\n\n"},
        {"UTF-16 text", "utf16.txt", std::string("\xFF\xFEo\0k\0", 6),
         "The file is not a text file (it is not UTF-8 text, or it holds zero bytes), so nothing was imported:\n\n"},
        {"no such file", "missing.txt", "<none>", "The file could not be read, so nothing was imported:\n\n"},
    };
    const Bytes listBefore = readFileBytes(listPath(1));
    for (const auto &c : cases) {
        SCOPED_TRACE(c.label);
        std::string path = textPath(c.name);
        if (c.bytes != "<none>")
            writeFileBytes(path, Bytes(c.bytes.begin(), c.bytes.end()));
        std::string message;
        EXPECT_EQ(-1, import(path, &message));
        EXPECT_EQ(c.message + path, message);
        EXPECT_EQ((Entries{"one", "two"}), shown());
        EXPECT_EQ(listBefore, readFileBytes(listPath(1)));
    }
}

TEST_F(TextFileTest, ExportToAFolderThatIsNotThereSaysSoAndWritesNothing)
{
    ASSERT_NO_FATAL_FAILURE(openMainWindow());
    const std::string path = scratch + "\\no such folder\\list.txt";
    std::string message;
    EXPECT_EQ(0, exportTo(path, &message));
    EXPECT_EQ("The list could not be written to:\n\n" + path + "\n\nThat file was left as it was.", message);
    EXPECT_FALSE(fileExists(path));
}

TEST_F(TextFileTest, ExportReplacesAnOldFileWhole)
{
    lists[0] = {"new"};
    ASSERT_NO_FATAL_FAILURE(openMainWindow());
    const std::string path = textPath("old.txt");
    writeFileBytes(path, bytesOf("an old and much longer file\r\n"));
    std::string message;
    EXPECT_EQ(1, exportTo(path, &message));
    EXPECT_EQ("\xEF\xBB\xBFnew\r\n", bytesText(readFileBytes(path)));
    for (const std::string &name : folderEntries(scratch))
        EXPECT_TRUE(name == "old.txt" || name.find("old.txt") == std::string::npos) << name << " left behind";
}

// Files of the user's beside the chosen one whose names the export's
// temporary file could take are left as they are.
TEST_F(TextFileTest, ExportLeavesTheUsersFilesBesideItAlone)
{
    lists[0] = {"new"};
    ASSERT_NO_FATAL_FAILURE(openMainWindow());
    const std::string path = textPath("notes.txt");
    const Bytes mine = bytesOf("the user's own notes\r\n");
    writeFileBytes(path + ".tmp", mine);
    writeFileBytes(path + ".1.tmp", mine);
    std::string message;
    EXPECT_EQ(1, exportTo(path, &message));
    EXPECT_EQ("\xEF\xBB\xBFnew\r\n", bytesText(readFileBytes(path)));
    EXPECT_EQ(mine, readFileBytes(path + ".tmp"));
    EXPECT_EQ(mine, readFileBytes(path + ".1.tmp"));
    EXPECT_FALSE(fileExists(path + ".2.tmp"));
}

} // namespace
