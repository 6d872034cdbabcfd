// Saves that fail: the user is told once what could not be saved and why,
// the entries stay on screen, every later save tries again, Toggle List keeps
// a list whose entries are not in its file, and Exit offers to try again.
#include <windows.h>
#include <gtest/gtest.h>
#include <stdio.h>
#include <string.h>
#include <string>
#include <vector>

#include "shell/lifecycle.h"
#include "system/notices.h"
#include "system/string_cache.h"
#include "system/window_slots.h"
#include "res/resource.h"
#include "view/lists.h"
#include "store/safe_write.h"
#include "store/settings.h"
#include "view/save_settings.h"
#include "tests/common/list_bytes.h"
#include "tests/win/main_window_util.h"

typedef std::vector<std::string> Entries;

// The system's own words for an error, as the messages quote them.
static std::string systemText(DWORD error)
{
    char text[512] = "";
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, NULL, error, 0, text,
                                  sizeof text, NULL);
    while (length > 0 && (text[length - 1] == '\n' || text[length - 1] == '\r' || text[length - 1] == ' '))
        text[--length] = '\0';
    return text;
}

struct FailedSavesTest : MainWindowFixture {
    DialogDriver boxes;
    bool watching = false;
    HANDLE held = INVALID_HANDLE_VALUE;

