// Two sessions of Windows on one data folder: the first session's Vombly
// runs in this tree's prefix, the second session is a Wine prefix of its own
// (its own server and display) whose data folder is the first one's.
// two-sessions.sh runs the three steps below in turn, each in its session,
// and passes the turns by marker files in the folder VOMBLY_TWO_SESSIONS
// names; outside that script they are skipped.
#include <gtest/gtest.h>
#include <stdio.h>
#include <stdlib.h>

#include <map>
#include <string>

#include "res/resource.h"
#include "tests/drill/drill.h"
#include "tests/e2e/journey.h"

namespace {

const Entries SharedList = {"one", "two", "three"};
const char TypedBefore[] = "typed in the first session";
const char TypedAfter[] = "typed after the second session ended";

typedef std::map<std::string, Bytes> FolderFiles;

// The names of the files that differ between two looks at the folder.
std::string changedFiles(const FolderFiles &before, const FolderFiles &after)
{
    std::string names;
    for (const auto &file : before)
        if (after.count(file.first) == 0 || after.at(file.first) != file.second)
            names += " " + file.first;
    for (const auto &file : after)
        if (before.count(file.first) == 0)
            names += " " + file.first + " (new)";
    return names;
}

// Every file of the data folder with its bytes.
FolderFiles folderFiles()
{
    FolderFiles files;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((dataFolder() + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return files;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            files[found.cFileName] = readFileBytes(dataFile(found.cFileName));
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return files;
}

// The turn-taking folder, or empty outside two-sessions.sh.
std::string markerFolder()
{
    const char *folder = getenv("VOMBLY_TWO_SESSIONS");
    return folder != NULL && folder[0] == '/' ? windowsPath(folder) : "";
}

void writeMarker(const char *name)
{
    FILE *file = fopen((markerFolder() + "\\" + name).c_str(), "w");
    ASSERT_NE(nullptr, file) << "cannot write the marker " << name;
    fclose(file);
}

// Waits for the other session's step; its exit code, written by the script
// as the marker's text, or -1 when the marker never came.
int waitForMarker(const char *name)
{
    std::string path = markerFolder() + "\\" + name;
    if (!waitFor([&] { return fileExists(path); }, 240000))
        return -1;
    Bytes text = readFileBytes(path);
    return text.empty() ? -1 : atoi(std::string(text.begin(), text.end()).c_str());
}

// The first session: a journey whose Vombly holds the folder while the
// second session tries to start on it.
struct TwoSessions : Journey {
    DrillTally tally;

    void SetUp() override
    {
        if (markerFolder().empty())
            GTEST_SKIP() << "runs only inside tests/drill/two-sessions.sh";
        Journey::SetUp();
    }
    void TearDown() override
    {
        if (IsSkipped())
            return;
        Journey::TearDown();
        recordTally("TwoSessions", tally);
    }
};

TEST_F(TwoSessions, FirstSessionKeepsItsEntriesWhileASecondOneStarts)
{
    Entries lists[3] = {SharedList, {"second"}, {"third"}};
    ASSERT_TRUE(writeDataFiles(1, 0, 0, lists));
    VomblyProcess vombly = startVombly("/SM");
    HWND window = waitForMainWindow(vombly);
    ASSERT_NE(nullptr, window);
    ASSERT_TRUE(addEntry(vombly, window, TypedBefore));
    Entries shown = SharedList;
    shown.push_back(TypedBefore);
    ASSERT_TRUE(waitFor([&] { return readUsersList(1) == shown; }, UiTimeoutMs));
    // The add's saves (the list, then the settings) are all done once the
    // window waits for input again.
    ASSERT_TRUE(waitUntilIdle(window));
    FolderFiles before = folderFiles();

    ASSERT_NO_FATAL_FAILURE(writeMarker("first-ready"));
    EXPECT_EQ(0, waitForMarker("second-refused")) << "the second session's start (see its output above)";
    tally.faults++;

    // Nothing of the folder changed, and this copy goes on as it was.
    EXPECT_TRUE(isRunning(vombly));
    EXPECT_EQ("", changedFiles(before, folderFiles())) << "the second session's copy changed the data folder";
    EXPECT_EQ(shown, listBoxEntries(GetDlgItem(window, IDC_LISTBOX)));
    ASSERT_TRUE(bringToFront(window));
    ASSERT_TRUE(addEntry(vombly, window, TypedAfter));
    shown.push_back(TypedAfter);
    ASSERT_TRUE(exitThroughMenu(vombly, window));

    // Once this copy has ended, the second session starts on the folder.
    ASSERT_NO_FATAL_FAILURE(writeMarker("first-ended"));
    EXPECT_EQ(0, waitForMarker("second-started")) << "the second session's start (see its output above)";

    SettingsRecord settings;
    Entries now[3];
    checkDataFiles(&tally, &settings, now);
    EXPECT_EQ(shown, now[0]);
    if (now[0] != shown)
        tally.filesLost++;
}

// The second session's steps, in a prefix that shares the data folder.
struct SecondSession : ::testing::Test {
    void SetUp() override
    {
        if (markerFolder().empty())
            GTEST_SKIP() << "runs only inside tests/drill/two-sessions.sh";
        stopAllVombly();
    }
    void TearDown() override { stopAllVombly(); }
};

// The folder is held: the copy says so, touches no file and ends.
TEST_F(SecondSession, StartOnAHeldFolderSaysSoAndChangesNothing)
{
    FolderFiles before = folderFiles();
    for (const char *name : DefaultFileNames)
        ASSERT_EQ(1u, before.count(name)) << name << ": this session does not see the first one's data folder";
    VomblyProcess vombly = startVombly("/SM");
    MessageBoxSeen box = messageBox("Vombly", StartTimeoutMs, vombly.pid);
    ASSERT_NE(nullptr, box.window);
    EXPECT_EQ("Another copy of this program is already active with these lists, perhaps in another session of "
              "Windows:\n" +
                  dataFolder() + "\\\n\nThis copy ends, so that neither copy writes over the other's entries.",
              box.text);
    EXPECT_EQ(nullptr, findWindow(MainTitle, MainClass, vombly.pid));
    answerBox(vombly, IDOK);
    EXPECT_EQ(0u, waitForExit(vombly, ExitTimeoutMs));
    EXPECT_EQ("", changedFiles(before, folderFiles())) << "the refused copy changed the data folder";
}

// The first session's copy has ended: this one starts as usual and shows
// what the first one saved.
TEST_F(SecondSession, StartsOnceTheFirstHasEnded)
{
    VomblyProcess vombly = startVombly("/SM");
    HWND window = waitForMainWindow(vombly);
    ASSERT_NE(nullptr, window);
    Entries expected = SharedList;
    expected.push_back(TypedBefore);
    expected.push_back(TypedAfter);
    EXPECT_EQ(expected, listBoxEntries(GetDlgItem(window, IDC_LISTBOX)));
    EXPECT_EQ(nullptr, findVisibleWindow("Vombly", "#32770", vombly.pid));
}

} // namespace
