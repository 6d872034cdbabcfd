// Seeding of the per-user data folder from the default files beside the
// exe: missing files are copied, existing ones are never replaced.
#include <windows.h>
#include <gtest/gtest.h>
#include <string>

#include "app/paths.h"
#include "app/string_cache.h"
#include "tests/win/win_test_util.h"

static const char *const DefaultNames[] = {"Vombly.cfg", "Vombly1.dat", "Vombly2.dat", "Vombly3.dat"};

struct DataFolderTest : ::testing::Test {
    std::string scratch, defaults, appData, data;

    void SetUp() override
    {
        ASSERT_EQ(1, LoadStringCache(GetModuleHandleA(NULL)));
        scratch = makeScratchFolder(::testing::UnitTest::GetInstance()->current_test_info()->name());
        defaults = scratch + "\\start";
        appData = scratch + "\\appdata";
        data = appData + "\\Vombly\\";
        CreateDirectoryA(defaults.c_str(), NULL);
        CreateDirectoryA(appData.c_str(), NULL);
        for (const char *name : DefaultNames)
            writeFileBytes(defaults + "\\" + name, bytesOf((std::string("default ") + name).c_str()));
        ASSERT_EQ(1, SetStartupFolder(defaults.c_str()));
        ASSERT_EQ(1, SetAppDataFolder(appData.c_str()));
    }
    void TearDown() override
    {
        removeTree(scratch);
        FreeStringCache();
    }
};

TEST_F(DataFolderTest, FirstStartCreatesTheFolderAndCopiesAllFour)
{
    ASSERT_EQ(1, PrepareDataFolder());
    EXPECT_STREQ(data.c_str(), DataFolder());
    EXPECT_STREQ((data + "Vombly.cfg").c_str(), SettingsFilePath());
    for (const char *name : DefaultNames) {
        SCOPED_TRACE(name);
        EXPECT_EQ(readFileBytes(defaults + "\\" + name), readFileBytes(data + name));
    }
    EXPECT_EQ(4u, folderEntries(data.substr(0, data.size() - 1)).size());
}

TEST_F(DataFolderTest, LaterStartsReplaceNothing)
{
    ASSERT_EQ(1, PrepareDataFolder());
    for (const char *name : DefaultNames)
        writeFileBytes(data + name, bytesOf((std::string("user's ") + name).c_str()));
    ASSERT_EQ(1, PrepareDataFolder());
    for (const char *name : DefaultNames) {
        SCOPED_TRACE(name);
        EXPECT_EQ(bytesOf((std::string("user's ") + name).c_str()), readFileBytes(data + name));
    }
}

TEST_F(DataFolderTest, ADeletedFileIsCopiedAgainAlone)
{
    ASSERT_EQ(1, PrepareDataFolder());
    for (const char *name : DefaultNames)
        writeFileBytes(data + name, bytesOf("user's"));
    DeleteFileA((data + "Vombly2.dat").c_str());
    ASSERT_EQ(1, PrepareDataFolder());
    for (const char *name : DefaultNames) {
        SCOPED_TRACE(name);
        Bytes expected = strcmp(name, "Vombly2.dat") == 0 ? readFileBytes(defaults + "\\" + name) : bytesOf("user's");
        EXPECT_EQ(expected, readFileBytes(data + name));
    }
}

TEST_F(DataFolderTest, AMissingDefaultFailsEvenWhereTheDataFolderHasIt)
{
    for (const char *missing : DefaultNames) {
        SCOPED_TRACE(missing);
        ASSERT_EQ(1, PrepareDataFolder());
        DeleteFileA((defaults + "\\" + missing).c_str());
        EXPECT_EQ(0, PrepareDataFolder());
        writeFileBytes(defaults + "\\" + missing, bytesOf("restored"));
    }
}

TEST_F(DataFolderTest, AFailedStartIsCompletedByTheNextOne)
{
    DeleteFileA((defaults + "\\Vombly2.dat").c_str());
    EXPECT_EQ(0, PrepareDataFolder());
    // Lists after the failing one were not tried.
    EXPECT_TRUE(fileExists(data + "Vombly1.dat"));
    EXPECT_FALSE(fileExists(data + "Vombly3.dat"));
    writeFileBytes(defaults + "\\Vombly2.dat", bytesOf("default Vombly2.dat"));
    ASSERT_EQ(1, PrepareDataFolder());
    for (const char *name : DefaultNames)
        EXPECT_TRUE(fileExists(data + name)) << name;
}

TEST_F(DataFolderTest, SeedingGoesThroughTemporaryFilesAndLeavesNone)
{
    // A start that crashed while seeding left a cut-short temporary copy.
    CreateDirectoryA(data.c_str(), NULL);
    writeFileBytes(data + "Vombly1.dat.tmp", bytesOf("cut"));
    ASSERT_EQ(1, PrepareDataFolder());
    EXPECT_EQ(readFileBytes(defaults + "\\Vombly1.dat"), readFileBytes(data + "Vombly1.dat"));
    EXPECT_EQ((std::vector<std::string>{"Vombly.cfg", "Vombly1.dat", "Vombly2.dat", "Vombly3.dat"}),
              folderEntries(data.substr(0, data.size() - 1)));
}

TEST_F(DataFolderTest, NoApplicationDataFolderFails)
{
    ASSERT_EQ(1, SetAppDataFolder(""));
    EXPECT_EQ(0, PrepareDataFolder());
}

TEST_F(DataFolderTest, AFolderWhoseFilesWouldNotFitIsRefused)
{
    // Deep enough that the folder fits but its longest file path does not.
    std::string deep = appData;
    while (deep.size() < 236)
        deep += "\\dddddddddd";
    deep = deep.substr(0, 236);
    ASSERT_EQ(1, SetAppDataFolder(deep.c_str()));
    EXPECT_EQ(0, PrepareDataFolder());
    EXPECT_FALSE(pathExists(deep + "\\Vombly"));

    std::string tooDeep = appData + "\\" + std::string(254 - appData.size(), 'e');
    ASSERT_EQ(1, SetAppDataFolder(tooDeep.c_str()));
    EXPECT_EQ(nullptr, DataFolder());
    EXPECT_EQ(nullptr, SettingsFilePath());
    EXPECT_EQ(0, PrepareDataFolder());
}
