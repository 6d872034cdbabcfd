// The settings record as the program keeps it: accessors, and the settings
// file read at start and written after every change.
#include <windows.h>
#include <gtest/gtest.h>
#include <string.h>

#include "system/paths.h"
#include "system/window_slots.h"
#include "res/resource.h"
#include "store/settings.h"
#include "view/save_settings.h"
#include "tests/win/main_window_util.h"
#include "tests/win/win_test_util.h"

struct SettingsFileTest : ProgramFixture {
    std::string path() { return dataFolder + "Vombly.cfg"; }
};

TEST_F(SettingsFileTest, WithoutAFileTheRecordStaysAllZero)
{
    EXPECT_EQ(0, LoadSettings());
    SettingsRecord zero = {};
    EXPECT_EQ(0, memcmp(&zero, GetSettingsRecord(), sizeof zero));
    EXPECT_EQ(0u, GetActiveList());
    EXPECT_STREQ("Unknown", GetListName(0));
    EXPECT_STREQ("", GetListName(1));
    EXPECT_EQ(0, GetActiveListSelection());
    SetActiveListSelection(5);
    EXPECT_EQ(0, memcmp(&zero, GetSettingsRecord(), sizeof zero));
}

TEST_F(SettingsFileTest, AccessorsReachTheActiveListOnly)
{
    static const struct {
        uint32_t activeList;
        const char *name;
        int32_t selection;
    } cases[] = {{1, "first", 4}, {2, "second", -1}, {3, "third", 9}, {0, "Unknown", 0}, {7, "Unknown", 0},
                 {0xFFFFFFFFu, "Unknown", 0}};
    SetListName(1, "first");
    SetListName(2, "second");
    SetListName(3, "third");
    SetListName(4, "ignored");
    SetListName(0, "ignored");
    for (const auto &c : cases) {
        SCOPED_TRACE(c.activeList);
        SetActiveList(c.activeList);
        SetActiveListSelection(c.selection);
        EXPECT_EQ(c.activeList, GetActiveList());
        EXPECT_EQ(c.selection, GetActiveListSelection());
        EXPECT_STREQ(c.name, GetListName((int32_t)c.activeList));
    }
    // Names are read in place, so they show later changes.
    const char *name = GetListName(2);
    SetListName(2, "renamed");
    EXPECT_STREQ("renamed", name);
    // A name that would not fit its field is cut to 63 characters.
    SetListName(3, std::string(80, 'n').c_str());
    EXPECT_EQ(std::string(63, 'n'), GetListName(3));
}

TEST_F(SettingsFileTest, SaveThenLoadGivesTheRecordAsSaved)
{
    SetSortEntries(1);
    SetMinimiseAfterSelection(2);
    SetActiveList(7);
    SetListName(1, "Home");
    SetListName(3, "");
    GetSettingsRecord()->lists[1].listSelection = -1;
    GetSettingsRecord()->reservedHead = 0xDEADBEEF;
    memset(GetSettingsRecord()->reservedTail, 0xA5, sizeof GetSettingsRecord()->reservedTail);
    ASSERT_EQ(1, SaveSettings());
    // The save sets reservedHead to 0 before it writes.
    EXPECT_EQ(0u, GetSettingsRecord()->reservedHead);
    SettingsRecord saved = *GetSettingsRecord();
    EXPECT_EQ((size_t)SettingsFileSize, readFileBytes(path()).size());

    *GetSettingsRecord() = SettingsRecord{};
    ASSERT_EQ(1, LoadSettings());
    EXPECT_EQ(0, memcmp(&saved, GetSettingsRecord(), sizeof saved));
    EXPECT_EQ(7u, GetActiveList());
    EXPECT_EQ(-1, GetSettingsRecord()->lists[1].listSelection);
}

TEST_F(SettingsFileTest, SaveRecordsTheListBoxSelection)
{
    HWND listBox = CreateWindowExA(0, "listbox", NULL, WS_POPUP | LBS_NOTIFY, 0, 0, 100, 100, NULL, NULL,
                                   GetModuleHandleA(NULL), NULL);
    ASSERT_NE(nullptr, listBox);
    WindowSlot(1, IDC_LISTBOX, listBox);
    for (const char *text : {"a", "b", "c"})
        SendMessageA(listBox, LB_ADDSTRING, 0, (LPARAM)text);
    SetActiveList(2);

    SendMessageA(listBox, LB_SETCURSEL, 2, 0);
    SaveSettings();
    EXPECT_EQ(2, GetActiveListSelection());
    SendMessageA(listBox, LB_SETCURSEL, (WPARAM)-1, 0);
    SetActiveListSelection(1);
    SaveSettings();
    EXPECT_EQ(-1, GetActiveListSelection());

    *GetSettingsRecord() = SettingsRecord{};
    ASSERT_EQ(1, LoadSettings());
    EXPECT_EQ(-1, GetActiveListSelection());
    WindowSlot(1, IDC_LISTBOX, NULL);
    DestroyWindow(listBox);
}

