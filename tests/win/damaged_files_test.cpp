// Files that are there but damaged: a settings file that fails its check and
// list files that end in damage are kept aside before anything writes over
// them, the user is told once, and the run goes on from what can be used.
#include <windows.h>
#include <gtest/gtest.h>
#include <string.h>
#include <string>
#include <vector>

#include "system/paths.h"
#include "system/window_slots.h"
#include "res/resource.h"
#include "view/lists.h"
#include "store/settings.h"
#include "view/save_settings.h"
#include "tests/common/list_bytes.h"
#include "tests/common/settings_bytes.h"
#include "tests/win/main_window_util.h"

typedef std::vector<std::string> Entries;

// The user's lists, and those of the default file in the start-up folder.
static const ListValues UsersLists[3] = {{"users own", 0}, {"second", 0}, {"third", 0}};
static const ListValues DefaultFileLists[3] = {{"default first", 0}, {"second", 0}, {"third", 0}};

// A data folder and a start-up folder holding a default settings file.
struct DamagedFilesTest : ProgramFixture {
    std::string startFolder;
    HWND listBox = NULL;
    DialogDriver boxes;
    bool watching = false;

    void SetUp() override
    {
        ProgramFixture::SetUp();
        startFolder = scratch + "\\start";
        CreateDirectoryA(startFolder.c_str(), NULL);
        ASSERT_EQ(1, SetStartupFolder(startFolder.c_str()));
        writeSettingsFile(startFolder + "\\Vombly.cfg", settingsRecord(2, 0, 1, DefaultFileLists));
        listBox = CreateWindowExA(0, "listbox", NULL, WS_POPUP | LBS_NOTIFY, 0, 0, 200, 200, NULL, NULL,
                                  GetModuleHandleA(NULL), NULL);
        ASSERT_NE(nullptr, listBox);
        WindowSlot(1, IDC_LISTBOX, listBox);
    }
    void TearDown() override
    {
        if (watching)
            finishDialogDriver(&boxes);
        WindowSlot(1, IDC_LISTBOX, NULL);
        DestroyWindow(listBox);
        ProgramFixture::TearDown();
    }
    void watch()
    {
        startBoxAnswerer(&boxes, "Vombly", IDOK);
        watching = true;
    }
    void stopWatching()
    {
        finishDialogDriver(&boxes);
        watching = false;
    }
    std::string settingsPath() { return dataFolder + "Vombly.cfg"; }
    std::string listPath(int list) { return dataFolder + "Vombly" + std::to_string(list) + ".dat"; }
    Entries shown()
    {
        Entries entries;
        LRESULT count = SendMessageA(listBox, LB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < count; i++) {
            std::string text((size_t)SendMessageA(listBox, LB_GETTEXTLEN, (WPARAM)i, 0) + 1, '\0');
            SendMessageA(listBox, LB_GETTEXT, (WPARAM)i, (LPARAM)&text[0]);
            text.resize(strlen(text.c_str()));
            entries.push_back(text);
        }
        return entries;
    }
    void load() { LoadListCommand(NULL, NULL, WM_COMMAND, CMD_LOAD_LIST, 0); }
};

