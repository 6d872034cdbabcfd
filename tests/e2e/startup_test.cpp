// Starting the program: its window and menu, the data folder it seeds from
// the default files, the starts it refuses, the tray, and File > Exit.
#include <string>
#include <vector>

#include "journey.h"
#include "res/resource.h"

namespace {

struct StartupJourney : Journey {};

TEST_F(StartupJourney, ShownStartHasTheMainWindowAndMenu)
{
    VomblyProcess vombly = startVombly("/SM");
    HWND window = waitForMainWindow(vombly);
    ASSERT_NE(nullptr, window);

    EXPECT_FALSE(IsIconic(window));
    EXPECT_EQ(MainTitle, windowText(window));
    EXPECT_EQ(MainClass, windowClass(window));
    // Centred on the 1024x768 desktop.
    RECT rect = windowRect(window);
    EXPECT_EQ(217, rect.left);
    EXPECT_EQ(159, rect.top);
    EXPECT_EQ(590, rect.right - rect.left);
    EXPECT_EQ(450, rect.bottom - rect.top);

    struct Item {
        const char *text;
        UINT id;
    };
    const struct {
        const char *title;
        std::vector<Item> items; // a null text is a separator
    } expected[] = {
        {"File", {{"Add a String", 40003}, {"Remove a String", 40004}, {"Toggle List", 40006}, {nullptr, 0},
                  {"Exit", 40002}}},
        {"Options", {{"Settings", 40005}, {"Keyboard and Privacy...", 41001}}},
        {"Info", {{"About Vombly", 40001}, {"Home Page / Purchase", 40009}}},
    };
    std::vector<MenuEntry> bar = menuItems(window);
    ASSERT_EQ(ARRAYSIZE(expected), bar.size());
    for (size_t p = 0; p < bar.size(); p++) {
        SCOPED_TRACE(expected[p].title);
        EXPECT_EQ(expected[p].title, bar[p].text);
        ASSERT_EQ(expected[p].items.size(), bar[p].items.size());
        for (size_t i = 0; i < bar[p].items.size(); i++) {
            const Item &want = expected[p].items[i];
            const MenuEntry &got = bar[p].items[i];
            SCOPED_TRACE(i);
            EXPECT_EQ(want.text == nullptr, isSeparator(got));
            EXPECT_EQ(want.text != nullptr ? want.text : "", got.text);
            EXPECT_EQ(want.id, got.id);
        }
    }

    // List 1 is shown first, with the default file's entries.
    HWND listBox = GetDlgItem(window, IDC_LISTBOX);
    ASSERT_NE(nullptr, listBox);
    std::vector<std::string> list1 = {
        "Double-click a line to copy it, then paste it anywhere.",
        "10 Sample Street, Exampletown EX1 2AB",
        "Kind regards,",
        "Thanks for your message, I will get back to you shortly.",
    };
    EXPECT_EQ(list1, listBoxEntries(listBox));
}

TEST_F(StartupJourney, FirstStartSeedsTheDataFolderWithTheDefaults)
{
    ASSERT_FALSE(fileExists(dataFile("Vombly.cfg")));
    VomblyProcess vombly = startVombly("/SM");
    ASSERT_NE(nullptr, waitForMainWindow(vombly));
    for (const char *name : DefaultFileNames) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(fileExists(dataFile(name)));
        EXPECT_EQ(readFileBytes(defaultFile(name)), readFileBytes(dataFile(name)));
    }
}

TEST_F(StartupJourney, LaterStartKeepsTheUsersFiles)
{
    VomblyProcess first = startVombly("/SM");
    ASSERT_NE(nullptr, waitForMainWindow(first));
    stopAllVombly();

    // The user's list 2 now differs from the default; a record of one text.
    const std::vector<unsigned char> users = {3, 0, 0, 0, 'a', 'b', 'c'};
    ASSERT_TRUE(saveFileBytes(dataFile("Vombly2.dat"), users));
    std::vector<std::vector<unsigned char>> before;
    for (const char *name : DefaultFileNames)
        before.push_back(readFileBytes(dataFile(name)));

    VomblyProcess again = startVombly("/SM");
    ASSERT_NE(nullptr, waitForMainWindow(again));
    for (size_t i = 0; i < ARRAYSIZE(DefaultFileNames); i++) {
        SCOPED_TRACE(DefaultFileNames[i]);
        EXPECT_EQ(before[i], readFileBytes(dataFile(DefaultFileNames[i])));
    }
}

