// Seeding of the per-user data folder from the default files beside the
// exe: missing files are copied, existing ones are never replaced.
#include <windows.h>
#include <gtest/gtest.h>
#include <string.h>
#include <string>

#include "system/paths.h"
#include "system/string_cache.h"
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

// Creates every folder along `path`.
static void createFolders(const std::string &path)
{
    for (size_t at = path.find('\\', 3); at != std::string::npos; at = path.find('\\', at + 1))
        CreateDirectoryA(path.substr(0, at).c_str(), NULL);
    CreateDirectoryA(path.c_str(), NULL);
}

TEST_F(DataFolderTest, TheLongestFileWrittenDecidesWhetherAFolderFits)
{
    // <folder>\Vombly\Vombly3.dat.tmp must stay within 259 characters.
    struct Case {
        size_t length;
        bool fits;
    } cases[] = {{236, true}, {237, false}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.length);
        std::string deep = appData;
        while (deep.size() < c.length)
            deep += "\\dddddddddd";
        deep = deep.substr(0, c.length);
        if (deep.back() == '\\')
            deep.back() = 'd';
        createFolders(deep);
        ASSERT_EQ(1, SetAppDataFolder(deep.c_str()));
        EXPECT_EQ(c.fits ? 1 : 0, PrepareDataFolder());
        EXPECT_EQ(c.fits, fileExists(deep + "\\Vombly\\Vombly3.dat"));
        if (c.fits) {
            EXPECT_EQ(nullptr, TooLongFolder());
        } else {
            // The refusal names the folder that is too long.
            ASSERT_NE(nullptr, TooLongFolder());
            EXPECT_EQ(deep + "\\Vombly", TooLongFolder());
        }
    }

    std::string tooDeep = appData + "\\" + std::string(254 - appData.size(), 'e');
    ASSERT_EQ(1, SetAppDataFolder(tooDeep.c_str()));
    EXPECT_EQ(nullptr, DataFolder());
    EXPECT_EQ(nullptr, SettingsFilePath());
    EXPECT_EQ(0, PrepareDataFolder());
    EXPECT_NE(nullptr, TooLongFolder());
}

TEST_F(DataFolderTest, DefaultsMissingFromTheStartFolderComeFromTheProgramsFolder)
{
    std::string program = scratch + "\\program";
    CreateDirectoryA(program.c_str(), NULL);
    for (const char *name : DefaultNames)
        writeFileBytes(program + "\\" + name, bytesOf((std::string("installed ") + name).c_str()));
    ASSERT_EQ(1, SetProgramFolder((program + "\\").c_str()));
    // The start folder keeps one default of its own; it wins for that file.
    for (const char *name : DefaultNames)
        if (std::string(name) != "Vombly2.dat")
            DeleteFileA((defaults + "\\" + name).c_str());
    ASSERT_EQ(1, PrepareDataFolder());
    EXPECT_EQ(bytesOf("installed Vombly.cfg"), readFileBytes(data + "Vombly.cfg"));
    EXPECT_EQ(bytesOf("installed Vombly1.dat"), readFileBytes(data + "Vombly1.dat"));
    EXPECT_EQ(bytesOf("default Vombly2.dat"), readFileBytes(data + "Vombly2.dat"));
    EXPECT_EQ(bytesOf("installed Vombly3.dat"), readFileBytes(data + "Vombly3.dat"));

    // Where neither folder has a default, the start is refused as before.
    DeleteFileA((program + "\\Vombly3.dat").c_str());
    DeleteFileA((data + "Vombly3.dat").c_str());
    EXPECT_EQ(0, PrepareDataFolder());
    EXPECT_FALSE(fileExists(data + "Vombly3.dat"));
}

TEST_F(DataFolderTest, TheProgramsFolderIsTheFolderOfItsExe)
{
    ASSERT_EQ(1, ReadProgramFolder());
    std::string folder = testExeFolder();
    ASSERT_NE("", folder);
    EXPECT_EQ(folder, GetProgramFolder());
}

// A folder under a user name in another script is reached by its short,
// plain ASCII name; one the code page holds stays as it is.
TEST_F(DataFolderTest, FoldersOfAnyUserNameAreReachedByTheNarrowFunctions)
{
    std::wstring wideScratch(scratch.begin(), scratch.end());
    // "Тест" and "测试": in no Western code page.
    std::wstring cyrillic = wideScratch + L"\\\u0422\u0435\u0441\u0442";
    std::wstring chinese = wideScratch + L"\\\u6d4b\u8bd5 folder";
    ASSERT_TRUE(CreateDirectoryW(cyrillic.c_str(), NULL));
    ASSERT_TRUE(CreateDirectoryW(chinese.c_str(), NULL));
    ASSERT_TRUE(CreateDirectoryW((cyrillic + L"\\AppData").c_str(), NULL));
    struct Case {
        const char *name;
        std::wstring wide;
        int reached;
        const char *same; // the narrow text where it must stay as it is
    } cases[] = {
        {"plain", wideScratch, 1, scratch.c_str()},
        {"cyrillic", cyrillic, 1, NULL},
        {"below it", cyrillic + L"\\AppData", 1, NULL},
        {"chinese", chinese, 1, NULL},
        // No short name for what does not exist: refused, not turned to "?".
        {"missing", cyrillic + L"\\missing", 0, NULL},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        char narrow[MAX_PATH] = "unchanged";
        EXPECT_EQ(c.reached, NarrowPath(c.wide.c_str(), narrow, sizeof narrow));
        if (!c.reached) {
            EXPECT_STREQ("", narrow);
            continue;
        }
        EXPECT_EQ(nullptr, strchr(narrow, '?'));
        if (c.same != NULL) {
            EXPECT_STREQ(c.same, narrow);
        }
        // The narrow name opens the same folder: a file made through it is
        // found by its wide name.
        std::string file = std::string(narrow) + "\\made through the narrow name";
        writeFileBytes(file, bytesOf("x"));
        EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW((c.wide + L"\\made through the narrow name").c_str()));
        DeleteFileA(file.c_str());
    }

    // The data folder of such a user is prepared there.
    char appData[MAX_PATH];
    ASSERT_EQ(1, NarrowPath((cyrillic + L"\\AppData").c_str(), appData, sizeof appData));
    ASSERT_EQ(1, SetAppDataFolder(appData));
    ASSERT_EQ(1, PrepareDataFolder());
    for (const char *name : DefaultNames) {
        SCOPED_TRACE(name);
        std::wstring wideName(name, name + strlen(name));
        std::wstring path = cyrillic + L"\\AppData\\Vombly\\" + wideName;
        EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(path.c_str()));
        DeleteFileW(path.c_str());
    }
    // The scratch folder's removal reads names through the narrow functions.
    for (const std::wstring &folder : {cyrillic + L"\\AppData\\Vombly", cyrillic + L"\\AppData", cyrillic, chinese})
        RemoveDirectoryW(folder.c_str());
}