TEST_F(DamagedFilesTest, DamagedSettingsAreKeptAsideAndTheDefaultsUsed)
{
    Bytes valid = settingsFileBytes(settingsRecord(3, 0, 1, UsersLists));
    Bytes flipped = valid;
    flipped[100] ^= 0x01;
    // Made by another build: a record that verified there but not here.
    Bytes foreign = valid;
    for (size_t i = 0; i + 2 < foreign.size(); i++)
        foreign[i] ^= 0x5A;
    struct Case {
        const char *label;
        Bytes bytes;
    } cases[] = {
        {"empty", Bytes()},
        {"1249 bytes", Bytes(valid.begin(), valid.end() - 1)},
        {"one byte flipped", flipped},
        {"from another build", foreign},
    };
    // One data folder for every row: each kept copy gets a name of its own.
    const char *keptNames[] = {"Vombly.cfg.damaged", "Vombly.cfg.damaged2", "Vombly.cfg.damaged3",
                               "Vombly.cfg.damaged4"};
    int row = 0;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.label);
        writeFileBytes(settingsPath(), c.bytes);
        *GetSettingsRecord() = SettingsRecord{};
        watch();
        LoadSettingsAtStart();
        stopWatching();

        EXPECT_EQ(1, boxes.seen);
        std::string kept = dataFolder + keptNames[row];
        EXPECT_NE(std::string::npos, boxes.texts.find("The settings file was damaged")) << boxes.texts;
        EXPECT_NE(std::string::npos, boxes.texts.find(kept)) << boxes.texts;
        EXPECT_EQ(c.bytes, readFileBytes(kept));
        // The run starts from the default settings file, as a first start does.
        EXPECT_STREQ("default first", GetListName(1));
        EXPECT_EQ(2u, GetActiveList());
        EXPECT_EQ(1, GetMinimiseAfterSelection());
        // The next save writes the defaults over the damaged file.
        ASSERT_EQ(1, SaveSettings());
        *GetSettingsRecord() = SettingsRecord{};
        ASSERT_EQ(1, LoadSettings());
        EXPECT_STREQ("default first", GetListName(1));
        row++;
    }
    // Every earlier copy is still as it was kept.
    EXPECT_EQ(Bytes(), readFileBytes(dataFolder + keptNames[0]));
}

TEST_F(DamagedFilesTest, ValidOrMissingSettingsKeepNothingAndSayNothing)
{
    watch();
    // Missing: the record stays as it was, and list 1 is shown.
    *GetSettingsRecord() = SettingsRecord{};
    LoadSettingsAtStart();
    EXPECT_EQ(1u, GetActiveList());
    EXPECT_STREQ("", GetListName(1));

    writeSettingsFile(settingsPath(), settingsRecord(3, 0, 1, UsersLists));
    LoadSettingsAtStart();
    EXPECT_STREQ("users own", GetListName(1));
    EXPECT_EQ(3u, GetActiveList());
    stopWatching();
    EXPECT_EQ(0, boxes.seen) << boxes.texts;
    EXPECT_EQ((std::vector<std::string>{"Vombly.cfg"}), folderEntries(scratch + "\\Vombly"));
}

TEST_F(DamagedFilesTest, AnActiveListOutsideOneToThreeStartsOnListOne)
{
    writeListFile(listPath(1), {"first list"});
    uint32_t values[] = {0, 4, 7, 0xFFFFFFFFu};
    for (uint32_t value : values) {
        SCOPED_TRACE(value);
        writeSettingsFile(settingsPath(), settingsRecord(value, 0, 1, UsersLists));
        LoadSettingsAtStart();
        EXPECT_EQ(1u, GetActiveList());
        EXPECT_STREQ("users own", GetListName(1));
        load();
        EXPECT_EQ(Entries{"first list"}, shown());
    }
    // No list file other than the three is ever written, whatever the
    // record says.
    for (uint32_t value : values) {
        SCOPED_TRACE(value);
        SetActiveList(value);
        SendMessageA(listBox, LB_ADDSTRING, 0, (LPARAM) "entry");
        EXPECT_EQ(0, SaveActiveList());
    }
    EXPECT_EQ((std::vector<std::string>{"Vombly.cfg", "Vombly1.dat"}), folderEntries(scratch + "\\Vombly"));
}