TEST_F(SettingsFileTest, DamagedOrShortFilesLeaveTheRecordAlone)
{
    SetListName(1, "kept");
    ASSERT_EQ(1, SaveSettings());
    Bytes valid = readFileBytes(path());
    SetListName(1, "in memory");

    Bytes flipped = valid;
    flipped[100] ^= 0x01;
    Bytes longer = valid;
    longer.insert(longer.end(), {1, 2, 3});
    static const struct {
        const char *label;
        Bytes bytes;
        int accepted;
    } cases[] = {
        {"empty", Bytes(), 0},
        {"1249 bytes", Bytes(valid.begin(), valid.end() - 1), 0},
        {"one byte changed", flipped, 0},
        {"longer than 1250", longer, 1},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.label);
        SetListName(1, "in memory");
        writeFileBytes(path(), c.bytes);
        EXPECT_EQ(c.accepted, LoadSettings());
        EXPECT_STREQ(c.accepted ? "kept" : "in memory", GetListName(1));
    }
}

TEST_F(SettingsFileTest, AFailedSaveKeepsTheOldFile)
{
    SetListName(1, "old");
    ASSERT_EQ(1, SaveSettings());
    Bytes old = readFileBytes(path());
    // Another program holds the settings file open and won't let it go.
    HANDLE held = CreateFileA(path().c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    SetListName(1, "new");
    DialogDriver boxes;
    startBoxAnswerer(&boxes, "Vombly", IDOK);
    EXPECT_EQ(0, SaveSettings());
    finishDialogDriver(&boxes);
    EXPECT_EQ(1, boxes.seen);
    CloseHandle(held);
    EXPECT_EQ(old, readFileBytes(path()));
    EXPECT_FALSE(fileExists(path() + ".tmp"));
}

// The start's save writes only when the file would change: an unchanged
// file keeps its write time, a different, longer or missing one is written.
TEST_F(SettingsFileTest, TheStartSaveWritesOnlyAFileThatWouldChange)
{
    struct Case {
        const char *label;
        const char *nameAfter;   // list 1's name once the file is on disk
        bool longer;              // one stray byte after the record
        bool missing;
        bool written;
    } cases[] = {
        {"unchanged", "Home", false, false, false},
        {"name changed", "Work", false, false, true},
        {"a byte longer", "Home", true, false, true},
        {"no file", "Home", false, true, true},
    };
    const FILETIME old = {0x2AC18000u, 0x01C0E8A0u};   // a day in 2001
    for (const Case &c : cases) {
        SCOPED_TRACE(c.label);
        SetListName(1, "Home");
        ASSERT_EQ(1, SaveSettings());
        Bytes saved = readFileBytes(path());
        if (c.longer) {
            Bytes longer = saved;
            longer.push_back(0);
            writeFileBytes(path(), longer);
        }
        if (c.missing)
            ASSERT_TRUE(DeleteFileA(path().c_str()));
        else {
            HANDLE file = CreateFileA(path().c_str(), FILE_WRITE_ATTRIBUTES, 0, NULL, OPEN_EXISTING, 0, NULL);
            ASSERT_NE(INVALID_HANDLE_VALUE, file);
            ASSERT_TRUE(SetFileTime(file, NULL, NULL, &old));
            CloseHandle(file);
        }
        SetListName(1, c.nameAfter);

        EXPECT_EQ(1, SaveSettingsAtStart());
        WIN32_FILE_ATTRIBUTE_DATA data = {};
        ASSERT_TRUE(GetFileAttributesExA(path().c_str(), GetFileExInfoStandard, &data));
        bool kept = CompareFileTime(&data.ftLastWriteTime, &old) == 0;
        EXPECT_EQ(!c.written, kept);
        Bytes now = readFileBytes(path());
        EXPECT_EQ((size_t)SettingsFileSize, now.size());
        *GetSettingsRecord() = SettingsRecord{};
        ASSERT_EQ(1, LoadSettings());
        EXPECT_STREQ(c.nameAfter, GetListName(1));
    }
}