    void TearDown() override
    {
        if (watching)
            finishDialogDriver(&boxes);
        release();
        SetSafeWriteFaultStep(0);
        MainWindowFixture::TearDown();
    }
    void watch(WORD answer = IDOK)
    {
        startBoxAnswerer(&boxes, "Vombly", answer);
        watching = true;
    }
    void stopWatching()
    {
        finishDialogDriver(&boxes);
        watching = false;
    }
    std::string listPath(int list) { return dataFolder + "Vombly" + std::to_string(list) + ".dat"; }
    // Another program holds the temporary file that every save of `path`
    // goes through, so each of them fails until released.
    void hold(const std::string &path)
    {
        held = CreateFileA((path + ".tmp").c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
        ASSERT_NE(INVALID_HANDLE_VALUE, held);
    }
    void release()
    {
        if (held == INVALID_HANDLE_VALUE)
            return;
        CloseHandle(held);
        held = INVALID_HANDLE_VALUE;
    }
    HWND listBox() { return WindowSlot(0, IDC_LISTBOX, NULL); }
    void add(const char *text)
    {
        SendMessageA(listBox(), LB_ADDSTRING, 0, (LPARAM)text);
        SendMessageA(window, WM_COMMAND, CMD_SAVE_LIST, 0);
    }
    Entries shown()
    {
        Entries entries;
        LRESULT count = SendMessageA(listBox(), LB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < count; i++) {
            char text[256] = "";
            SendMessageA(listBox(), LB_GETTEXT, (WPARAM)i, (LPARAM)text);
            entries.push_back(text);
        }
        return entries;
    }
};

TEST_F(FailedSavesTest, AFailedListSaveIsToldOnceAndEveryLaterSaveTriesAgain)
{
    lists[0] = {"kiwi"};
    ASSERT_NO_FATAL_FAILURE(openMainWindow());
    Bytes before = readFileBytes(listPath(1));
    ASSERT_NO_FATAL_FAILURE(hold(listPath(1)));
    watch();
    add("first unsaved");
    add("second unsaved");
    stopWatching();

    EXPECT_EQ(1, boxes.seen);
    EXPECT_NE(std::string::npos, boxes.texts.find("The entries of list 1 could not be saved !")) << boxes.texts;
    EXPECT_NE(std::string::npos, boxes.texts.find(systemText(ERROR_SHARING_VIOLATION))) << boxes.texts;
    EXPECT_NE(std::string::npos, boxes.texts.find("They stay on screen")) << boxes.texts;
    EXPECT_EQ(before, readFileBytes(listPath(1)));
    EXPECT_EQ((Entries{"kiwi", "first unsaved", "second unsaved"}), shown());

    // A different failure is told again; once the disk takes the file, the
    // next save writes everything on screen.
    release();
    watch();
    SetSafeWriteFaultStep(2);
    add("third");
    stopWatching();
    EXPECT_EQ(1, boxes.seen);
    EXPECT_NE(std::string::npos, boxes.texts.find(systemText(ERROR_DISK_FULL))) << boxes.texts;
    watch();
    add("fourth");
    stopWatching();
    EXPECT_EQ(0, boxes.seen) << boxes.texts;
    EXPECT_EQ(encodeListFile({"kiwi", "first unsaved", "second unsaved", "third", "fourth"}),
              readFileBytes(listPath(1)));
    EXPECT_FALSE(fileExists(listPath(1) + ".tmp"));
}

TEST_F(FailedSavesTest, ASettingsSaveThatFailsIsToldOnce)
{
    ASSERT_NO_FATAL_FAILURE(openMainWindow());
    Bytes before = readFileBytes(settingsPath());
    ASSERT_NO_FATAL_FAILURE(hold(settingsPath()));
    watch();
    SetListName(2, "renamed");
    EXPECT_EQ(0, SaveSettings());
    EXPECT_EQ(0, SaveSettings());
    stopWatching();
    EXPECT_EQ(1, boxes.seen);
    EXPECT_NE(std::string::npos, boxes.texts.find("The settings could not be saved !")) << boxes.texts;
    EXPECT_EQ(before, readFileBytes(settingsPath()));

    release();
    EXPECT_EQ(1, SaveSettings());
    *GetSettingsRecord() = SettingsRecord{};
    ASSERT_EQ(1, LoadSettings());
    EXPECT_STREQ("renamed", GetListName(2));
}

TEST_F(FailedSavesTest, ToggleKeepsAListWhoseEntriesAreNotInItsFile)
{
    lists[0] = {"kiwi"};
    ASSERT_NO_FATAL_FAILURE(openMainWindow());
    ASSERT_NO_FATAL_FAILURE(hold(listPath(1)));
    watch();
    add("unsaved");
    SendMessageA(window, WM_COMMAND, IDM_TOGGLE, 0);
    stopWatching();
    // The failed save, then the refused toggle.
    EXPECT_EQ(2, boxes.seen);
    EXPECT_EQ(1u, GetActiveList());
    EXPECT_EQ((Entries{"kiwi", "unsaved"}), shown());

    // Once the file can be written, the toggle saves first and moves on.
    release();
    watch();
    SendMessageA(window, WM_COMMAND, IDM_TOGGLE, 0);
    stopWatching();
    EXPECT_EQ(0, boxes.seen) << boxes.texts;
    EXPECT_EQ(2u, GetActiveList());
    EXPECT_EQ(lists[1].size(), shown().size());
    EXPECT_EQ(encodeListFile({"kiwi", "unsaved"}), readFileBytes(listPath(1)));
}

TEST_F(FailedSavesTest, TheRefusedToggleSaysWhy)
{
    ASSERT_NO_FATAL_FAILURE(openMainWindow());
    ASSERT_NO_FATAL_FAILURE(hold(listPath(1)));
    watch();
    add("unsaved");
    stopWatching();
    watch();
    SendMessageA(window, WM_COMMAND, IDM_TOGGLE, 0);
    stopWatching();
    EXPECT_EQ(1, boxes.seen);
    EXPECT_NE(std::string::npos, boxes.texts.find("could not be saved, so the list stays on screen !")) << boxes.texts;
    EXPECT_NE(std::string::npos, boxes.texts.find(systemText(ERROR_SHARING_VIOLATION))) << boxes.texts;
}

TEST_F(FailedSavesTest, TheTimerSaveTriesTheListAgain)
{
    lists[0] = {"kiwi"};
    ASSERT_NO_FATAL_FAILURE(openMainWindow());
    ASSERT_NO_FATAL_FAILURE(hold(listPath(1)));
    watch();
    add("unsaved");
    stopWatching();
    release();
    // The first tick is a saving one.
    SendMessageA(window, WM_TIMER, 0, 0);
    EXPECT_EQ(encodeListFile({"kiwi", "unsaved"}), readFileBytes(listPath(1)));
}

struct ExitCase {
    const char *label;
    WORD answer;        // to the box about unsaved changes
    bool savedAtExit;   // the entry is in its file when the Exit dialog shows
};

TEST_F(FailedSavesTest, ExitWithUnsavedChangesSaysSoAndOffersToTryAgain)
{
    ExitCase cases[] = {
        {"Retry saves", IDRETRY, true},
        {"Cancel goes on to the Exit dialog", IDCANCEL, false},
    };
    lists[0] = {"kiwi"};
    ASSERT_NO_FATAL_FAILURE(openMainWindow());
    for (const ExitCase &c : cases) {
        SCOPED_TRACE(c.label);
        Bytes before = readFileBytes(listPath(1));
        watch();
        SetSafeWriteFaultStep(1);
        add(c.label);
        stopWatching();
        ASSERT_EQ(1, boxes.seen);

        // The silent retry before the box fails too; the next one works.
        SetSafeWriteFaultStep(1);
        DialogDriver exitBox;
        ASSERT_NO_FATAL_FAILURE(startBoxAnswerer(&exitBox, "Vombly - Quit", IDCANCEL));
        watch(c.answer);
        SendMessageA(window, WM_COMMAND, IDM_EXIT, 0);
        stopWatching();
        finishDialogDriver(&exitBox);
        EXPECT_EQ(1, boxes.seen);
        EXPECT_NE(std::string::npos, boxes.texts.find("Some changes could not be saved")) << boxes.texts;
        // The Exit dialog still comes, after the box.
        EXPECT_EQ(1, exitBox.seen);
        EXPECT_FALSE(takeQuitMessage());
        if (c.savedAtExit)
            EXPECT_EQ(encodeListFile({"kiwi", "Retry saves"}), readFileBytes(listPath(1)));
        else
            EXPECT_EQ(before, readFileBytes(listPath(1)));
    }
}

TEST_F(FailedSavesTest, ExitWithEverythingSavedShowsOnlyTheExitDialog)
{
    ASSERT_NO_FATAL_FAILURE(openMainWindow());
    add("saved");
    DialogDriver exitBox;
    ASSERT_NO_FATAL_FAILURE(startBoxAnswerer(&exitBox, "Vombly - Quit", IDCANCEL));
    watch();
    SendMessageA(window, WM_COMMAND, IDM_EXIT, 0);
    stopWatching();
    finishDialogDriver(&exitBox);
    EXPECT_EQ(0, boxes.seen) << boxes.texts;
    EXPECT_EQ(1, exitBox.seen);
}

// The list box is the only copy of entries whose save failed: a command
// that would show the list as its file holds keeps them instead, and the
// next good save writes them with the command's own change.
TEST_F(FailedSavesTest, RemoveAfterAFailedSaveKeepsTheUnsavedEntries)
{
    const struct {
        const char *label;
        WORD answer;
        Entries after;
    } cases[] = {
        {"Cancel", IDCANCEL, {"kiwi", "apple", "lost-1"}},
        {"Remove", IDOK, {"apple", "lost-1"}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.label);
        lists[0] = {"kiwi", "apple"};
        ASSERT_NO_FATAL_FAILURE(openMainWindow());
        ASSERT_NO_FATAL_FAILURE(hold(listPath(1)));
        watch();
        add("lost-1");
        SendMessageA(listBox(), LB_SETCURSEL, 0, 0);
        DialogDriver removeBox;
        ASSERT_NO_FATAL_FAILURE(startBoxAnswerer(&removeBox, "Vombly - Remove String", c.answer));
        SendMessageA(window, WM_COMMAND, IDM_REMOVE, 0);
        finishDialogDriver(&removeBox);
        stopWatching();
        EXPECT_EQ(1, removeBox.seen);
        EXPECT_EQ(1, boxes.seen) << boxes.texts;
        EXPECT_EQ(c.after, shown());

        release();
        SendMessageA(window, WM_COMMAND, CMD_SAVE_LIST, 0);
        EXPECT_EQ(encodeListFile(c.after), readFileBytes(listPath(1)));
        closeMainWindow();
        ReleaseMutex(screenLock);
        CloseHandle(screenLock);
        screenLock = NULL;
    }
}

// A list whose file cannot be read shows nothing and its file is never
// written: adding to it would only seem to work, so it is refused, and the
// file is read again at the next try.
TEST_F(FailedSavesTest, AListThatCannotBeReadRefusesChangesUntilItCanBeRead)
{
    lists[1] = {"zulu"};
    ASSERT_NO_FATAL_FAILURE(openMainWindow());
    ASSERT_TRUE(DeleteFileA(listPath(2).c_str()));
    ASSERT_TRUE(CreateDirectoryA(listPath(2).c_str(), NULL));
    watch();
    SendMessageA(window, WM_COMMAND, IDM_TOGGLE, 0);
    stopWatching();
    ASSERT_EQ(2u, GetActiveList());
    EXPECT_NE(std::string::npos, boxes.texts.find("The file of list 2 could not be read")) << boxes.texts;

    const struct {
        const char *label;
        WORD command;
        const char *dialog;  // what it would open
    } cases[] = {
        {"Add", IDM_ADD, "Vombly - Add String"},
        {"Import", IDM_LIST_IMPORT, "Import into This List"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.label);
        DialogDriver opened;
        ASSERT_NO_FATAL_FAILURE(startBoxAnswerer(&opened, c.dialog, IDCANCEL));
        watch();
        SendMessageA(window, WM_COMMAND, c.command, 0);
        stopWatching();
        finishDialogDriver(&opened);
        EXPECT_EQ(0, opened.seen);
        EXPECT_EQ(1, boxes.seen);
        EXPECT_NE(std::string::npos, boxes.texts.find("nothing can be added to this list")) << boxes.texts;
        EXPECT_TRUE(shown().empty());
    }

    // Once the file can be read, the next change reads it first.
    ASSERT_TRUE(RemoveDirectoryA(listPath(2).c_str()));
    writeListFile(listPath(2), {"zulu", "yankee"});
    DialogDriver addBox;
    ASSERT_NO_FATAL_FAILURE(startBoxAnswerer(&addBox, "Vombly - Add String", IDCANCEL));
    watch();
    SendMessageA(window, WM_COMMAND, IDM_ADD, 0);
    stopWatching();
    finishDialogDriver(&addBox);
    EXPECT_EQ(1, addBox.seen);
    EXPECT_EQ(0, boxes.seen) << boxes.texts;
    EXPECT_EQ((Entries{"zulu", "yankee"}), shown());
    EXPECT_EQ(encodeListFile({"zulu", "yankee"}), readFileBytes(listPath(2)));
}

// Every way of ending runs the one clean end: failed saves are tried again,
// and what still cannot be saved is kept beside its list, without any box
// that would hold a log-off or the setup.
TEST_F(FailedSavesTest, EveryWayOfEndingSavesOrKeepsWhatWasNotSaved)
{
    const struct {
        const char *label;
        bool endSession;  // else the setup's exit request
        bool spaceFreed;  // the disk takes the file again before the end
    } cases[] = {
        {"log-off, space freed", true, true},
        {"log-off, still failing", true, false},
        {"setup's request, space freed", false, true},
        {"setup's request, still failing", false, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.label);
        lists[0] = {"kiwi"};
        DeleteFileA((listPath(1) + ".unsaved").c_str());
        ASSERT_NO_FATAL_FAILURE(openMainWindow());
        ASSERT_NO_FATAL_FAILURE(hold(listPath(1)));
        watch();
        add("logoff-1");
        stopWatching();
        ASSERT_EQ(1, boxes.seen);
        if (c.spaceFreed)
            release();

        watch();
        if (c.endSession) {
            EXPECT_EQ(TRUE, SendMessageA(window, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF));
            SendMessageA(window, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
        } else {
            EXPECT_EQ(1, SendMessageA(window, RegisterWindowMessageA("Vombly-Exit-Request"), 0, 0));
        }
        stopWatching();
        EXPECT_EQ(0, boxes.seen) << boxes.texts;
        EXPECT_TRUE(takeQuitMessage());
        release();
        const Bytes both = encodeListFile({"kiwi", "logoff-1"});
        if (c.spaceFreed) {
            EXPECT_EQ(both, readFileBytes(listPath(1)));
            EXPECT_FALSE(fileExists(listPath(1) + ".unsaved"));
        } else {
            EXPECT_EQ(encodeListFile({"kiwi"}), readFileBytes(listPath(1)));
            EXPECT_EQ(both, readFileBytes(listPath(1) + ".unsaved"));
        }
        // The next start of a real program knows of no failed save; this
        // process goes on, so a good save forgets it.
        SaveActiveList();
        closeMainWindow();
        ReleaseMutex(screenLock);
        CloseHandle(screenLock);
        screenLock = NULL;
    }
}

TEST_F(FailedSavesTest, EntriesKeptAtTheLastEndAreOfferedAtTheNextStart)
{
    const struct {
        const char *label;
        WORD answer;
        Entries shownAfter;
        bool keptStays;
    } cases[] = {
        {"No leaves them for the next start", IDNO, {"kiwi"}, true},
        {"Yes puts them back", IDYES, {"kiwi", "kept-1"}, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.label);
        lists[0] = {"kiwi"};
        const Bytes kept = encodeListFile({"kiwi", "kept-1"});
        writeFileBytes(listPath(1) + ".unsaved", kept);
        watch(c.answer);
        ASSERT_NO_FATAL_FAILURE(openMainWindow());
        stopWatching();
        EXPECT_EQ(1, boxes.seen);
        EXPECT_NE(std::string::npos, boxes.texts.find(listPath(1) + ".unsaved")) << boxes.texts;
        EXPECT_EQ(c.shownAfter, shown());
        EXPECT_EQ(encodeListFile(c.shownAfter), readFileBytes(listPath(1)));
        EXPECT_EQ(c.keptStays, fileExists(listPath(1) + ".unsaved"));
        closeMainWindow();
        ReleaseMutex(screenLock);
        CloseHandle(screenLock);
        screenLock = NULL;
    }
}

// An entry too long for a list file is left out of it, and the save that
// leaves it out says so (once), instead of reporting a plain success.
TEST_F(FailedSavesTest, ASaveThatLeavesAnEntryOutSaysSo)
{
    lists[0] = {"kiwi"};
    ASSERT_NO_FATAL_FAILURE(openMainWindow());
    const std::string huge(ListEntryBufferSize + 100, 'h');
    SendMessageA(listBox(), LB_ADDSTRING, 0, (LPARAM)huge.c_str());
    SendMessageA(listBox(), LB_ADDSTRING, 0, (LPARAM) "after it");
    watch();
    EXPECT_EQ(1, SaveActiveList());
    EXPECT_EQ(1, SaveActiveList());
    stopWatching();
    EXPECT_EQ(1, boxes.seen);
    EXPECT_NE(std::string::npos, boxes.texts.find("Entry 2 of list 1 is longer than a list file keeps")) << boxes.texts;
    EXPECT_EQ(encodeListFile({"kiwi", "after it"}), readFileBytes(listPath(1)));
}

// File, Exit, Quit with a save still failing: the entries are kept beside
// the list, and the user, who is there, is told where.
TEST_F(FailedSavesTest, QuitWithASaveStillFailingKeepsTheEntriesAndSaysWhere)
{
    lists[0] = {"kiwi"};
    DeleteFileA((listPath(1) + ".unsaved").c_str());
    ASSERT_NO_FATAL_FAILURE(openMainWindow());
    ASSERT_NO_FATAL_FAILURE(hold(listPath(1)));
    watch();
    add("typed");
    stopWatching();
    DialogDriver exitBox;
    ASSERT_NO_FATAL_FAILURE(startBoxAnswerer(&exitBox, "Vombly - Quit", IDOK));
    watch(IDCANCEL);
    SendMessageA(window, WM_COMMAND, IDM_EXIT, 0);
    stopWatching();
    finishDialogDriver(&exitBox);
    EXPECT_EQ(1, exitBox.seen);
    EXPECT_TRUE(takeQuitMessage());
    // Whether to try again, then where the entries went.
    EXPECT_EQ(2, boxes.seen) << boxes.texts;
    EXPECT_NE(std::string::npos, boxes.texts.find("Some changes could not be saved")) << boxes.texts;
    release();
    EXPECT_EQ(encodeListFile({"kiwi", "typed"}), readFileBytes(listPath(1) + ".unsaved"));
}

// Settings that cannot be saved at the end are kept too, and offered back
// at the next start.
TEST_F(FailedSavesTest, SettingsThatCannotBeSavedAtTheEndAreKeptAndOfferedBack)
{
    DeleteFileA((settingsPath() + ".unsaved").c_str());
    ASSERT_NO_FATAL_FAILURE(openMainWindow());
    ASSERT_NO_FATAL_FAILURE(hold(settingsPath()));
    watch();
    SetListName(2, "renamed");
    EXPECT_EQ(0, SaveSettings());
    stopWatching();
    watch();
    SendMessageA(window, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
    stopWatching();
    EXPECT_EQ(0, boxes.seen) << boxes.texts;
    EXPECT_TRUE(takeQuitMessage());
    release();
    closeMainWindow();
    ReleaseMutex(screenLock);
    CloseHandle(screenLock);
    screenLock = NULL;
    ASSERT_TRUE(fileExists(settingsPath() + ".unsaved"));

    // The next start: Yes takes them.
    NoteSaveOutcome(SaveTargetSettings, 1, 0);
    watch(IDYES);
    ASSERT_NO_FATAL_FAILURE(openMainWindow());
    stopWatching();
    EXPECT_EQ(1, boxes.seen);
    EXPECT_NE(std::string::npos, boxes.texts.find("the settings could not be saved")) << boxes.texts;
    EXPECT_STREQ("renamed", GetListName(2));
    EXPECT_STREQ("renamed", savedSettings().lists[1].listName);
    EXPECT_FALSE(fileExists(settingsPath() + ".unsaved"));
}

// What the last end kept is offered only by the copy that goes on: a copy
// that finds another one running, and ends, offers nothing and leaves the
// kept files for that one.
TEST_F(FailedSavesTest, ACopyThatFindsAnotherRunningOffersNothingKept)
{
    // Main windows of parallel test processes take turns (the lock is the
    // fixture's, taken again by openMainWindow), so no other test's window
    // meets the stand-in for the running copy.
    HANDLE turn = CreateMutexA(NULL, FALSE, "VomblyTestMainWindow");
    ASSERT_NE(nullptr, turn);
    DWORD waited = WaitForSingleObject(turn, 40000);
    ASSERT_TRUE(waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED);
    HWND running = CreateWindowExA(0, "STATIC", GetString(IDS_TITLE), WS_POPUP, 0, 0, 1, 1, NULL, NULL,
                                   GetModuleHandleA(NULL), NULL);
    ASSERT_NE(nullptr, running);
    SettingsRecord kept = settings;
    snprintf(kept.lists[1].listName, ListNameSize, "kept name");
    writeSettingsFile(settingsPath() + ".unsaved", kept);
    const Bytes keptSettings = readFileBytes(settingsPath() + ".unsaved");
    const Bytes keptEntries = encodeListFile({"kiwi", "kept-1"});
    writeFileBytes(listPath(1) + ".unsaved", keptEntries);

    watch(IDYES);
    openMainWindow();
    stopWatching();
    DestroyWindow(running);
    ReleaseMutex(turn);
    CloseHandle(turn);
    EXPECT_EQ(1, boxes.seen) << boxes.texts;
    EXPECT_NE(std::string::npos, boxes.texts.find("Another copy of this program is already active !")) << boxes.texts;
    EXPECT_STRNE("kept name", GetListName(2));
    EXPECT_EQ(keptSettings, readFileBytes(settingsPath() + ".unsaved"));
    EXPECT_EQ(keptEntries, readFileBytes(listPath(1) + ".unsaved"));
}