TEST_F(DamagedFilesTest, ADamagedListIsKeptAsideBeforeItIsWrittenOver)
{
    Bytes three = encodeListFile({"one", "two", "three"});
    Bytes cut = three;
    cut.resize(cut.size() - 2);
    Bytes length4010 = withLength(encodeListFile({"kept"}), 4010);
    length4010.resize(length4010.size() + 4010, 'z');
    Bytes lengthAllOnes = withLength(encodeListFile({"kept", "too"}), 0xFFFFFFFFu);
    lengthAllOnes.resize(lengthAllOnes.size() + 1000000, 'w');
    Bytes random;
    unsigned int state = 12345;
    for (int i = 0; i < 5000; i++) {
        state = state * 1103515245u + 12345u;
        random.push_back((unsigned char)(state >> 16));
    }
    Bytes validThenRandom = encodeListFile({"valid"});
    validThenRandom.insert(validThenRandom.end(), random.begin(), random.end());
    struct Case {
        const char *label;
        Bytes file;
        Entries entries;
    } cases[] = {
        {"three bytes", Bytes{1, 0, 0}, {}},
        {"last record cut short", cut, {"one", "two"}},
        {"length 4010", length4010, {"kept"}},
        {"length 0xFFFFFFFF in a 1 MB file", lengthAllOnes, {"kept", "too"}},
        {"random bytes after a valid record", validThenRandom, {"valid"}},
    };
    SetActiveList(1);
    for (const Case &c : cases) {
        SCOPED_TRACE(c.label);
        // A sound file first: its load clears what the run knew of damage.
        writeFileBytes(listPath(1), encodeListFile({"sound"}));
        load();
        DeleteFileA((dataFolder + "Vombly1.dat.damaged").c_str());

        writeFileBytes(listPath(1), c.file);
        watch();
        load();
        // Shown again without a save between: nothing more is kept or told.
        load();
        stopWatching();
        EXPECT_EQ(c.entries, shown());
        EXPECT_EQ(1, boxes.seen);
        std::string told = "only " + std::to_string(c.entries.size()) + " entries could be read";
        EXPECT_NE(std::string::npos, boxes.texts.find(told)) << boxes.texts;
        EXPECT_NE(std::string::npos, boxes.texts.find(dataFolder + "Vombly1.dat.damaged")) << boxes.texts;
        EXPECT_EQ(c.file, readFileBytes(dataFolder + "Vombly1.dat.damaged"));
        EXPECT_FALSE(fileExists(dataFolder + "Vombly1.dat.damaged2"));

        // The first save writes what is on screen; the kept copy stays.
        ASSERT_EQ(1, SaveActiveList());
        EXPECT_EQ(encodeListFile(c.entries), readFileBytes(listPath(1)));
        EXPECT_EQ(c.file, readFileBytes(dataFolder + "Vombly1.dat.damaged"));
    }
}

TEST_F(DamagedFilesTest, AnEarlierKeptCopyIsNeverWrittenOver)
{
    Bytes first = withLength(encodeListFile({"a"}), 4010);
    Bytes second = withLength(encodeListFile({"b", "c"}), 4010);
    writeFileBytes(listPath(2), first);
    SetActiveList(2);
    watch();
    load();
    ASSERT_EQ(1, SaveActiveList());
    writeFileBytes(listPath(2), second);
    load();
    stopWatching();
    EXPECT_EQ(2, boxes.seen);
    EXPECT_EQ(first, readFileBytes(dataFolder + "Vombly2.dat.damaged"));
    EXPECT_EQ(second, readFileBytes(dataFolder + "Vombly2.dat.damaged2"));
}

TEST_F(DamagedFilesTest, AListFileThatCannotBeReadIsToldOnceAndNeverWritten)
{
    // A folder where the list file should be.
    CreateDirectoryA((dataFolder + "Vombly3.dat").c_str(), NULL);
    SetActiveList(3);
    watch();
    load();
    load();
    SendMessageA(listBox, LB_ADDSTRING, 0, (LPARAM) "typed");
    EXPECT_EQ(0, SaveActiveList());
    stopWatching();
    EXPECT_EQ(1, boxes.seen);
    EXPECT_NE(std::string::npos, boxes.texts.find("The file of list 3 could not be read")) << boxes.texts;
    EXPECT_NE(0u, GetFileAttributesA((dataFolder + "Vombly3.dat").c_str()) & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_FALSE(fileExists(dataFolder + "Vombly3.dat.damaged"));
}

// What a later start sees again is kept and told once; kept copies, however
// many, never stop the list from being written.
TEST_F(DamagedFilesTest, TheSameDamageIsKeptAndToldOnceAndKeptCopiesNeverStopSaves)
{
    Bytes damaged = withLength(encodeListFile({"a"}), 4010);
    SetActiveList(1);
    watch();
    for (int start = 0; start < 3; start++) {
        SCOPED_TRACE(start);
        // A later start knows nothing of the damage the last one met.
        writeFileBytes(listPath(1), encodeListFile({"sound"}));
        load();
        writeFileBytes(listPath(1), damaged);
        load();
    }
    stopWatching();
    EXPECT_EQ(1, boxes.seen) << boxes.texts;
    EXPECT_EQ(damaged, readFileBytes(dataFolder + "Vombly1.dat.damaged"));
    EXPECT_FALSE(fileExists(dataFolder + "Vombly1.dat.damaged2"));

    // Every numbered copy taken, by other damage.
    for (int copy = 2; copy <= 99; copy++)
        writeFileBytes(dataFolder + "Vombly1.dat.damaged" + std::to_string(copy), Bytes{(unsigned char)copy});
    writeFileBytes(listPath(1), encodeListFile({"sound"}));
    load();
    Bytes other = withLength(encodeListFile({"b"}), 4010);
    writeFileBytes(listPath(1), other);
    watch();
    load();
    stopWatching();
    EXPECT_EQ(1, boxes.seen) << boxes.texts;
    SendMessageA(listBox, LB_ADDSTRING, 0, (LPARAM) "added");
    EXPECT_EQ(1, SaveActiveList());
    EXPECT_EQ(encodeListFile({"b", "added"}), readFileBytes(listPath(1)));
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((dataFolder + "Vombly1.dat.damaged-*").c_str(), &found);
    ASSERT_NE(INVALID_HANDLE_VALUE, search);
    FindClose(search);
    EXPECT_EQ(other, readFileBytes(dataFolder + found.cFileName));
}

// Another program (a backup or sync tool) holds a file with a share mode
// that denies reading.
static HANDLE holdFile(const std::string &path)
{
    return CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_DELETE, NULL, OPEN_EXISTING, 0, NULL);
}

