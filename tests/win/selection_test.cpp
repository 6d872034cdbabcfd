// A double-click on an entry: the text on the clipboard, the selection
// remembered and saved, the window to the tray when the user chose so; and
// what happens while some other program holds the clipboard open.
#include <windows.h>
#include <gtest/gtest.h>
#include <string.h>
#include <string>
#include <vector>

#include "system/late_dlls.h"
#include "system/window_slots.h"
#include "res/resource.h"
#include "store/settings.h"
#include "tests/common/win_ui.h"
#include "tests/win/main_window_util.h"
#include "view/clipboard.h"
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

// Stands in for PlaySoundA while a test runs: the program reaches winmm's
// function through GetPlaySound, which the stand-in takes over.

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
    PlaySoundProc realPlaySound = NULL;

    void SetUp() override
    {
        MainWindowFixture::SetUp();
        soundCalls.clear();
        realPlaySound = GetPlaySound();
        SetPlaySound(CountingPlaySound);
        ASSERT_NE(nullptr, realPlaySound);
    }
    void TearDown() override
    {
        releaseClipboard(&hold);
        if (realPlaySound != NULL)
            SetPlaySound(realPlaySound);
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

// Around the 512 characters that some list boxes' ANSI conversion holds,
// and up to the longest entry a list file may carry.
static const size_t LongEntryLengths[] = {511, 512, 600, 999, 4009};

static std::string longEntry(size_t length, char first)
{
    std::string text(length, '\0');
    for (size_t i = 0; i < length; i++)
        text[i] = (char)(first + i % 23);
    return text;
}

TEST_F(SelectionTest, LongEntriesAreCopiedExactly)
{
    char first = 'A';
    for (size_t length : LongEntryLengths)
        lists[0].push_back(longEntry(length, first++));
    ASSERT_NO_FATAL_FAILURE(openMainWindow());
    ASSERT_EQ(lists[0], listBoxEntries(listBox()));
    for (size_t index = 0; index < lists[0].size(); index++) {
        SCOPED_TRACE(lists[0][index].size());
        ASSERT_TRUE(setClipboardText(window, Sentinel));
        select((int)index);
        notify(LBN_DBLCLK);
        std::string copied = clipboardText();
        EXPECT_EQ(lists[0][index].size(), copied.size());
        EXPECT_TRUE(lists[0][index] == copied);
    }
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

TEST_F(SelectionTest, HeldClipboardCopiesNothingSaysSoAndKeepsTheWindow)
{
    // Even with the window set to go to the tray after a selection.
    settings.minimiseAfterSelection = 1;
    ASSERT_NO_FATAL_FAILURE(openMainWindow());
    ASSERT_TRUE(setClipboardText(window, Sentinel));
    select(2);
    DeleteFileA(settingsPath().c_str());
    ASSERT_NO_FATAL_FAILURE(holdClipboardOnThread(&hold));
    DialogDriver boxes;
    ASSERT_NO_FATAL_FAILURE(startBoxAnswerer(&boxes, "Vombly", IDOK));
    DWORD start = GetTickCount();
    notify(LBN_DBLCLK);
    DWORD took = GetTickCount() - start;
    finishDialogDriver(&boxes);
    // The watcher waits a moment before it answers the box.
    EXPECT_LT(took, 3000u) << "the double-click waited for the clipboard";
    EXPECT_EQ(hold.holder, GetOpenClipboardWindow());
    EXPECT_EQ(1, boxes.seen);
    EXPECT_NE(std::string::npos, boxes.texts.find("nothing was copied !")) << boxes.texts;
    releaseClipboard(&hold);

    EXPECT_EQ(Sentinel, clipboardText());
    EXPECT_EQ(2, GetActiveListSelection());
    EXPECT_EQ("2", savedSelection());
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_FALSE(IsIconic(window));
    // Nothing was copied, so no click is heard.
    EXPECT_EQ(0u, soundCalls.size());

    // Once released, the next double-click copies and goes to the tray.
    notify(LBN_DBLCLK);
    EXPECT_EQ(lists[0][2], clipboardText());
    EXPECT_TRUE(IsIconic(window));
    expectClickSounds(1);
}

TEST_F(SelectionTest, AClipboardHeldForAMomentIsWaitedFor)
{
    ASSERT_NO_FATAL_FAILURE(openMainWindow());
    ASSERT_NO_FATAL_FAILURE(holdClipboardOnThread(&hold));
    // Released 40 ms into the copy: the copy still goes through.
    HANDLE release = hold.release;
    HANDLE timer = CreateThread(NULL, 0, [](void *event) WINAPI -> DWORD {
        Sleep(40);
        SetEvent((HANDLE)event);
        return 0;
    }, release, 0, NULL);
    ASSERT_NE(nullptr, timer);
    EXPECT_EQ(1, CopyTextToClipboard(window, "patient", 7));
    WaitForSingleObject(timer, 5000);
    CloseHandle(timer);
    releaseClipboard(&hold);
    EXPECT_EQ("patient", clipboardText());
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

// ---- Both text formats, private copies and their clearing ----

// A window of "another program" that copies over Vombly's copy.
static HWND otherOwner(void)
{
    static HWND other = CreateWindowExA(0, "STATIC", "another program", WS_POPUP, 0, 0, 1, 1, NULL, NULL,
                                        GetModuleHandleA(NULL), NULL);
    return other;
}

static bool clipboardHas(UINT format)
{
    return IsClipboardFormatAvailable(format) != FALSE;
}

static const char *const PrivateMarks[] = {"ExcludeClipboardContentFromMonitorProcessing",
                                           "CanIncludeInClipboardHistory", "CanUploadToCloudClipboard",
                                           "Clipboard Viewer Ignore"};

TEST_F(SelectionTest, BothTextFormatsCarryHighByteEntriesExactly)
{
    // Western European code page, as the test prefix has it: the Unicode
    // text is what those bytes mean there, not a guess of another program.
    ASSERT_EQ(1252u, GetACP());
    lists[0] = {"Gr\xFC\xDF" "e", "\x80 12", "\x84quoted\x93 \x96 dash", "caf\xE9 \xC0\xFF", "plain", "", "\x9F\x8A\x9A"};
    const std::wstring unicode[] = {L"Gr\u00FC\u00DFe", L"\u20AC 12", L"\u201Equoted\u201C \u2013 dash",
                                    L"caf\u00E9 \u00C0\u00FF", L"plain", L"", L"\u0178\u0160\u0161"};
    ASSERT_NO_FATAL_FAILURE(openMainWindow());
    for (size_t i = 0; i < lists[0].size(); i++) {
        SCOPED_TRACE(lists[0][i]);
        ASSERT_TRUE(setClipboardText(window, Sentinel));
        select((int)i);
        notify(LBN_DBLCLK);
        // CF_TEXT byte for byte with one terminating zero.
        std::string text = clipboardBytes(CF_TEXT);
        ASSERT_GE(text.size(), lists[0][i].size() + 1);
        EXPECT_EQ(lists[0][i] + '\0', text.substr(0, lists[0][i].size() + 1));
        EXPECT_TRUE(unicode[i] == clipboardUnicode()) << "CF_UNICODETEXT differs";
        for (const char *mark : PrivateMarks)
            EXPECT_FALSE(clipboardHas(RegisterClipboardFormatA(mark))) << mark << " on a copy of a list that is not private";
    }
}

TEST_F(SelectionTest, PrivateListCopyCarriesTheMarksThatKeepItOutOfHistory)
{
    ASSERT_NO_FATAL_FAILURE(openMainWindow());
    SetListPrivate(1, 1);
    SetPrivateClearSeconds(0);
    select(0);
    notify(LBN_DBLCLK);
    EXPECT_EQ(lists[0][0], clipboardText());
    EXPECT_TRUE(L"kiwi" == clipboardUnicode());
    const struct {
        const char *name;
        std::string data;  // the block's first bytes
    } marks[] = {
        {PrivateMarks[0], std::string(1, '\0')},
        {PrivateMarks[1], std::string(4, '\0')},
        {PrivateMarks[2], std::string(4, '\0')},
        {PrivateMarks[3], std::string(1, '\0')},
    };
    for (const auto &mark : marks) {
        SCOPED_TRACE(mark.name);
        std::string data = clipboardBytes(RegisterClipboardFormatA(mark.name));
        ASSERT_GE(data.size(), mark.data.size());
        EXPECT_EQ(mark.data, data.substr(0, mark.data.size()));
    }

    // List 2 is not private: its copy carries no mark.
    SendMessageA(window, WM_COMMAND, IDC_TOGGLE, 0);
    select(0);
    notify(LBN_DBLCLK);
    EXPECT_EQ(lists[1][0], clipboardText());
    for (const char *name : PrivateMarks)
        EXPECT_FALSE(clipboardHas(RegisterClipboardFormatA(name))) << name;
}

TEST_F(SelectionTest, PrivateCopyIsClearedWhenItsTimeIsUpOnlyIfUntouched)
{
    ASSERT_NO_FATAL_FAILURE(openMainWindow());
    SetListPrivate(1, 1);
    const struct {
        const char *label;
        uint32_t seconds;
        bool copyOverIt;   // something else is copied after the private copy
        bool holdAtTheTime; // another program holds the clipboard when the time is up
        std::string after;
    } cases[] = {
        {"untouched: cleared", 1, false, false, "<none>"},
        {"the user copied something since: theirs stays", 1, true, false, Sentinel},
        {"0 seconds: never cleared", 0, false, false, "kiwi"},
        {"busy when due: cleared once free", 1, false, true, "<none>"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.label);
        SetPrivateClearSeconds(c.seconds);
        select(0);
        notify(LBN_DBLCLK);
        ASSERT_EQ("kiwi", clipboardText());
        EXPECT_EQ(1, PrivateCopyPending());
        if (c.copyOverIt) {
            ASSERT_TRUE(setClipboardText(otherOwner(), Sentinel));
        }
        if (c.holdAtTheTime) {
            ASSERT_NO_FATAL_FAILURE(holdClipboardOnThread(&hold));
            pumpMessages(1500);
            EXPECT_EQ(hold.holder, GetOpenClipboardWindow());
            releaseClipboard(&hold);
            EXPECT_EQ(1, PrivateCopyPending()) << "gave up while the clipboard was busy";
            EXPECT_EQ("kiwi", clipboardText());
        }
        pumpUntil([&] { return clipboardText() == c.after && PrivateCopyPending() == 0; }, 2500);
        EXPECT_EQ(c.after, clipboardText());
        if (c.seconds == 0)
            pumpMessages(1200);
        EXPECT_EQ(c.after, clipboardText());
    }
}

TEST_F(SelectionTest, ExitClearsAPrivateCopyOnlyIfItIsStillThere)
{
    const struct {
        const char *label;
        bool isPrivate;
        bool copyOverIt;
        std::string after;
    } cases[] = {
        {"private and untouched: cleared", true, false, "<none>"},
        {"private but copied over: kept", true, true, Sentinel},
        {"not private: kept", false, false, "kiwi"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.label);
        ASSERT_NO_FATAL_FAILURE(openMainWindow());
        SetListPrivate(1, c.isPrivate);
        // Long enough that only the exit can clear it.
        SetPrivateClearSeconds(600);
        select(0);
        notify(LBN_DBLCLK);
        ASSERT_EQ("kiwi", clipboardText());
        if (c.copyOverIt) {
            ASSERT_TRUE(setClipboardText(otherOwner(), Sentinel));
        }
        closeMainWindow();
        EXPECT_EQ(c.after, clipboardText());
        if (screenLock != NULL) {
            ReleaseMutex(screenLock);
            CloseHandle(screenLock);
            screenLock = NULL;
        }
    }
}

// A private entry that stays on the clipboard because another program keeps
// it open past every retry is told, not given up on in silence.
TEST_F(SelectionTest, APrivateCopyThatCannotBeClearedIsTold)
{
    ASSERT_NO_FATAL_FAILURE(openMainWindow());
    SetListPrivate(1, 1);
    SetPrivateClearSeconds(1);
    select(0);
    notify(LBN_DBLCLK);
    ASSERT_EQ("kiwi", clipboardText());
    ASSERT_NO_FATAL_FAILURE(holdClipboardOnThread(&hold));
    DialogDriver boxes;
    ASSERT_NO_FATAL_FAILURE(startBoxAnswerer(&boxes, "Vombly", IDOK));
    // The first try when due, then every retry.
    pumpUntil([] { return PrivateCopyPending() == 0; }, 1000u + (PrivateClearRetries + 2) * PrivateClearRetryMs);
    pumpUntil([&] { return boxes.seen > 0; }, 3000);
    finishDialogDriver(&boxes);
    releaseClipboard(&hold);
    EXPECT_EQ(0, PrivateCopyPending());
    EXPECT_EQ(1, boxes.seen);
    EXPECT_NE(std::string::npos, boxes.texts.find("could not be taken off the clipboard")) << boxes.texts;
    EXPECT_EQ("kiwi", clipboardText());
}

// A copy that fails for another reason than a busy clipboard says what
// failed, and the window goes to the tray as after any choice: a retry
// would fail the same way.
TEST_F(SelectionTest, ACopyThatFailsForAnotherReasonSaysWhatFailed)
{
    settings.minimiseAfterSelection = 1;
    ASSERT_NO_FATAL_FAILURE(openMainWindow());
    ASSERT_TRUE(setClipboardText(window, Sentinel));
    // Longer than any entry the program can read back.
    const std::string huge(ListEntryBufferSize + 100, 'h');
    LRESULT index = SendMessageA(listBox(), LB_ADDSTRING, 0, (LPARAM)huge.c_str());
    ASSERT_GE(index, 0);
    select((int)index);
    DialogDriver boxes;
    ASSERT_NO_FATAL_FAILURE(startBoxAnswerer(&boxes, "Vombly", IDOK));
    notify(LBN_DBLCLK);
    finishDialogDriver(&boxes);
    EXPECT_EQ(1, boxes.seen);
    EXPECT_NE(std::string::npos, boxes.texts.find("The entry could not be copied")) << boxes.texts;
    EXPECT_EQ(std::string::npos, boxes.texts.find("in use by another program")) << boxes.texts;
    EXPECT_EQ(Sentinel, clipboardText());
    EXPECT_TRUE(IsIconic(window));
    EXPECT_EQ(0u, soundCalls.size());
}