TEST_F(StartupJourney, DeletedListFileIsSeededAlone)
{
    VomblyProcess first = startVombly("/SM");
    ASSERT_NE(nullptr, waitForMainWindow(first));
    stopAllVombly();

    const std::vector<unsigned char> users = {3, 0, 0, 0, 'x', 'y', 'z'};
    ASSERT_TRUE(saveFileBytes(dataFile("Vombly1.dat"), users));
    ASSERT_TRUE(saveFileBytes(dataFile("Vombly2.dat"), users));
    ASSERT_TRUE(DeleteFileA(dataFile("Vombly3.dat").c_str()));
    const char *kept[] = {"Vombly1.dat", "Vombly2.dat"};
    unsigned long long times[ARRAYSIZE(kept)];
    for (size_t i = 0; i < ARRAYSIZE(kept); i++)
        times[i] = fileWriteTime(dataFile(kept[i]));
    std::vector<unsigned char> settings = readFileBytes(dataFile("Vombly.cfg"));

    VomblyProcess again = startVombly("/SM");
    ASSERT_NE(nullptr, waitForMainWindow(again));
    EXPECT_EQ(readFileBytes(defaultFile("Vombly3.dat")), readFileBytes(dataFile("Vombly3.dat")));
    for (size_t i = 0; i < ARRAYSIZE(kept); i++) {
        SCOPED_TRACE(kept[i]);
        EXPECT_EQ(users, readFileBytes(dataFile(kept[i])));
        EXPECT_EQ(times[i], fileWriteTime(dataFile(kept[i])));
    }
    // The program writes its settings at every start, so only their bytes
    // tell that the default did not replace them.
    EXPECT_EQ(settings, readFileBytes(dataFile("Vombly.cfg")));
}

struct MissingDefaultCase {
    const char *missing;
    bool seeded; // the data folder holds all four files already
};

void PrintTo(const MissingDefaultCase &c, std::ostream *out)
{
    *out << c.missing << (c.seeded ? ", seeded data folder" : ", no data folder");
}

struct MissingDefaultJourney : Journey, ::testing::WithParamInterface<MissingDefaultCase> {};

// Every start needs all four defaults, even one with nothing left to seed.
TEST_P(MissingDefaultJourney, StartIsRefusedWithAnError)
{
    const MissingDefaultCase &c = GetParam();
    if (c.seeded) {
        ASSERT_NE(nullptr, waitForMainWindow(startVombly("/SM")));
        stopAllVombly();
    }
    VomblyProcess vombly = startVombly("/SM", {c.missing});
    MessageBoxSeen box = messageBox("Vombly", StartTimeoutMs, vombly.pid);
    ASSERT_NE(nullptr, box.window);
    EXPECT_EQ("An unspecified error has occurred !", box.text);
    EXPECT_EQ(nullptr, findWindow(MainTitle, MainClass, vombly.pid));
    EXPECT_TRUE(dismissBox(box.window));
    EXPECT_EQ(0u, waitForExit(vombly, ExitTimeoutMs));
}

std::vector<MissingDefaultCase> missingDefaultCases()
{
    std::vector<MissingDefaultCase> cases;
    for (bool seeded : {false, true}) {
        for (const char *name : DefaultFileNames)
            cases.push_back({name, seeded});
    }
    return cases;
}

INSTANTIATE_TEST_SUITE_P(EachDefaultFile, MissingDefaultJourney, ::testing::ValuesIn(missingDefaultCases()),
                         [](const ::testing::TestParamInfo<MissingDefaultCase> &info) {
                             std::string name = info.param.missing;
                             name[name.find('.')] = '_';
                             return name + (info.param.seeded ? "_Seeded" : "_Fresh");
                         });

// A shortcut without "Start in", a Run entry or a prompt elsewhere starts
// the program in a folder without the defaults: those beside the exe serve.
TEST_F(StartupJourney, StartFromAnotherWorkingFolderUsesTheDefaultsBesideTheExe)
{
    std::string exeFolder = copyRunFolder();
    std::string elsewhere = copyRunFolder({"Vombly.exe", "Vombly.cfg", "Vombly1.dat", "Vombly2.dat", "Vombly3.dat"});
    ASSERT_FALSE(exeFolder.empty());
    ASSERT_FALSE(elsewhere.empty());
    VomblyProcess vombly = startVomblyFrom(exeFolder, elsewhere, "/SM");
    ASSERT_NE(nullptr, waitForMainWindow(vombly));
    for (const char *name : DefaultFileNames) {
        SCOPED_TRACE(name);
        EXPECT_EQ(readFileBytes(defaultFile(name)), readFileBytes(dataFile(name)));
    }
    stopAllVombly();

    // Where neither folder has a default, the start is refused as before.
    resetDataFolder();
    exeFolder = copyRunFolder({"Vombly2.dat"});
    elsewhere = copyRunFolder({"Vombly.exe", "Vombly.cfg", "Vombly1.dat", "Vombly2.dat", "Vombly3.dat"});
    vombly = startVomblyFrom(exeFolder, elsewhere, "/SM");
    MessageBoxSeen box = messageBox("Vombly", StartTimeoutMs, vombly.pid);
    ASSERT_NE(nullptr, box.window);
    EXPECT_EQ("An unspecified error has occurred !", box.text);
    EXPECT_TRUE(dismissBox(box.window));
    EXPECT_EQ(0u, waitForExit(vombly, ExitTimeoutMs));
}