TEST_F(DamagedFilesTest, HeldSettingsAreNeitherMissingNorReplacedByTheDefaults)
{
    Bytes bytes = settingsFileBytes(settingsRecord(3, 0, 1, {{"Home", 0}, {"Work", 0}, {"third", 0}}));
    writeFileBytes(settingsPath(), bytes);
    HANDLE held = holdFile(settingsPath());
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    watch();
    LoadSettingsAtStart();
    SetActiveList(1);
    SendMessageA(listBox, LB_ADDSTRING, 0, (LPARAM) "x");
    SendMessageA(listBox, LB_SETCURSEL, 0, 0);
    EXPECT_EQ(0, SaveSettings());
    stopWatching();
    EXPECT_EQ(1, boxes.seen);
    EXPECT_NE(std::string::npos, boxes.texts.find("The settings file could not be read")) << boxes.texts;
    // The run goes on from the defaults; the file is never written over.
    EXPECT_STREQ("default first", GetListName(1));
    CloseHandle(held);
    EXPECT_EQ(bytes, readFileBytes(settingsPath()));

    // Once let go, the next save reads the user's settings back and keeps
    // only what this run decided: the list shown and its selection.
    watch();
    ASSERT_EQ(1, SaveSettings());
    stopWatching();
    EXPECT_EQ(0, boxes.seen) << boxes.texts;
    SettingsRecord saved = {};
    Bytes after = readFileBytes(settingsPath());
    ASSERT_EQ(1, DecodeSettingsFile(after.data(), after.size(), &saved));
    EXPECT_STREQ("Home", saved.lists[0].listName);
    EXPECT_STREQ("Work", saved.lists[1].listName);
    EXPECT_EQ(1u, saved.activeList);
    EXPECT_EQ(0, saved.lists[0].listSelection);
}

TEST_F(DamagedFilesTest, AHeldListFileIsUnreadNotEmptyAndReadOnceLetGo)
{
    writeFileBytes(listPath(1), encodeListFile({"kiwi", "apple"}));
    HANDLE held = holdFile(listPath(1));
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    SetActiveList(1);
    watch();
    load();
    // The empty list box is never written over the entries.
    EXPECT_EQ(0, SaveActiveList());
    stopWatching();
    EXPECT_EQ(1, boxes.seen);
    EXPECT_NE(std::string::npos, boxes.texts.find("The file of list 1 could not be read")) << boxes.texts;
    CloseHandle(held);
    EXPECT_EQ(encodeListFile({"kiwi", "apple"}), readFileBytes(listPath(1)));
    EXPECT_EQ(1, ActiveListChangeable());
    EXPECT_EQ((Entries{"kiwi", "apple"}), shown());
}
