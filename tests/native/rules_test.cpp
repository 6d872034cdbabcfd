// The rules the program follows without a window: the "/SM" switch, the
// version test, centring, path texts, the list toggle and the selection
// after a removal.
#include <gtest/gtest.h>
#include <string.h>
#include <string>

#include "core/rules.h"
#include "core/startup.h"

namespace {

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

    // No directory at all leaves no folder either.
    EXPECT_EQ(1, SetStartupFolder("C:\\"));
    EXPECT_EQ(0, SetStartupFolder(NULL));
    EXPECT_STREQ("", GetStartupFolder());
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

TEST(FormatPath, FillsTheBufferOrLeavesItEmpty)
{
    // "ab\cd.tmp" takes 9 characters and its zero.
    static const struct {
        size_t size;
        int fits;
        const char *text;
    } cases[] = {{1, 0, ""}, {9, 0, ""}, {10, 1, "ab\\cd.tmp"}, {64, 1, "ab\\cd.tmp"}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.size);
        char buffer[65];
        memset(buffer, 'X', sizeof buffer);
        EXPECT_EQ(c.fits, FormatPath(buffer, c.size, "%s\\%s%s", "ab", "cd", ".tmp"));
        EXPECT_STREQ(c.text, buffer);
        EXPECT_EQ('X', buffer[c.size]) << "written past the buffer";
    }
    // A buffer of no bytes is left alone.
    char untouched = 'X';
    EXPECT_EQ(0, FormatPath(&untouched, 0, "%s", "a"));
    EXPECT_EQ('X', untouched);
}

TEST(TempPath, AddsTheSuffixOrRefuses)
{
    char buffer[PathBufferSize];
    EXPECT_EQ(1, TempPathFor(buffer, sizeof buffer, "C:\\data\\Vombly.cfg"));
    EXPECT_STREQ("C:\\data\\Vombly.cfg.tmp", buffer);

    // A path that fits only without its suffix is refused.
    std::string longest(PathBufferSize - 1 - strlen(TempPathSuffix), 'p');
    EXPECT_EQ(1, TempPathFor(buffer, sizeof buffer, longest.c_str()));
    EXPECT_EQ(longest + TempPathSuffix, buffer);
    longest += 'p';
    EXPECT_EQ(0, TempPathFor(buffer, sizeof buffer, longest.c_str()));
    EXPECT_STREQ("", buffer);
}

TEST(ListToggle, GoesRoundOneTwoThreeAndMendsAnythingElse)
{
    static const struct {
        uint32_t current, next;
    } cases[] = {{1, 2}, {2, 3}, {3, 1}, {0, 1}, {4, 1}, {0x80000000u, 1}, {0xFFFFFFFFu, 1}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.current);
        EXPECT_EQ(c.next, NextList(c.current));
    }
}

TEST(Removal, SelectsTheEntryBeforeOrTheFirst)
{
    static const struct {
        int removed, selected;
    } cases[] = {{0, 0}, {1, 0}, {2, 1}, {998, 997}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.removed);
        EXPECT_EQ(c.selected, SelectionAfterRemoval(c.removed));
    }
}

} // namespace
