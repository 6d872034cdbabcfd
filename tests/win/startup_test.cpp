// What the program decides at start before its window exists: the "/SM"
// switch, the start-up folder, the version test and the centring offsets.
#include <windows.h>
#include <gtest/gtest.h>
#include <string>

#include "app/paths.h"
#include "app/startup.h"

TEST(CommandLine, OnlyTheWholeSwitchKeepsTheWindowShown)
{
    static const struct {
        const char *commandLine;
        int showAtStart;
    } cases[] = {
        {"/SM", 1}, {"/sm", 1}, {"/Sm", 1}, {"/SM ", 0}, {" /SM", 0}, {"/SMx", 0},
        {"/S", 0},  {"", 0},    {"SM", 0},  {"/SM /SM", 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string("\"") + c.commandLine + "\"");
        ReadCommandLine(c.commandLine);
        EXPECT_EQ(c.showAtStart, GetShowAtStart());
    }
    ReadCommandLine(NULL);
    EXPECT_EQ(0, GetShowAtStart());
}

TEST(StartupFolder, EndsInExactlyOneBackslash)
{
    static const struct {
        const char *directory;
        const char *folder;
    } cases[] = {
        {"C:\\", "C:\\"},
        {"C:\\Tools", "C:\\Tools\\"},
        {"Z:\\work\\run", "Z:\\work\\run\\"},
        {"\\\\server\\share\\", "\\\\server\\share\\"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.directory);
        EXPECT_EQ(1, SetStartupFolder(c.directory));
        EXPECT_STREQ(c.folder, GetStartupFolder());
    }
}

TEST(StartupFolder, APathThatWouldNotFitIsRefusedNotCut)
{
    // 259 characters and the added backslash fill the 261-byte buffer.
    std::string fits = "C:\\" + std::string(256, 'a');
    EXPECT_EQ(1, SetStartupFolder(fits.c_str()));
    EXPECT_EQ(fits + "\\", GetStartupFolder());

    std::string tooLong = "C:\\" + std::string(257, 'a');
    EXPECT_EQ(0, SetStartupFolder(tooLong.c_str()));
    EXPECT_STREQ("", GetStartupFolder());
}

TEST(StartupFolder, IsReadFromTheCurrentDirectory)
{
    char previous[MAX_PATH];
    GetCurrentDirectoryA(ARRAYSIZE(previous), previous);
    ASSERT_TRUE(SetCurrentDirectoryA("C:\\windows"));
    EXPECT_EQ(1, ReadStartupFolder());
    EXPECT_STREQ("C:\\windows\\", GetStartupFolder());
    SetCurrentDirectoryA(previous);
}

TEST(WindowsVersion, XpAndLaterAreSupported)
{
    static const struct {
        unsigned long major, minor;
        int supported;
    } cases[] = {
        {4, 0, 0}, {4, 90, 0}, {5, 0, 0}, {5, 1, 1}, {5, 2, 1}, {6, 0, 1}, {6, 1, 1}, {6, 3, 1}, {10, 0, 1},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::to_string(c.major) + "." + std::to_string(c.minor));
        EXPECT_EQ(c.supported, VersionIsSupported(c.major, c.minor));
    }
}

TEST(Centring, OffsetsTruncateTowardZero)
{
    static const struct {
        int outer, inner, offset;
    } cases[] = {
        {1024, 590, 217}, {768, 450, 159}, {585, 590, -2}, {590, 590, 0}, {0, 590, -295}, {595, 590, 2},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::to_string(c.outer) + " - " + std::to_string(c.inner));
        EXPECT_EQ(c.offset, CentreOffset(c.outer, c.inner));
    }
}
