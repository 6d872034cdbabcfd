// The tests' one way to start a process: which failures are Wine's own
// start failures, started again, and which belong to the program started.
#include <gtest/gtest.h>

#include <windows.h>

#include "tests/common/win_ui.h"

namespace {

TEST(StartProcess, OnlyWinesOwnStartFailuresAreStartedAgain)
{
    const struct Case {
        const char *name;
        bool created;
        DWORD error;
        bool ended;
        DWORD exitCode;
        bool wines;
    } cases[] = {
        {"the child died before it had started", false, ERROR_INTERNAL_ERROR, false, 0, true},
        {"no such program", false, ERROR_FILE_NOT_FOUND, false, 0, false},
        {"no such folder", false, ERROR_PATH_NOT_FOUND, false, 0, false},
        {"refused", false, ERROR_ACCESS_DENIED, false, 0, false},
        {"not a program", false, ERROR_BAD_EXE_FORMAT, false, 0, false},
        {"still running", true, 0, false, STILL_ACTIVE, false},
        {"a second copy that ends at once", true, 0, true, 0, false},
        {"a setup that refuses", true, 0, true, 2, false},
        {"its addresses taken", true, 0, true, 0xC0000018u, true},
        {"no memory for its addresses", true, 0, true, 0xC0000017u, true},
        {"a crash of the program", true, 0, true, 0xC0000005u, false},
        {"a killed program", true, 0, true, 9, false},
        // An error code left over from a start that went well says nothing.
        {"started, with a stale error", true, ERROR_INTERNAL_ERROR, false, STILL_ACTIVE, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const char *reason = wineStartFailure(c.created, c.error, c.ended, c.exitCode);
        EXPECT_EQ(c.wines, reason != NULL) << (reason != NULL ? reason : "");
    }
}

TEST(StartProcess, TheLogNamesTheProgramStarted)
{
    const struct Case {
        const char *commandLine;
        const char *program;
    } cases[] = {
        {"notepad.exe", "notepad.exe"},
        {"notepad.exe file.txt", "notepad.exe"},
        {"\"C:\\Program Files\\Vombly\\Vombly.exe\" /SM", "C:\\Program Files\\Vombly\\Vombly.exe"},
        {"\"C:\\a b\\uninstall.exe\"", "C:\\a b\\uninstall.exe"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(c.program, programOf(c.commandLine)) << c.commandLine;
}

// A program that is not there fails once, with its own error.
TEST(StartProcess, AMissingProgramFailsWithItsOwnError)
{
    PROCESS_INFORMATION started = {};
    EXPECT_FALSE(startProcess("\"C:\\no such folder\\none.exe\" /S", NULL, &started));
    DWORD error = GetLastError();
    EXPECT_TRUE(error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) << error;
    EXPECT_EQ(nullptr, started.hProcess);
}

} // namespace
