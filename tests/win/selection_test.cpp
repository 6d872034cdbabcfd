// A double-click on an entry: the text on the clipboard, the selection
// remembered and saved, the window to the tray when the user chose so; and
// what happens while some other program holds the clipboard open.
#include <windows.h>
#include <gtest/gtest.h>
#include <string.h>
#include <string>
#include <vector>

#include "app/window_slots.h"
#include "res/resource.h"
#include "store/settings.h"
#include "tests/common/win_ui.h"
#include "tests/win/main_window_util.h"
#include "view/selection.h"

static const char Sentinel[] = "sentinel before the test";


// Another thread holds the clipboard open with a window of its own until
// released; the release is bounded in case the test never gets to it.
struct ClipboardHold {
    HANDLE thread = NULL;
    HANDLE opened = NULL;
    HANDLE release = NULL;
    HWND holder = NULL;
    bool open = false;
};

static DWORD WINAPI HoldClipboardThread(void *parameter)
{
    ClipboardHold *hold = (ClipboardHold *)parameter;
    hold->holder = CreateWindowExA(0, "STATIC", "clipboard holder", WS_POPUP, 0, 0, 1, 1, NULL, NULL,
                                   GetModuleHandleA(NULL), NULL);
    hold->open = hold->holder != NULL && openClipboardFor(hold->holder);
    SetEvent(hold->opened);
    WaitForSingleObject(hold->release, 15000);
    if (hold->open)
        CloseClipboard();
    DestroyWindow(hold->holder);
    return 0;
}

static void holdClipboardOnThread(ClipboardHold *hold)
{
    hold->opened = CreateEventA(NULL, TRUE, FALSE, NULL);
    hold->release = CreateEventA(NULL, TRUE, FALSE, NULL);
    hold->thread = CreateThread(NULL, 0, HoldClipboardThread, hold, 0, NULL);
    ASSERT_NE(nullptr, hold->thread);
    // Creating the holder's window may need this thread's messages.
    pumpUntil([hold] { return WaitForSingleObject(hold->opened, 0) == WAIT_OBJECT_0; }, 5000);
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(hold->opened, 0));
    ASSERT_TRUE(hold->open) << "the holder could not open the clipboard";
    ASSERT_EQ(hold->holder, GetOpenClipboardWindow());
}

static void releaseClipboard(ClipboardHold *hold)
{
    if (hold->thread == NULL)
        return;
    SetEvent(hold->release);
    pumpUntil([hold] { return WaitForSingleObject(hold->thread, 0) == WAIT_OBJECT_0; }, 5000);
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(hold->thread, 0)) << "clipboard holder still running";
    CloseHandle(hold->thread);
    CloseHandle(hold->opened);
    CloseHandle(hold->release);
    hold->thread = NULL;
}

// Stands in for PlaySoundA while a test runs: the program's call goes through
// this executable's import slot for it, which the stand-in takes over.
extern "C" void *__imp_PlaySoundA;

struct SoundCall {
    std::string name;
    HMODULE module;
    DWORD flags;
};
static std::vector<SoundCall> soundCalls;

static BOOL WINAPI CountingPlaySound(LPCSTR name, HMODULE module, DWORD flags)
{
    soundCalls.push_back({IS_INTRESOURCE(name) ? "#" : name, module, flags});
    return TRUE;
}

// The main window doubles as the clipboard owner of the test; its lock
// also keeps parallel test processes off the shared clipboard.
struct SelectionTest : MainWindowFixture {
    ClipboardHold hold;
    void *realPlaySound = NULL;

    void SetUp() override
    {
        MainWindowFixture::SetUp();
        soundCalls.clear();
        realPlaySound = replaceImport(&__imp_PlaySoundA, (void *)CountingPlaySound);
        ASSERT_NE(nullptr, realPlaySound);
    }
    void TearDown() override
    {
        releaseClipboard(&hold);
        if (realPlaySound != NULL)
            replaceImport(&__imp_PlaySoundA, realPlaySound);
        MainWindowFixture::TearDown();
    }
    // Each copy plays the click sound from the program's resources, once.
    void expectClickSounds(size_t count)
    {
        ASSERT_EQ(count, soundCalls.size());
        for (const SoundCall &call : soundCalls) {
            EXPECT_EQ("CLICK_SOUND", call.name);
            EXPECT_EQ(GetModuleHandleA(NULL), call.module);
            EXPECT_EQ((DWORD)(SND_RESOURCE | SND_ASYNC), call.flags);
        }
    }
    HWND listBox(void) { return WindowSlot(0, IDC_LISTBOX, NULL); }
    void notify(WORD code)
    {
        SendMessageA(window, WM_COMMAND, MAKEWPARAM(IDC_LISTBOX, code), (LPARAM)listBox());
    }
    void select(int index) { SendMessageA(listBox(), LB_SETCURSEL, (WPARAM)index, 0); }
    // The selection of list 1 in the settings file, or a note that the
    // file is missing or unreadable.
    std::string savedSelection(void)
    {
        Bytes bytes = readFileBytes(settingsPath());
        SettingsRecord record = {};
        if (bytes.empty())
            return "no settings file";
        if (DecodeSettingsFile(bytes.data(), bytes.size(), &record) != 1)
            return "unreadable settings file";
        return std::to_string(record.lists[0].listSelection);
    }
    void restore(void)
    {
        ShowWindow(window, SW_RESTORE);
        pumpMessages(50);
    }
};

