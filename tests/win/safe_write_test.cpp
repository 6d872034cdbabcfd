// Crash-safe saving: whatever step of a save fails, the old file stays
// whole and no temporary file is left behind.
#include <windows.h>
#include <gtest/gtest.h>
#include <string>

#include "system/window_slots.h"
#include "res/resource.h"
#include "view/lists.h"
#include "store/safe_write.h"
#include "store/settings.h"
#include "view/save_settings.h"
#include "tests/win/main_window_util.h"
#include "tests/win/win_test_util.h"

struct SafeWriteTest : ProgramFixture {
    // A failed save of the settings or a list is told in a message box (see
    // failed_saves_test.cpp); here it is only answered.
    DialogDriver boxes;
    void SetUp() override
    {
        ProgramFixture::SetUp();
        startBoxAnswerer(&boxes, "Vombly", IDOK);
    }
    void TearDown() override
    {
        finishDialogDriver(&boxes);
        SetSafeWriteFaultStep(0);
        ProgramFixture::TearDown();
    }
    std::vector<std::string> leftovers()
    {
        std::vector<std::string> names = folderEntries(dataFolder.substr(0, dataFolder.size() - 1));
        std::vector<std::string> temporary;
        for (const auto &name : names)
            if (name.find(".tmp") != std::string::npos)
                temporary.push_back(name);
        return temporary;
    }
};

TEST_F(SafeWriteTest, EveryFailingStepKeepsTheOldFile)
{
    std::string path = dataFolder + "file.bin";
    writeFileBytes(path, bytesOf("old contents"));
    Bytes fresh = bytesOf("new contents, longer than the old");

    // open, three writes, flush, commit, close and replace.
    const int steps = 8;
    for (int step = 1; step <= steps; step++) {
        SCOPED_TRACE(step);
        SetSafeWriteFaultStep(step);
        SafeWrite write;
        if (BeginSafeWrite(&write, path.c_str())) {
            SafeWriteBytes(&write, fresh.data(), 10);
            SafeWriteBytes(&write, fresh.data() + 10, 10);
            SafeWriteBytes(&write, fresh.data() + 20, fresh.size() - 20);
            EXPECT_EQ(0, CommitSafeWrite(&write));
        }
        EXPECT_EQ(bytesOf("old contents"), readFileBytes(path));
        EXPECT_EQ(std::vector<std::string>{}, leftovers());
    }
    // With no fault left the same save goes through.
    SetSafeWriteFaultStep(0);
    EXPECT_EQ(1, WriteWholeFile(path.c_str(), fresh.data(), fresh.size()));
    EXPECT_EQ(fresh, readFileBytes(path));
    EXPECT_EQ(std::vector<std::string>{}, leftovers());
}

TEST_F(SafeWriteTest, SettingsSurviveAFailureAtEveryStep)
{
    SetListName(1, "old name");
    ASSERT_EQ(1, SaveSettings());
    Bytes old = readFileBytes(dataFolder + "Vombly.cfg");
    SetListName(1, "new name");
    // open, the record, flush, commit, close, replace.
    for (int step = 1; step <= 6; step++) {
        SCOPED_TRACE(step);
        SetSafeWriteFaultStep(step);
        EXPECT_EQ(0, SaveSettings());
        EXPECT_EQ(old, readFileBytes(dataFolder + "Vombly.cfg"));
        EXPECT_EQ(std::vector<std::string>{}, leftovers());
    }
    SetSafeWriteFaultStep(0);
    EXPECT_EQ(1, SaveSettings());
    SettingsRecord saved = *GetSettingsRecord();
    ASSERT_EQ(1, LoadSettings());
    EXPECT_STREQ("new name", GetListName(1));
    EXPECT_EQ(0, memcmp(&saved, GetSettingsRecord(), sizeof saved));
}

TEST_F(SafeWriteTest, ListSurvivesAFailureAtEveryStep)
{
    HWND listBox = CreateWindowExA(0, "listbox", NULL, WS_POPUP, 0, 0, 100, 100, NULL, NULL, NULL, NULL);
    WindowSlot(1, IDC_LISTBOX, listBox);
    SetActiveList(1);
    SendMessageA(listBox, LB_ADDSTRING, 0, (LPARAM) "kept");
    SaveListCommand(NULL, NULL, WM_COMMAND, CMD_SAVE_LIST, 0);
    std::string path = dataFolder + "Vombly1.dat";
    Bytes old = readFileBytes(path);
    ASSERT_EQ(8u, old.size());

    for (const char *text : {"two", "three"})
        SendMessageA(listBox, LB_ADDSTRING, 0, (LPARAM)text);
    // open, three records, flush, commit, close, replace.
    for (int step = 1; step <= 8; step++) {
        SCOPED_TRACE(step);
        SetSafeWriteFaultStep(step);
        SaveListCommand(NULL, NULL, WM_COMMAND, CMD_SAVE_LIST, 0);
        EXPECT_EQ(old, readFileBytes(path));
        EXPECT_EQ(std::vector<std::string>{}, leftovers());
    }
    SetSafeWriteFaultStep(0);
    SaveListCommand(NULL, NULL, WM_COMMAND, CMD_SAVE_LIST, 0);
    EXPECT_EQ(4u + 4 + 4 + 3 + 4 + 5, readFileBytes(path).size());
    WindowSlot(1, IDC_LISTBOX, NULL);
    DestroyWindow(listBox);
}

TEST_F(SafeWriteTest, AReplaceBlockedForAMomentIsRetried)
{
    std::string path = dataFolder + "file.bin";
    writeFileBytes(path, bytesOf("old"));
    // Another program (a virus scanner, say) has the file open for a moment.
    HANDLE held = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    HANDLE releaser = CreateThread(NULL, 0, [](LPVOID handle) WINAPI -> DWORD {
        Sleep(60);
        CloseHandle((HANDLE)handle);
        return 0;
    }, held, 0, NULL);
    Bytes fresh = bytesOf("new");
    EXPECT_EQ(1, WriteWholeFile(path.c_str(), fresh.data(), fresh.size()));
    WaitForSingleObject(releaser, 5000);
    CloseHandle(releaser);
    EXPECT_EQ(fresh, readFileBytes(path));
}

TEST_F(SafeWriteTest, AReplaceBlockedForGoodFailsCleanly)
{
    std::string path = dataFolder + "file.bin";
    writeFileBytes(path, bytesOf("old"));
    HANDLE held = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    Bytes fresh = bytesOf("new");
    EXPECT_EQ(0, WriteWholeFile(path.c_str(), fresh.data(), fresh.size()));
    CloseHandle(held);
    EXPECT_EQ(bytesOf("old"), readFileBytes(path));
    EXPECT_EQ(std::vector<std::string>{}, leftovers());
    EXPECT_EQ(0, WriteWholeFile(NULL, fresh.data(), fresh.size()));
}
