// The fault drills: the shipped Vombly.exe under Wine, driven with real
// input, killed at random moments, started many times at once, handed
// damaged files, a full disk and a busy clipboard. Each drill adds its
// figures to the tally that the closing summary adds up.
#include <gtest/gtest.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <random>
#include <string>
#include <vector>

#include "res/resource.h"
#include "tests/common/list_bytes.h"
#include "tests/drill/drill.h"
#include "tests/e2e/install.h"
#include "tests/e2e/journey.h"

namespace {

// A journey that adds its figures to the drills' tally at its end.
struct Drill : Journey {
    DrillTally tally;

    void TearDown() override
    {
        Journey::TearDown();
        const ::testing::TestInfo *test = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = std::string(test->test_suite_name()) + "." + test->name();
        recordTally(name.c_str(), tally);
    }
};

unsigned drillSeed()
{
    const char *given = getenv("VOMBLY_DRILL_SEED");
    return given != NULL ? (unsigned)strtoul(given, NULL, 10) : (unsigned)GetTickCount();
}

// VOMBLY_DRILL_KILLS, where a tree runs a shorter kill drill; 50 otherwise.
int drillKills()
{
    const char *given = getenv("VOMBLY_DRILL_KILLS");
    int kills = given != NULL ? atoi(given) : 0;
    return kills > 0 ? kills : 50;
}

HWND listBoxOf(HWND window)
{
    return GetDlgItem(window, IDC_LISTBOX);
}

// Ends the process the way a crash or a kill -9 does, after `delayMs`.
struct Killer {
    HANDLE process;
    DWORD delayMs;
    HANDLE thread;
};

DWORD WINAPI KillLater(void *parameter)
{
    Killer *killer = (Killer *)parameter;
    Sleep(killer->delayMs);
    TerminateProcess(killer->process, 9);
    return 0;
}

bool removeEntry(const VomblyProcess &vombly, HWND window, int index)
{
    if (!isRunning(vombly) || !clickEntry(listBoxOf(window), index) || !clickControl(window, IDC_REMOVE))
        return false;
    HWND dialog = waitForDialog("Vombly - Remove String", vombly.pid, 3000);
    if (dialog == NULL || !clickControl(dialog, IDOK))
        return false;
    return waitFor([&] { return !isRunning(vombly) || !IsWindow(dialog) || !IsWindowVisible(dialog); }, 3000) &&
           isRunning(vombly);
}

// ---- Kill drill -------------------------------------------------------------

// Every file must hold the state before or after the save a kill cut short:
// each list file one of the last two states the burst gave it, the settings
// file one of the last two active lists.
TEST_F(Drill, KillsDuringBurstsLoseNothing)
{
    const int Kills = drillKills();
    unsigned seed = drillSeed();
    printf("kill drill: seed %u (set VOMBLY_DRILL_SEED to repeat)\n", seed);
    std::mt19937 random(seed);

    Entries lists[3] = {{"alpha start"}, {"bravo start"}, {"charlie start"}};
    ASSERT_TRUE(writeDataFiles(1, 0, 0, lists));
    uint32_t active = 1;
    std::string folder = copyRunFolder();
    ASSERT_FALSE(folder.empty());

    for (int kill = 0; kill < Kills; kill++) {
        SCOPED_TRACE("kill " + std::to_string(kill));
        VomblyProcess vombly = startVomblyFrom(folder, folder, "/SM");
        HWND window = waitForMainWindow(vombly);
        ASSERT_NE(nullptr, window);
        // The start shows what the files hold.
        EXPECT_EQ(lists[active - 1], listBoxEntries(listBoxOf(window)));

        std::vector<Entries> states[3];
        for (int list = 0; list < 3; list++)
            states[list].push_back(lists[list]);
        std::vector<uint32_t> actives = {active};
        Entries onScreen = lists[active - 1];
        uint32_t shownList = active;

        Killer killer = {vombly.process, (DWORD)(random() % 1500), NULL};
        killer.thread = CreateThread(NULL, 0, KillLater, &killer, 0, NULL);
        ASSERT_NE(nullptr, killer.thread);
        HWND listBox = listBoxOf(window);
        // The steps of this round, named in any failure below, so that a
        // failure that the seed alone cannot repeat (the kill's moment
        // differs from run to run) still says what the round did.
        std::string steps;
        for (int step = 0; isRunning(vombly) && step < 8; step++) {
            unsigned action = random() % 10;
            if (action < 5) {
                std::string text = "k" + std::to_string(kill) + "s" + std::to_string(step);
                onScreen.push_back(text);
                states[shownList - 1].push_back(onScreen);
                // The save follows the dialog's closing: the next step
                // starts once it is done, so that the last two states are
                // the ones a kill can cut between.
                bool done = addEntry(vombly, window, text, 3000) && waitUntilIdle(window, 3000);
                steps += " add " + text + (done ? "" : " (cut)");
                if (!done)
                    break;
            } else if (action < 7 && !onScreen.empty()) {
                int index = (int)(random() % onScreen.size());
                onScreen.erase(onScreen.begin() + index);
                states[shownList - 1].push_back(onScreen);
                bool done = removeEntry(vombly, window, index) && waitUntilIdle(window, 3000);
                steps += " remove " + std::to_string(index) + (done ? "" : " (cut)");
                if (!done)
                    break;
            } else {
                uint32_t next = shownList % 3 + 1;
                actives.push_back(next);
                steps += " toggle to " + std::to_string(next);
                if (!clickControl(window, IDC_TOGGLE)) {
                    steps += " (cut)";
                    break;
                }
                // The toggle has been handled once the next list is on
                // screen and the settings name it: two lists may look
                // alike (both empty), so the list box alone cannot tell.
                const Entries &expected = states[next - 1].back();
                SettingsRecord saved = {};
                if (!waitFor(
                        [&] {
                            return !isRunning(vombly) || (listBoxEntries(listBox) == expected &&
                                                          readUsersSettings(&saved) && saved.activeList == next);
                        },
                        3000))
                    ADD_FAILURE() << "the toggle to list " << next << " was not seen;" << steps;
                if (!isRunning(vombly) || !waitUntilIdle(window, 3000)) {
                    steps += " (cut)";
                    break;
                }
                shownList = next;
                onScreen = expected;
            }
        }
        WaitForSingleObject(killer.thread, 10000);
        CloseHandle(killer.thread);
        ASSERT_NE(NotExited, waitForExit(vombly, ExitTimeoutMs));
        tally.faults++;

        SettingsRecord settings;
        Entries now[3];
        checkDataFiles(&tally, &settings, now);
        for (int list = 0; list < 3; list++) {
            const std::vector<Entries> &seen = states[list];
            bool beforeOrAfter = now[list] == seen.back() || (seen.size() > 1 && now[list] == seen[seen.size() - 2]);
            if (!beforeOrAfter) {
                tally.filesLost++;
                std::string held, last;
                for (const std::string &text : now[list])
                    held += text + "|";
                for (const std::string &text : seen.back())
                    last += text + "|";
                ADD_FAILURE() << "list " << list + 1 << " holds neither the state before nor after the cut save: "
                              << held << " (last state " << last << ", " << seen.size() << " states); steps:" << steps;
            }
            lists[list] = now[list];
        }
        bool activeOk = settings.activeList == actives.back() ||
                        (actives.size() > 1 && settings.activeList == actives[actives.size() - 2]);
        EXPECT_TRUE(activeOk) << "active list " << settings.activeList << ", expected " << actives.back()
                              << "; steps:" << steps;
        ASSERT_TRUE(settings.activeList >= 1 && settings.activeList <= 3);
        active = settings.activeList;
    }

    // The last kill's files, as the next start shows them.
    VomblyProcess vombly = startVomblyFrom(folder, folder, "/SM");
    HWND window = waitForMainWindow(vombly);
    ASSERT_NE(nullptr, window);
    EXPECT_EQ(lists[active - 1], listBoxEntries(listBoxOf(window)));
    EXPECT_TRUE(exitThroughMenu(vombly, window));
}

// ---- Kill drill with entries the code page cannot hold ---------------------

std::vector<std::wstring> wideEntriesOf(HWND listBox)
{
    std::vector<std::wstring> entries;
    DWORD_PTR count = 0;
    if (!SendMessageTimeoutW(listBox, LB_GETCOUNT, 0, 0, SMTO_ABORTIFHUNG, 5000, &count) || (LRESULT)count == LB_ERR)
        return entries;
    for (DWORD_PTR i = 0; i < count; i++) {
        WCHAR text[256] = L"";
        DWORD_PTR copied = 0;
        if (!SendMessageTimeoutW(listBox, LB_GETTEXT, i, (LPARAM)text, SMTO_ABORTIFHUNG, 5000, &copied))
            break;
        entries.push_back(text);
    }
    return entries;
}

std::string describe(const std::vector<std::wstring> &entries)
{
    std::string text;
    for (const std::wstring &entry : entries) {
        for (WCHAR unit : entry)
            text += unit < 0x80 ? std::string(1, (char)unit) : "\\u" + std::to_string((unsigned)unit);
        text += "|";
    }
    return text;
}

// The Add dialog given a text the keyboard under Wine cannot type.
bool addWideEntry(const VomblyProcess &vombly, HWND window, const std::wstring &text, int timeoutMs)
{
    enum { AddButtonId = 3, AddEditId = 1004 };
    if (!isRunning(vombly) || !clickControl(window, AddButtonId))
        return false;
    HWND dialog = waitForDialog("Vombly - Add String", vombly.pid, timeoutMs);
    DWORD_PTR result = 0;
    if (dialog == NULL || !SendMessageTimeoutW(GetDlgItem(dialog, AddEditId), WM_SETTEXT, 0, (LPARAM)text.c_str(),
                                               SMTO_ABORTIFHUNG, (UINT)timeoutMs, &result))
        return false;
    if (!isRunning(vombly) || !bringToFront(dialog))
        return false;
    press(VK_RETURN);
    return waitFor([&] { return !isRunning(vombly) || !IsWindow(dialog) || !IsWindowVisible(dialog); },
                   timeoutMs) &&
           isRunning(vombly);
}

// A kill between the companion's replace and the list file's, or anywhere
// else, leaves the list as it was before or after the save it cut short,
// every text whole, though three of the texts share one ANSI form.
TEST_F(Drill, KillsDuringSavesOfUnicodeEntriesLoseNoText)
{
    const int Kills = 15;
    unsigned seed = drillSeed();
    printf("unicode kill drill: seed %u\n", seed);
    std::mt19937 random(seed + 1);
    Entries lists[3] = {{"start"}, {}, {}};
    ASSERT_TRUE(writeDataFiles(1, 0, 0, lists));
    std::string folder = copyRunFolder();
    ASSERT_FALSE(folder.empty());
    const std::vector<std::wstring> pool = {L"\u0141ukasz", L"\u0395\u03BB\u03AD\u03BD\u03B7", L"\u5F20\u4F1F",
                                            L"\U0001F44D", L"\u674E\u660E"};
    std::vector<std::wstring> before = {L"start"}, after = before;
    for (int kill = 0; kill <= Kills; kill++) {
        SCOPED_TRACE("kill " + std::to_string(kill));
        VomblyProcess vombly = startVomblyFrom(folder, folder, "/SM");
        HWND window = waitForMainWindow(vombly);
        ASSERT_NE(nullptr, window);
        std::vector<std::wstring> shown = wideEntriesOf(listBoxOf(window));
        tally.filesChecked++;
        if (shown != after && shown != before) {
            tally.filesLost++;
            ADD_FAILURE() << "the start shows " << describe(shown) << " (before " << describe(before) << ", after "
                          << describe(after) << ")";
        }
        if (kill == Kills) {
            EXPECT_TRUE(exitThroughMenu(vombly, window));
            break;
        }
        before = after = shown;
        Killer killer = {vombly.process, (DWORD)(random() % 1500), NULL};
        killer.thread = CreateThread(NULL, 0, KillLater, &killer, 0, NULL);
        ASSERT_NE(nullptr, killer.thread);
        for (int step = 0; isRunning(vombly) && step < 6; step++) {
            // The save of each step ends before the next begins: a kill cuts
            // between the last two states.
            before = after;
            if (after.size() <= 1 || random() % 3 != 0) {
                after.push_back(pool[random() % pool.size()]);
                if (!addWideEntry(vombly, window, after.back(), 3000) || !waitUntilIdle(window, 3000))
                    break;
            } else {
                int index = (int)(random() % after.size());
                after.erase(after.begin() + index);
                if (!removeEntry(vombly, window, index) || !waitUntilIdle(window, 3000))
                    break;
            }
        }
        WaitForSingleObject(killer.thread, 10000);
        CloseHandle(killer.thread);
        ASSERT_NE(NotExited, waitForExit(vombly, ExitTimeoutMs));
        tally.faults++;
    }
}

// ---- Racing starts ----------------------------------------------------------

struct RaceCase {
    const char *name;
    int copies;
    int rounds;
};

struct RacingStarts : Drill, ::testing::WithParamInterface<RaceCase> {};

TEST_P(RacingStarts, ExactlyOneCopySurvivesEachRound)
{
    const RaceCase &c = GetParam();
    std::string folder = copyRunFolder();
    ASSERT_FALSE(folder.empty());
    for (int round = 0; round < c.rounds; round++) {
        SCOPED_TRACE("round " + std::to_string(round));
        // Every other round also races the first start's seeding.
        if (round % 2 == 0)
            resetDataFolder();
        std::vector<VomblyProcess> copies;
        for (int i = 0; i < c.copies; i++)
            copies.push_back(startVomblyFrom(folder, folder, "/SM"));
        tally.faults++;

        // Refused copies say another copy is active and end with code 0.
        int refused = 0;
        std::vector<bool> done(copies.size(), false);
        waitFor(
            [&] {
                for (size_t i = 0; i < copies.size(); i++) {
                    if (done[i])
                        continue;
                    if (!isRunning(copies[i])) {
                        done[i] = true;
                        EXPECT_EQ(0u, waitForExit(copies[i], 0)) << "copy " << i;
                        refused++;
                        continue;
                    }
                    HWND box = findVisibleWindow("Vombly", "#32770", copies[i].pid);
                    if (box != NULL) {
                        MessageBoxSeen seen = answerBox(copies[i], IDOK, 1000);
                        EXPECT_EQ("Another copy of this program is already active !", seen.text);
                    }
                }
                return refused == c.copies - 1;
            },
            StartTimeoutMs);
        int survivors = 0;
        for (const VomblyProcess &copy : copies) {
            if (!isRunning(copy))
                continue;
            survivors++;
            EXPECT_NE(nullptr, waitForMainWindow(copy)) << "the surviving copy shows no window";
        }
        EXPECT_EQ(1, survivors);
        EXPECT_EQ(c.copies - 1, refused);
        for (const VomblyProcess &copy : copies)
            if (isRunning(copy))
                TerminateProcess(copy.process, 9);
        for (const VomblyProcess &copy : copies)
            waitForExit(copy, ExitTimeoutMs);
        if (HasFatalFailure() || survivors != 1)
            break;
    }
    SettingsRecord settings;
    Entries lists[3];
    checkDataFiles(&tally, &settings, lists);
}

const RaceCase raceCases[] = {
    {"TwoCopies", 2, 20},
    {"FiveCopies", 5, 20},
};

INSTANTIATE_TEST_SUITE_P(Rounds, RacingStarts, ::testing::ValuesIn(raceCases),
                         [](const ::testing::TestParamInfo<RaceCase> &info) { return std::string(info.param.name); });

// ---- Damaged files ----------------------------------------------------------

bool writeBytes(const std::string &path, const Bytes &bytes)
{
    FILE *file = fopen(path.c_str(), "wb");
    if (file == NULL)
        return false;
    bool ok = fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return fclose(file) == 0 && ok;
}

Bytes settingsBytes(uint32_t activeList)
{
    SettingsRecord record = settingsRecord(activeList, 0, 0);
    unsigned char file[SettingsFileSize];
    EncodeSettingsFile(&record, file);
    return Bytes(file, file + sizeof file);
}

enum Damage { SettingsDamage, ActiveListDamage, ListDamage, ListIsFolder, HugeList };

struct DamageCase {
    const char *name;
    Damage damage;
    Bytes (*bytes)();
    const char *told;   // in the message box at start; NULL for none
    int entries;        // shown in the main window
};

const Entries FirstList = {"one", "two", "three"};

Bytes emptyFile() { return Bytes(); }
Bytes shortSettings() { Bytes b = settingsBytes(1); b.pop_back(); return b; }
Bytes flippedSettings() { Bytes b = settingsBytes(1); b[300] ^= 0x10; return b; }
Bytes activeZero() { return settingsBytes(0); }
Bytes activeFour() { return settingsBytes(4); }
Bytes activeAllOnes() { return settingsBytes(0xFFFFFFFFu); }
Bytes length4010() { Bytes b = withLength(encodeListFile({"kept"}), 4010); b.resize(b.size() + 5000, 'z'); return b; }
Bytes lengthAllOnes() { Bytes b = withLength(encodeListFile({"kept", "too"}), 0xFFFFFFFFu); b.resize(b.size() + 1000000, 'w'); return b; }
Bytes cutShort() { Bytes b = encodeListFile(FirstList); b.resize(b.size() - 2); return b; }
Bytes randomBytes()
{
    Bytes b = encodeListFile({"valid"});
    std::mt19937 random(8);
    for (int i = 0; i < 4096; i++)
        b.push_back((unsigned char)random());
    // The record after "valid" has a length that cannot be read whole.
    b[11] = 0xFF;
    b[12] = 0xFF;
    return b;
}
Bytes hugeList()
{
    Entries entries;
    for (int i = 0; i < 100000; i++)
        entries.push_back("entry " + std::to_string(i));
    return encodeListFile(entries);
}

const DamageCase damageCases[] = {
    {"EmptySettings", SettingsDamage, emptyFile, "The settings file was damaged", 3},
    {"ShortSettings", SettingsDamage, shortSettings, "The settings file was damaged", 3},
    {"FlippedSettings", SettingsDamage, flippedSettings, "The settings file was damaged", 3},
    {"ActiveListZero", ActiveListDamage, activeZero, nullptr, 3},
    {"ActiveListFour", ActiveListDamage, activeFour, nullptr, 3},
    {"ActiveListAllOnes", ActiveListDamage, activeAllOnes, nullptr, 3},
    {"ListLength4010", ListDamage, length4010, "only 1 entries could be read", 1},
    {"ListLengthAllOnes", ListDamage, lengthAllOnes, "only 2 entries could be read", 2},
    {"ListCutShort", ListDamage, cutShort, "only 2 entries could be read", 2},
    {"ListRandomBytes", ListDamage, randomBytes, "only 1 entries could be read", 1},
    {"ListIsAFolder", ListIsFolder, emptyFile, "could not be read", 0},
    {"HundredThousandEntries", HugeList, hugeList, nullptr, 100000},
};

struct DamagedFiles : Drill, ::testing::WithParamInterface<DamageCase> {};

TEST_P(DamagedFiles, StartSaysWhatItMustKeepsTheCopyAndExits)
{
    const DamageCase &c = GetParam();
    Entries lists[3] = {FirstList, {"second"}, {"third"}};
    ASSERT_TRUE(writeDataFiles(1, 0, 0, lists));
    Bytes damaged = c.bytes();
    std::string damagedPath = c.damage == SettingsDamage || c.damage == ActiveListDamage ? dataFile("Vombly.cfg")
                                                                                         : listFilePath(1);
    if (c.damage == ListIsFolder) {
        DeleteFileA(damagedPath.c_str());
        ASSERT_TRUE(CreateDirectoryA(damagedPath.c_str(), NULL));
    } else {
        ASSERT_TRUE(writeBytes(damagedPath, damaged));
    }
    tally.faults++;

    VomblyProcess vombly = startVombly("/SM");
    if (c.told != nullptr) {
        MessageBoxSeen box = answerBox(vombly, IDOK, StartTimeoutMs);
        ASSERT_NE(nullptr, box.window) << "no message at start";
        EXPECT_NE(std::string::npos, box.text.find(c.told)) << box.text;
    }
    HWND window = waitForMainWindow(vombly, 60000);
    ASSERT_NE(nullptr, window);
    EXPECT_EQ(c.entries, entryCount(listBoxOf(window)));
    EXPECT_EQ(nullptr, findVisibleWindow("Vombly", "#32770", vombly.pid)) << "a second message";
    EXPECT_TRUE(exitThroughMenu(vombly, window));

    // The damaged file is kept whole beside itself.
    if (c.damage == SettingsDamage || c.damage == ListDamage) {
        tally.filesChecked++;
        if (readFileBytes(damagedPath + ".damaged") != damaged) {
            tally.filesLost++;
            ADD_FAILURE() << "the damaged file was not kept whole";
        }
    }
    // What the program wrote decodes: the settings file always, with list 1
    // active.
    tally.filesChecked++;
    SettingsRecord settings;
    if (!readUsersSettings(&settings)) {
        tally.filesLost++;
        ADD_FAILURE() << "the settings file does not verify";
    }
    EXPECT_EQ(1u, settings.activeList);
    for (int list = 2; list <= 3; list++) {
        tally.filesChecked++;
        bool ok = false;
        if (readUsersList(list, &ok) != lists[list - 1] || !ok) {
            tally.filesLost++;
            ADD_FAILURE() << "list " << list << " changed";
        }
    }
    // No list file other than the three.
    for (const char *stray : {"Vombly0.dat", "Vombly4.dat", "Vombly-1.dat"})
        EXPECT_FALSE(fileExists(dataFile(stray))) << stray;
}

INSTANTIATE_TEST_SUITE_P(Cases, DamagedFiles, ::testing::ValuesIn(damageCases),
                         [](const ::testing::TestParamInfo<DamageCase> &info) { return std::string(info.param.name); });

// ---- Held settings file ----------------------------------------------------

// A backup or sync tool holds the settings file through the start, denying
// reading: the start says so and runs on the defaults, and the user's names
// are never written over; once let go, the end takes them back.
TEST_F(Drill, ASettingsFileHeldAtStartIsNeverReplacedByTheDefaults)
{
    Entries lists[3] = {FirstList, {"second"}, {"third"}};
    ASSERT_TRUE(writeDataFiles(1, 0, 0, lists));
    SettingsRecord mine = settingsRecord(1, 0, 0);
    snprintf(mine.lists[0].listName, sizeof mine.lists[0].listName, "Home");
    snprintf(mine.lists[1].listName, sizeof mine.lists[1].listName, "Work");
    snprintf(mine.lists[2].listName, sizeof mine.lists[2].listName, "Other");
    ASSERT_TRUE(writeUsersSettings(mine));
    Bytes before = readFileBytes(dataFile("Vombly.cfg"));
    HANDLE held = CreateFileA(dataFile("Vombly.cfg").c_str(), GENERIC_READ, FILE_SHARE_DELETE, NULL, OPEN_EXISTING, 0, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    tally.faults++;

    VomblyProcess vombly = startVombly("/SM");
    MessageBoxSeen box = answerBox(vombly, IDOK, StartTimeoutMs);
    ASSERT_NE(nullptr, box.window) << "no message at start";
    EXPECT_NE(std::string::npos, box.text.find("The settings file could not be read")) << box.text;
    HWND window = waitForMainWindow(vombly, 60000);
    ASSERT_NE(nullptr, window);
    CloseHandle(held);
    tally.filesChecked++;
    if (readFileBytes(dataFile("Vombly.cfg")) != before) {
        tally.filesLost++;
        ADD_FAILURE() << "the held settings file was written over";
    }

    EXPECT_TRUE(exitThroughMenu(vombly, window));
    SettingsRecord settings;
    Entries now[3];
    checkDataFiles(&tally, &settings, now);
    EXPECT_STREQ("Home", settings.lists[0].listName);
    EXPECT_STREQ("Work", settings.lists[1].listName);
    EXPECT_STREQ("Other", settings.lists[2].listName);
    if (strcmp(settings.lists[1].listName, "Work") != 0)
        tally.filesLost++;
}

// ---- Clipboard held ---------------------------------------------------------

TEST_F(Drill, ClipboardHeldDuringADoubleClick)
{
    Entries lists[3] = {FirstList, {"second"}, {"third"}};
    // The window would go to the tray after a selection.
    ASSERT_TRUE(writeDataFiles(1, 0, 1, lists));
    VomblyProcess vombly = startVombly("/SM");
    HWND window = waitForMainWindow(vombly);
    ASSERT_NE(nullptr, window);
    ASSERT_TRUE(setClipboardText(NULL, "before"));
    ASSERT_NE(nullptr, holdClipboard(6000));
    tally.faults++;
    DWORD start = GetTickCount();
    ASSERT_TRUE(doubleClickEntry(listBoxOf(window), 1));
    MessageBoxSeen box = answerBox(vombly, IDOK, 3000);
    EXPECT_LT(GetTickCount() - start, 3000u);
    ASSERT_NE(nullptr, box.window) << "no message about the busy clipboard";
    EXPECT_EQ("The clipboard is in use by another program: nothing was copied !", box.text);
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_FALSE(IsIconic(window));
    EXPECT_TRUE(answers(window, 2000));
    EXPECT_TRUE(exitThroughMenu(vombly, window));
}

// ---- Full disk --------------------------------------------------------------

// Fills the disk that holds `folder` to the brim; returns the filler's path.
std::string fillDisk(const std::string &folder)
{
    std::string filler = folder + "\\filler.bin";
    HANDLE file = CreateFileA(filler.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return "";
    static char block[4096];
    DWORD written = 0;
    while (WriteFile(file, block, sizeof block, &written, NULL) && written == sizeof block) {
    }
    while (WriteFile(file, block, 1, &written, NULL) && written == 1) {
    }
    CloseHandle(file);
    return filler;
}

bool noTemporaryFiles()
{
    for (const char *name : DefaultFileNames)
        if (fileExists(dataFile(name) + ".tmp"))
            return false;
    return true;
}

// Run inside a data folder on a small tmpfs (see disk-full.sh).
struct DiskFullDrill : ::testing::Test {
    DrillTally tally;
    VomblyProcess vombly = {};
    HWND window = NULL;

    void SetUp() override
    {
        stopAllVombly();
        // It fills the disk of the data folder: only ever the small one that
        // disk-full.sh mounts, never the machine's own.
        char onSmallDisk[8] = "";
        if (GetEnvironmentVariableA("VOMBLY_SMALL_DISK", onSmallDisk, sizeof onSmallDisk) == 0)
            GTEST_SKIP() << "runs only inside tests/drill/disk-full.sh";
    }

    // Vombly started on list 1 of three small lists.
    void startOnTheLists()
    {
        Entries lists[3] = {FirstList, {"second"}, {"third"}};
        ASSERT_TRUE(writeDataFiles(1, 0, 0, lists));
        vombly = startVombly("/SM");
        window = waitForMainWindow(vombly);
        ASSERT_NE(nullptr, window);
    }
    void TearDown() override
    {
        stopAllVombly();
        recordTally("DiskFullDrill", tally);
    }
};

TEST_F(DiskFullDrill, MessagesOldFilesWholeAndEverythingSavedOnceThereIsRoom)
{
    ASSERT_NO_FATAL_FAILURE(startOnTheLists());
    std::string filler = fillDisk(dataFolder());
    ASSERT_FALSE(filler.empty());
    Bytes list1 = readFileBytes(listFilePath(1));

    // The add fails: told once, the entry stays on screen.
    ASSERT_TRUE(clickControl(window, IDC_ADD));
    HWND dialog = waitForDialog("Vombly - Add String", vombly.pid);
    ASSERT_NE(nullptr, dialog);
    typeText("typed on a full disk");
    ASSERT_TRUE(waitFor([&] { return windowText(GetDlgItem(dialog, 1004)) == "typed on a full disk"; }, UiTimeoutMs));
    press(VK_RETURN);
    MessageBoxSeen box = answerBox(vombly, IDOK);
    ASSERT_NE(nullptr, box.window);
    tally.faults++;
    EXPECT_NE(std::string::npos, box.text.find("The entries of list 1 could not be saved !")) << box.text;
    EXPECT_NE(std::string::npos, box.text.find("They stay on screen")) << box.text;
    Entries withTyped = FirstList;
    withTyped.push_back("typed on a full disk");
    EXPECT_EQ(withTyped, listBoxEntries(listBoxOf(window)));

    // Toggle List keeps the list.
    ASSERT_TRUE(clickControl(window, IDC_TOGGLE));
    box = answerBox(vombly, IDOK);
    ASSERT_NE(nullptr, box.window);
    tally.faults++;
    EXPECT_NE(std::string::npos, box.text.find("so the list stays on screen !")) << box.text;
    EXPECT_EQ(withTyped, listBoxEntries(listBoxOf(window)));

    // Exit says so; Retry on a disk still full says so again; Cancel goes
    // on to the Exit dialog, where Cancel keeps the program.
    ASSERT_TRUE(chooseMenu(window, "File", "Exit"));
    box = answerBox(vombly, IDRETRY);
    ASSERT_NE(nullptr, box.window);
    EXPECT_NE(std::string::npos, box.text.find("Some changes could not be saved")) << box.text;
    box = answerBox(vombly, IDCANCEL);
    ASSERT_NE(nullptr, box.window);
    tally.faults += 2;
    MessageBoxSeen quit = messageBox("Vombly - Quit", UiTimeoutMs, vombly.pid);
    ASSERT_NE(nullptr, quit.window);
    ASSERT_TRUE(clickControl(quit.window, IDCANCEL));

    // The old files stay whole, and nothing is left behind.
    tally.filesChecked++;
    if (readFileBytes(listFilePath(1)) != list1) {
        tally.filesLost++;
        ADD_FAILURE() << "list 1 changed on a full disk";
    }
    EXPECT_TRUE(noTemporaryFiles());

    // Once there is room, the next save writes everything on screen.
    ASSERT_TRUE(DeleteFileA(filler.c_str()));
    ASSERT_TRUE(clickControl(window, IDC_TOGGLE));
    ASSERT_TRUE(waitFor([&] { return listBoxEntries(listBoxOf(window)) == Entries{"second"}; }, UiTimeoutMs));
    EXPECT_TRUE(exitThroughMenu(vombly, window));
    SettingsRecord settings;
    Entries now[3];
    checkDataFiles(&tally, &settings, now);
    EXPECT_EQ(withTyped, now[0]);
    EXPECT_EQ(2u, settings.activeList);
    EXPECT_TRUE(noTemporaryFiles());
}

// Fills the disk, adds `text` (the failed save is told once) and gives the
// filler's path; empty when a step failed.
std::string addOnAFullDisk(const VomblyProcess &vombly, HWND window, const char *text, DrillTally *tally)
{
    std::string filler = fillDisk(dataFolder());
    if (filler.empty() || !addEntry(vombly, window, text))
        return "";
    MessageBoxSeen box = answerBox(vombly, IDOK);
    EXPECT_NE(std::string::npos, box.text.find("The entries of list 1 could not be saved !")) << box.text;
    tally->faults++;
    return box.window != NULL ? filler : "";
}

// A log-off ends Vombly without a box; what waited for room is then saved.
TEST_F(DiskFullDrill, ALogOffWithAFailedSavePendingSavesItOnceThereIsRoom)
{
    ASSERT_NO_FATAL_FAILURE(startOnTheLists());
    std::string filler = addOnAFullDisk(vombly, window, "logoff-1", &tally);
    ASSERT_FALSE(filler.empty());
    ASSERT_TRUE(DeleteFileA(filler.c_str()));

    DWORD_PTR answer = 0;
    ASSERT_TRUE(sendTimeout(window, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, &answer, 5000));
    EXPECT_EQ((DWORD_PTR)TRUE, answer);
    sendTimeout(window, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, &answer, 5000);
    EXPECT_EQ(0u, waitForExit(vombly, UiTimeoutMs));
    SettingsRecord settings;
    Entries now[3];
    checkDataFiles(&tally, &settings, now);
    Entries withTyped = FirstList;
    withTyped.push_back("logoff-1");
    EXPECT_EQ(withTyped, now[0]);
    if (now[0] != withTyped)
        tally.filesLost++;
}

// Remove on a list whose save failed acts on what is on screen.
TEST_F(DiskFullDrill, RemoveAfterAFailedSaveKeepsTheUnsavedEntry)
{
    ASSERT_NO_FATAL_FAILURE(startOnTheLists());
    std::string filler = addOnAFullDisk(vombly, window, "lost-1", &tally);
    ASSERT_FALSE(filler.empty());
    ASSERT_TRUE(removeEntry(vombly, window, 0));
    tally.faults++;
    Entries expected(FirstList.begin() + 1, FirstList.end());
    expected.push_back("lost-1");
    EXPECT_EQ(expected, listBoxEntries(listBoxOf(window)));

    ASSERT_TRUE(DeleteFileA(filler.c_str()));
    EXPECT_TRUE(exitThroughMenu(vombly, window));
    SettingsRecord settings;
    Entries now[3];
    checkDataFiles(&tally, &settings, now);
    EXPECT_EQ(expected, now[0]);
    if (now[0] != expected)
        tally.filesLost++;
}

// The setup run silently over the running copy (an update), and the
// uninstaller run silently (keeping the data), each while a save that
// failed on the full disk waits and after the disk has room again: each
// ends the copy through its own clean end, exits with 0, and the entry is
// in the file; the update's restarted copy shows it.
TEST_F(DiskFullDrill, ASilentUpdateOrUninstallWithAFailedSavePendingSavesIt)
{
    const struct Case {
        const char *name;
        const char *entry;
        bool update;
    } cases[] = {{"silent update", "update-1", true}, {"silent uninstall", "uninstall-1", false}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        removeInstallation();
        ASSERT_EQ(0u, runAndWait(testSetup(), "/S"));
        std::string folder = expectedInstallFolder();
        Entries lists[3] = {FirstList, {"second"}, {"third"}};
        ASSERT_TRUE(writeDataFiles(1, 0, 0, lists));
        vombly = startVomblyFrom(folder, folder, "/SM");
        window = waitForMainWindow(vombly);
        ASSERT_NE(nullptr, window);
        std::string filler = addOnAFullDisk(vombly, window, c.entry, &tally);
        ASSERT_FALSE(filler.empty());
        ASSERT_TRUE(DeleteFileA(filler.c_str()));

        if (c.update) {
            EXPECT_EQ(0u, runAndWait(testSetup(), "/S"));
        } else {
            EXPECT_EQ(0u, runRegisteredUninstall("QuietUninstallString", ""));
            EXPECT_TRUE(waitUntilUninstalled(folder)) << "not uninstalled within " << UninstallTimeoutMs << " ms";
        }
        EXPECT_EQ(0u, waitForExit(vombly, ExitTimeoutMs)) << "the running copy did not end cleanly";
        tally.faults++;
        SettingsRecord settings;
        Entries now[3];
        checkDataFiles(&tally, &settings, now);
        Entries withTyped = FirstList;
        withTyped.push_back(c.entry);
        EXPECT_EQ(withTyped, now[0]);
        if (now[0] != withTyped)
            tally.filesLost++;

        if (c.update) {
            HWND restarted = NULL;
            EXPECT_TRUE(waitFor(
                [&] {
                    restarted = FindWindowA(MainClass, MainTitle);
                    DWORD pid = 0;
                    return restarted != NULL && GetWindowThreadProcessId(restarted, &pid) && pid != vombly.pid;
                },
                StartTimeoutMs))
                << "not started again after the update";
            EXPECT_TRUE(waitFor([&] { return listBoxEntries(listBoxOf(restarted)) == withTyped; }, UiTimeoutMs))
                << ::testing::PrintToString(listBoxEntries(listBoxOf(restarted)));
        }
        stopAllVombly();
        removeInstallation();
        if (HasFatalFailure())
            break;
    }
}

} // namespace
