// The start-up folder as the program reads it from the current directory;
// the window-free start-up rules are tested natively (tests/native).
#include <windows.h>
#include <gtest/gtest.h>

#include "system/paths.h"

TEST(StartupFolder, IsReadFromTheCurrentDirectory)
{
    char previous[MAX_PATH];
    GetCurrentDirectoryA(ARRAYSIZE(previous), previous);
    ASSERT_TRUE(SetCurrentDirectoryA("C:\\windows"));
    EXPECT_EQ(1, ReadStartupFolder());
    EXPECT_STREQ("C:\\windows\\", GetStartupFolder());
    SetCurrentDirectoryA(previous);
}