TEST_F(SelectionTest, DoubleClickCopiesTheSelectedEntryAndSavesItsIndex)
{
    const std::string longest(999, 'w');
    lists[0] = {"kiwi", "", "caf\xE9 au lait", longest, "  padded  "};
    ASSERT_NO_FATAL_FAILURE(openMainWindow());
    for (int index : {0, 1, 2, 3, 4, 0}) {
        SCOPED_TRACE(index);
        ASSERT_TRUE(setClipboardText(window, Sentinel));
        select(index);
        DeleteFileA(settingsPath().c_str());
        notify(LBN_DBLCLK);
        EXPECT_EQ(lists[0][index], clipboardText());
        EXPECT_EQ(index, GetActiveListSelection());
        EXPECT_EQ(std::to_string(index), savedSelection());
        EXPECT_TRUE(IsWindowVisible(window));
    }
    expectClickSounds(6);
}

TEST_F(SelectionTest, SortedListBoxCopiesTheEntryAtItsSortedIndex)
{
    settings.sortEntries = 1;
    lists[0] = {"kiwi", "apple", "mango"};
    ASSERT_NO_FATAL_FAILURE(openMainWindow());
    static const struct {
        int index;
        const char *text;
    } cases[] = {{1, "kiwi"}, {0, "apple"}, {2, "mango"}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.index);
        ASSERT_TRUE(setClipboardText(window, Sentinel));
        select(c.index);
        DeleteFileA(settingsPath().c_str());
        notify(LBN_DBLCLK);
        EXPECT_EQ(c.text, clipboardText());
        EXPECT_EQ(std::to_string(c.index), savedSelection());
    }
}

TEST_F(SelectionTest, OtherNotificationsAndEscCopyAndSaveNothing)
{
    // With minimising on, a wrongly taken notification would also hide it.
    settings.minimiseAfterSelection = 1;
    ASSERT_NO_FATAL_FAILURE(openMainWindow());
    select(1);
    static const struct {
        WORD code;
        const char *what;
    } cases[] = {{LBN_SELCHANGE, "single click"}, {LBN_SETFOCUS, "focus"}, {LBN_KILLFOCUS, "focus lost"},
                 {LBN_SELCANCEL, "selection cancelled"}, {0, "Esc (IDCANCEL shares the id)"}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(setClipboardText(window, Sentinel));
        DeleteFileA(settingsPath().c_str());
        if (c.code == 0)
            SendMessageA(window, WM_COMMAND, IDCANCEL, 0);
        else
            notify(c.code);
        pumpMessages(20);
        EXPECT_EQ(Sentinel, clipboardText());
        EXPECT_FALSE(fileExists(settingsPath()));
        EXPECT_TRUE(IsWindowVisible(window));
        EXPECT_FALSE(IsIconic(window));
    }
    EXPECT_EQ(0u, soundCalls.size());
}

TEST_F(SelectionTest, MinimiseOptionSendsTheWindowToTheTrayAfterADoubleClick)
{
    ASSERT_NO_FATAL_FAILURE(openMainWindow());
    static const struct {
        int32_t minimise;
        int index;  // -1: nothing selected
        bool hidden;
    } cases[] = {{1, 2, true}, {1, -1, true}, {0, 2, false}, {0, -1, false}, {2, 2, false}, {2, -1, false}};
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << "minimise " << c.minimise << ", index " << c.index);
        SetMinimiseAfterSelection(c.minimise);
        ASSERT_TRUE(setClipboardText(window, Sentinel));
        select(c.index);
        DeleteFileA(settingsPath().c_str());
        notify(LBN_DBLCLK);
        pumpMessages(50);
        // Without a selection nothing is copied, but the settings are saved.
        EXPECT_EQ(c.index >= 0 ? lists[0][c.index] : std::string(Sentinel), clipboardText());
        EXPECT_EQ(std::to_string(c.index), savedSelection());
        EXPECT_EQ(c.hidden, IsIconic(window) != FALSE);
        EXPECT_EQ(c.hidden, IsWindowVisible(window) == FALSE);
        EXPECT_FALSE(takeQuitMessage());
        restore();
    }
}

