// The string cache, loaded from this exe's own copy of the program's
// resources.
#include <windows.h>
#include <gtest/gtest.h>
#include <string.h>

#include "system/string_cache.h"
#include "res/resource.h"

struct StringCacheTest : ::testing::Test {
    void SetUp() override { ASSERT_EQ(1, LoadStringCache(GetModuleHandleA(NULL))); }
    void TearDown() override { FreeStringCache(); }
};

TEST_F(StringCacheTest, EveryFixedTextIsCachedExactly)
{
    static const struct {
        unsigned int id;
        const char *text;
    } cases[] = {
        {1, "Vombly"},
        {2, "Vombly - Clipboard Utility"},
        {3, "About"},
        {7, "Another copy of this program is already active !"},
        {8, "This program requires Windows XP or later !"},
        {9, "Add"},
        {10, "Remove"},
        {11, "You are about close and exit this application\n\nChoose Quit to proceed and exit"},
        {12, "Quit"},
        {13, "Enter text string in box:-"},
        {14, "Add String"},
        {15, "You are about to remove the string shown in the box below:-"},
        {16, "Remove String"},
        {17, "There was  no string selected for deletion !"},
        {18, "Error"},
        {19, "Settings"},
        {20, "Minimise after making selection"},
        {21, "Toggle List"},
        {22, "List 1: Home and Personal Items"},
        {23, "List 2: Office and Work Items"},
        {24, "List 3: Other Items"},
        {25, "Unknown"},
        {26, "Name of list 1"},
        {27, "Name of list 2"},
        {28, "Name of list 3"},
        {29, "Sort list entries alphabetically"},
        {30, "An option has changed that requires the program to be restarted.\n\nThe option will be applied next "
             "time the program starts."},
        {41, "An unspecified error has occurred !"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.id);
        ASSERT_NE(nullptr, GetString(c.id));
        EXPECT_STREQ(c.text, GetString(c.id));
    }
}

TEST_F(StringCacheTest, IdsWithoutTextAreEmptyNotNull)
{
    unsigned int ids[] = {0, 31, 32, 35, 40};
    for (unsigned int id : ids) {
        SCOPED_TRACE(id);
        ASSERT_NE(nullptr, GetString(id));
        EXPECT_STREQ("", GetString(id));
    }
}

TEST_F(StringCacheTest, OurOwnAboutLinesAreThere)
{
    for (unsigned int id = 4; id <= 6; id++) {
        SCOPED_TRACE(id);
        EXPECT_GT(strlen(GetString(id)), 0u);
    }
}

TEST_F(StringCacheTest, EndMarkerAndBeyondAreNotCached)
{
    // The marker is in the resources but never loaded.
    char marker[128];
    ASSERT_GT(LoadStringA(GetModuleHandleA(NULL), IDS_END_MARKER, marker, ARRAYSIZE(marker)), 0);
    EXPECT_STREQ("This string **MUST** always be the last string in this table !", marker);
    unsigned int ids[] = {42, 43, 1000, 0xFFFFFFFFu, (unsigned int)-1};
    for (unsigned int id : ids) {
        SCOPED_TRACE(id);
        EXPECT_EQ(nullptr, GetString(id));
    }
}

TEST_F(StringCacheTest, FreeingEmptiesTheCache)
{
    FreeStringCache();
    for (unsigned int id = 0; id <= 42; id++) {
        SCOPED_TRACE(id);
        EXPECT_EQ(nullptr, GetString(id));
    }
    // Loading again after a free fills it anew.
    ASSERT_EQ(1, LoadStringCache(GetModuleHandleA(NULL)));
    EXPECT_STREQ("Vombly", GetString(1));
}

TEST_F(StringCacheTest, TextsAreInTheUnitedKingdomEnglishTable)
{
    HRSRC block = FindResourceExA(GetModuleHandleA(NULL), RT_STRING, MAKEINTRESOURCEA(1),
                                  MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_UK));
    EXPECT_NE(nullptr, block);
}