TEST_F(StartupJourney, PlainStartGoesToTheTray)
{
    VomblyProcess vombly = startVombly(nullptr);
    HWND window = waitForWindow(MainTitle, MainClass, StartTimeoutMs, vombly.pid);
    ASSERT_NE(nullptr, window);
    // Minimised, then hidden: only the tray icon is left.
    EXPECT_TRUE(waitFor([&] { return IsIconic(window) && !IsWindowVisible(window); }, UiTimeoutMs));
    // It stays there, running.
    EXPECT_EQ(NotExited, waitForExit(vombly, 1000));
    EXPECT_FALSE(IsWindowVisible(window));
}

TEST_F(StartupJourney, FileExitQuitEndsTheProgram)
{
    VomblyProcess vombly = startVombly("/SM");
    HWND window = waitForMainWindow(vombly);
    ASSERT_NE(nullptr, window);
    ASSERT_TRUE(bringToFront(window));

    std::vector<MenuEntry> bar = menuItems(window);
    ASSERT_FALSE(bar.empty());
    ASSERT_TRUE(click(centre(bar[0].rect)));
    ASSERT_TRUE(waitFor([] { return findVisibleWindow(nullptr, "#32768") != NULL; }, UiTimeoutMs)) << "File menu not open";
    // The items have their places on screen once the popup is open.
    std::vector<MenuEntry> file = menuItems(window).at(0).items;
    ASSERT_FALSE(file.empty());
    ASSERT_EQ("Exit", file.back().text);
    ASSERT_TRUE(click(centre(file.back().rect)));

    MessageBoxSeen quit = messageBox("Vombly - Quit", UiTimeoutMs, vombly.pid);
    ASSERT_NE(nullptr, quit.window);
    EXPECT_EQ("Quit", windowText(GetDlgItem(quit.window, IDOK)));
    EXPECT_EQ("Cancel", windowText(GetDlgItem(quit.window, IDCANCEL)));
    ASSERT_TRUE(clickControl(quit.window, IDOK));
    EXPECT_EQ(0u, waitForExit(vombly, ExitTimeoutMs));
}

struct VersionCase {
    const char *name;
    const char *version; // NULL: no setting, Wine's own default
    bool refused;
};

void PrintTo(const VersionCase &c, std::ostream *out)
{
    *out << c.name;
}

struct WindowsVersionJourney : Journey, ::testing::WithParamInterface<VersionCase> {};

TEST_P(WindowsVersionJourney, OnlyXpAndLaterStart)
{
    const VersionCase &c = GetParam();
    ASSERT_TRUE(setReportedWindowsVersion(c.version));
    VomblyProcess vombly = startVombly("/SM");
    if (c.refused) {
        MessageBoxSeen box = messageBox("Vombly", StartTimeoutMs, vombly.pid);
        ASSERT_NE(nullptr, box.window);
        EXPECT_EQ("This program requires Windows XP or later !", box.text);
        EXPECT_EQ(nullptr, findWindow(MainTitle, MainClass, vombly.pid));
        EXPECT_TRUE(dismissBox(box.window));
        EXPECT_EQ(0u, waitForExit(vombly, ExitTimeoutMs));
        // Refused before the data folder is touched.
        EXPECT_FALSE(fileExists(dataFile("Vombly.cfg")));
    } else {
        EXPECT_NE(nullptr, waitForMainWindow(vombly));
    }
}

const VersionCase versionCases[] = {
    {"Windows2000", "win2k", true},
    {"WindowsXp", "winxp", false},
    {"Windows7", "win7", false},
    // 8.1 and 10 report their own numbers only to a program whose manifest
    // names them; the test of the major version must still pass.
    {"Windows81", "win81", false},
    {"Windows10", "win10", false},
    {"NoSetting", nullptr, false},
};

INSTANTIATE_TEST_SUITE_P(Versions, WindowsVersionJourney, ::testing::ValuesIn(versionCases),
                         [](const ::testing::TestParamInfo<VersionCase> &info) { return std::string(info.param.name); });

} // namespace