TEST_F(SelectionTest, HeldClipboardCopiesNothingButTheSelectionIsRecorded)
{
    ASSERT_NO_FATAL_FAILURE(openMainWindow());
    ASSERT_TRUE(setClipboardText(window, Sentinel));
    select(2);
    DeleteFileA(settingsPath().c_str());
    ASSERT_NO_FATAL_FAILURE(holdClipboardOnThread(&hold));
    DWORD start = GetTickCount();
    notify(LBN_DBLCLK);
    EXPECT_LT(GetTickCount() - start, 2000u) << "the double-click waited for the clipboard";
    EXPECT_EQ(hold.holder, GetOpenClipboardWindow());
    releaseClipboard(&hold);

    EXPECT_EQ(Sentinel, clipboardText());
    EXPECT_EQ(2, GetActiveListSelection());
    EXPECT_EQ("2", savedSelection());
    EXPECT_TRUE(IsWindowVisible(window));
    // Nothing was copied, so no click is heard.
    EXPECT_EQ(0u, soundCalls.size());

    // Once released, the next double-click copies as usual.
    notify(LBN_DBLCLK);
    EXPECT_EQ(lists[0][2], clipboardText());
    expectClickSounds(1);
}

TEST_F(SelectionTest, CopyTextPutsExactlyTheGivenBytes)
{
    ASSERT_NO_FATAL_FAILURE(openMainWindow());
    const std::string longest(999, 'x');
    static const char highBytes[] = "caf\xE9 \x80\xFF\xA0!";
    const struct {
        const char *label;
        const char *text;
        size_t length;
        std::string expected;
    } cases[] = {
        {"empty", "", 0, ""},
        {"one character", "a", 1, "a"},
        {"high bytes", highBytes, strlen(highBytes), highBytes},
        {"999 characters", longest.c_str(), longest.size(), longest},
        // The length counts, not the text's own end.
        {"first part only", "abcdef", 3, "abc"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.label);
        ASSERT_TRUE(setClipboardText(window, Sentinel));
        EXPECT_EQ(1, CopyTextToClipboard(window, c.text, c.length));
        EXPECT_EQ(nullptr, GetOpenClipboardWindow()) << "left open";
        EXPECT_EQ(c.expected, clipboardText());
    }
}

TEST_F(SelectionTest, CopyTextFailsWhileHeldAndWorksAgainAfter)
{
    ASSERT_NO_FATAL_FAILURE(openMainWindow());
    ASSERT_TRUE(setClipboardText(window, Sentinel));
    ASSERT_NO_FATAL_FAILURE(holdClipboardOnThread(&hold));
    EXPECT_EQ(0, CopyTextToClipboard(window, "refused", 7));
    EXPECT_EQ(hold.holder, GetOpenClipboardWindow());
    releaseClipboard(&hold);
    EXPECT_EQ(nullptr, GetOpenClipboardWindow());
    EXPECT_EQ(Sentinel, clipboardText());

    EXPECT_EQ(1, CopyTextToClipboard(window, "accepted", 8));
    EXPECT_EQ(nullptr, GetOpenClipboardWindow());
    EXPECT_EQ("accepted", clipboardText());
}

TEST_F(SelectionTest, ToggleListShowsTheNextListWithItsNameAndSavesIt)
{
    settings.lists[1].listSelection = 2;
    ASSERT_NO_FATAL_FAILURE(openMainWindow());
    select(1);
    // The button and the menu item go round the lists alike, each list
    // coming back with the entry it had selected.
    static const struct {
        WORD command;
        uint32_t list;
        const char *name;
        int selected;
    } steps[] = {{IDC_TOGGLE, 2, "Office list", 2},
                 {IDM_TOGGLE, 3, "Other list", 0},
                 {IDC_TOGGLE, 1, "Home list", 1},
                 {IDM_TOGGLE, 2, "Office list", 2}};
    for (const auto &step : steps) {
        SCOPED_TRACE(step.list);
        DeleteFileA(settingsPath().c_str());
        ValidateRect(window, NULL);
        SendMessageA(window, WM_COMMAND, step.command, 0);
        EXPECT_EQ(step.list, GetActiveList());
        EXPECT_EQ(lists[step.list - 1], listBoxEntries(listBox()));
        EXPECT_EQ(step.selected, (int)SendMessageA(listBox(), LB_GETCURSEL, 0, 0));
        // The name above the list box is painted anew.
        EXPECT_STREQ(step.name, GetListName((int32_t)GetActiveList()));
        RECT update = {0, 0, 0, 0}, client;
        GetClientRect(window, &client);
        EXPECT_TRUE(GetUpdateRect(window, &update, FALSE));
        EXPECT_TRUE(EqualRect(&client, &update));

        Bytes bytes = readFileBytes(settingsPath());
        SettingsRecord record = {};
        ASSERT_EQ(1, DecodeSettingsFile(bytes.data(), bytes.size(), &record));
        EXPECT_EQ(step.list, record.activeList);
        EXPECT_EQ(step.selected, record.lists[step.list - 1].listSelection);
    }
}
