// The data folder's lock: one holder at a time, let go with the handle, and
// a folder that takes no lock never stops the start.
#include <windows.h>
#include <gtest/gtest.h>
#include <string>

#include "system/folder_lock.h"
#include "tests/win/win_test_util.h"

namespace {

typedef ProgramFixture FolderLockTest;

// The system's locks belong to an open file, not to a process, so a second
// handle in this process meets the first one's lock just as another
// session's copy would.
TEST_F(FolderLockTest, HeldOnceAtATimeAndFreeOnceLetGo)
{
    // A lock file left by an earlier run that ended holds nothing.
    writeFileBytes(dataFolder + "Vombly.lock", bytesOf("left by a crash"));
    HANDLE first = NULL, second = NULL;
    ASSERT_EQ(1, HoldDataFolder(dataFolder.c_str(), 0, &first));
    ASSERT_NE(nullptr, first);

    EXPECT_EQ(0, HoldDataFolder(dataFolder.c_str(), 100, &second));
    EXPECT_EQ(nullptr, second);

    CloseHandle(first);
    EXPECT_EQ(1, HoldDataFolder(dataFolder.c_str(), 0, &second));
    EXPECT_NE(nullptr, second);
    EXPECT_EQ((std::vector<std::string>{"Vombly.lock"}), folderEntries(scratch + "\\Vombly"));
    CloseHandle(second);
}

DWORD WINAPI LetGoLater(void *handle)
{
    Sleep(300);
    CloseHandle((HANDLE)handle);
    return 0;
}

// A copy that was just ended may hold the lock a moment longer; the next
// start waits for it instead of refusing.
TEST_F(FolderLockTest, WaitsForAHolderThatIsLettingGo)
{
    HANDLE first = NULL, second = NULL;
    ASSERT_EQ(1, HoldDataFolder(dataFolder.c_str(), 0, &first));
    ASSERT_NE(nullptr, first);
    HANDLE thread = CreateThread(NULL, 0, LetGoLater, first, 0, NULL);
    ASSERT_NE(nullptr, thread);
    EXPECT_EQ(1, HoldDataFolder(dataFolder.c_str(), 10000, &second));
    EXPECT_NE(nullptr, second);
    WaitForSingleObject(thread, 10000);
    CloseHandle(thread);
    CloseHandle(second);
}

enum LockTrouble { NoSuchFolder, LockFileIsAFolder, NoFolderAtAll };

// Nothing can be locked: the start goes on as it would without a lock, and
// the saves tell their own failures.
TEST_F(FolderLockTest, AFolderThatTakesNoLockLetsTheStartGoOn)
{
    const struct {
        const char *name;
        LockTrouble trouble;
    } cases[] = {
        {"no such folder", NoSuchFolder},
        {"the lock file's name taken by a folder", LockFileIsAFolder},
        {"no data folder at all", NoFolderAtAll},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        std::string folder = scratch + "\\" + std::to_string((int)c.trouble) + "\\";
        ASSERT_TRUE(CreateDirectoryA(folder.c_str(), NULL));
        std::string lockFile = folder + "Vombly.lock";
        const char *given = folder.c_str();
        switch (c.trouble) {
        case NoSuchFolder:
            folder += "missing\\";
            given = folder.c_str();
            break;
        case LockFileIsAFolder:
            ASSERT_TRUE(CreateDirectoryA(lockFile.c_str(), NULL));
            break;
        case NoFolderAtAll:
            given = NULL;
            break;
        }
        HANDLE held = INVALID_HANDLE_VALUE;
        EXPECT_EQ(1, HoldDataFolder(given, 100, &held));
        EXPECT_EQ(nullptr, held);
        if (held != NULL && held != INVALID_HANDLE_VALUE)
            CloseHandle(held);
    }
}

} // namespace
