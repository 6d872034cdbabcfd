// Reaching Vombly from anywhere: the global hotkey from another program and
// back, a hotkey another program holds, the list's own keys (type-ahead,
// Enter, Esc, Delete, Ctrl+Tab), the paste into the program the hotkey came
// from, the tray icon's menu, and the new options across a restart.
#include <string.h>

#include <string>
#include <vector>

#include "daily.h"
#include "journey.h"
#include "res/resource.h"
#include "core/options_format.h"
#include "core/rules.h"
#include "tray.h"

namespace {

typedef std::vector<std::string> Entries;

const char Sentinel[] = "sentinel: nothing was copied";
const char KeyboardTitle[] = "Vombly - Keyboard and Privacy";

// "k" alone reaches Kilroy; "kin" goes on to "Kind regards,".
const Entries List1 = {"Best wishes", "Kilroy was here", "Kind regards,", "kinetic"};
const Entries List2 = {"Office one", "Office two"};
const Entries List3 = {"Other one"};

void pressHotkey()
{
    press({VK_CONTROL, VK_SHIFT, VK_INSERT});
}

// Shown, in front, with the keyboard in the list box.
bool upWithListFocused(HWND window)
{
    return shownNormally(window) && GetForegroundWindow() == window &&
           focusOf(window) == GetDlgItem(window, IDC_LISTBOX);
}

// The active list's remembered selection in the settings file; -1 when the
// file does not verify.
int savedSelection()
{
    SettingsRecord record;
    if (!readUsersSettings(&record) || record.activeList < 1 || record.activeList > 3)
        return -1;
    return record.lists[record.activeList - 1].listSelection;
}

bool checked(HWND dialog, int id)
{
    DWORD_PTR state = 0;
    return sendTimeout(GetDlgItem(dialog, id), BM_GETCHECK, 0, 0, &state) &&
           state == BST_CHECKED;
}

std::string textOf(HWND window)
{
    char text[512] = "";
    DWORD_PTR length = 0;
    // Unlike windowText, a window that does not answer reads as text, so a
    // check that nothing was typed cannot pass on a hung window.
    if (!SendMessageTimeoutA(window, WM_GETTEXT, ARRAYSIZE(text), (LPARAM)text, SMTO_ABORTIFHUNG, 2000, &length))
        return "<no answer>";
    return std::string(text, (size_t)length);
}

OptionsBlock defaultOptions()
{
    OptionsBlock options;
    DefaultOptions(&options);
    return options;
}

struct KeyboardJourney : Journey {
    std::vector<PROCESS_INFORMATION> notepads;
    HWND notepadWindow = NULL;
    HWND notepadEdit = NULL;

    void writeFiles(const OptionsBlock &options)
    {
        ASSERT_TRUE(writeUsersSettings(withOptions(settingsRecord(1, 0, 0), options)));
        ASSERT_TRUE(writeUsersList(1, List1));
        ASSERT_TRUE(writeUsersList(2, List2));
        ASSERT_TRUE(writeUsersList(3, List3));
    }

    // A Notepad, in front, with the caret in its text.
    void openNotepad(HWND *window, HWND *edit)
    {
        PROCESS_INFORMATION started = {};
        *window = ::startNotepad(&started, StartTimeoutMs);
        if (started.hProcess != NULL)
            notepads.push_back(started);
        ASSERT_NE(nullptr, *window);
        ASSERT_TRUE(waitFor([&] { return IsWindowVisible(*window) != FALSE; }, UiTimeoutMs));
        *edit = FindWindowExA(*window, NULL, "Edit", NULL);
        ASSERT_NE(nullptr, *edit);
        ASSERT_TRUE(waitUntilIdle(*window));
        ASSERT_TRUE(bringToFront(*window));
        ASSERT_EQ(*edit, focusOf(*window));
    }

    void startNotepad() { openNotepad(&notepadWindow, &notepadEdit); }

    void TearDown() override
    {
        for (PROCESS_INFORMATION &notepad : notepads)
            endProcess(&notepad);
        Journey::TearDown();
    }
};

// ---- The hotkey -----------------------------------------------------------------

// Windows 7 and later are asked not to repeat the hotkey while it is held;
// XP does not know that flag and gets the hotkey without it.
struct HotkeyCase {
    const char *name;
    const char *reportedVersion;
};

struct HotkeyJourney : KeyboardJourney, ::testing::WithParamInterface<HotkeyCase> {};

TEST_P(HotkeyJourney, FromAnotherProgramBringsTheListUpAndSendsItBack)
{
    ASSERT_TRUE(setReportedWindowsVersion(GetParam().reportedVersion));
    ASSERT_NO_FATAL_FAILURE(writeFiles(defaultOptions()));
    VomblyProcess vombly = startVombly(nullptr);
    HWND window = waitForWindow(MainTitle, MainClass, StartTimeoutMs, vombly.pid);
    ASSERT_NE(nullptr, window);
    ASSERT_TRUE(waitFor([&] { return inTray(window); }, UiTimeoutMs));
    ASSERT_NO_FATAL_FAILURE(startNotepad());

    // From the tray, twice over.
    for (int round = 0; round < 2; round++) {
        SCOPED_TRACE(round);
        pressHotkey();
        ASSERT_TRUE(waitFor([&] { return upWithListFocused(window); }, UiTimeoutMs));
        HWND listBox = GetDlgItem(window, IDC_LISTBOX);
        EXPECT_EQ(0, selectedIndex(listBox)) << "the remembered entry is the one under the keyboard";
        pressHotkey();
        ASSERT_TRUE(waitFor([&] { return inTray(window); }, UiTimeoutMs));
        EXPECT_TRUE(waitFor([&] { return GetForegroundWindow() != window; }, UiTimeoutMs));
    }

    // From behind another window: shown, but Notepad in front.
    pressHotkey();
    ASSERT_TRUE(waitFor([&] { return upWithListFocused(window); }, UiTimeoutMs));
    ASSERT_TRUE(bringToFront(notepadWindow));
    ASSERT_TRUE(shownNormally(window));
    pressHotkey();
    EXPECT_TRUE(waitFor([&] { return upWithListFocused(window); }, UiTimeoutMs));
    EXPECT_TRUE(isRunning(vombly));
}

const HotkeyCase hotkeyCases[] = {
    {"Windows10", "win10"},
    {"WindowsXP", "winxp"},
};

INSTANTIATE_TEST_SUITE_P(Cases, HotkeyJourney, ::testing::ValuesIn(hotkeyCases),
                         [](const ::testing::TestParamInfo<HotkeyCase> &info) { return std::string(info.param.name); });

TEST_F(KeyboardJourney, TakenHotkeyIsReportedAndTheProgramKeepsWorking)
{
    // This test holds the combination, as another program might.
    ASSERT_TRUE(RegisterHotKey(NULL, 7, MOD_CONTROL | MOD_SHIFT, VK_INSERT));
    ASSERT_NO_FATAL_FAILURE(writeFiles(defaultOptions()));
    ASSERT_TRUE(setClipboardText(NULL, Sentinel));
    VomblyProcess vombly = startVombly("/SM");

    MessageBoxSeen box = messageBox("Vombly", StartTimeoutMs, vombly.pid);
    ASSERT_NE(nullptr, box.window);
    EXPECT_EQ("The hotkey Ctrl+Shift+Insert is already in use by another program, so Vombly has no hotkey "
              "for now.\n\nChoose another one in Options, Keyboard and Privacy.",
              box.text);
    ASSERT_TRUE(bringToFront(box.window));
    ASSERT_TRUE(dismissBox(box.window));
    ASSERT_TRUE(waitFor([&] { return findVisibleWindow(nullptr, "#32770", vombly.pid) == NULL; }, UiTimeoutMs));

    // The program works on: a double-click copies.
    HWND window = waitForMainWindow(vombly);
    ASSERT_NE(nullptr, window);
    HWND listBox = GetDlgItem(window, IDC_LISTBOX);
    ASSERT_TRUE(doubleClickEntry(listBox, 2));
    EXPECT_TRUE(waitFor([] { return clipboardText() == "Kind regards,"; }, UiTimeoutMs));

    // The dialog shows the failure.
    ASSERT_TRUE(chooseMenu(window, "Options", "Keyboard and Privacy..."));
    HWND dialog = waitForDialog(KeyboardTitle, vombly.pid);
    ASSERT_NE(nullptr, dialog);
    EXPECT_EQ("Ctrl+Shift+Insert is in use by another program: no hotkey.",
              textOf(GetDlgItem(dialog, IDC_HOTKEY_STATUS)));
    // A new choice that another program takes meanwhile is refused by
    // name; the dialog stays. (A combination held by someone never reaches
    // the field, so it is taken only once typed.)
    ASSERT_TRUE(bringToFront(dialog));
    ASSERT_EQ(GetDlgItem(dialog, IDC_HOTKEY_FIELD), focusOf(dialog));
    press({VK_CONTROL, VK_SHIFT, VK_F8});
    ASSERT_TRUE(RegisterHotKey(NULL, 8, MOD_CONTROL | MOD_SHIFT, VK_F8));
    press(VK_RETURN);
    MessageBoxSeen again = messageBox("Vombly", UiTimeoutMs, vombly.pid);
    ASSERT_NE(nullptr, again.window);
    EXPECT_EQ("The hotkey Ctrl+Shift+F8 is already in use by another program, so Vombly has no hotkey "
              "for now.\n\nChoose another one in Options, Keyboard and Privacy.",
              again.text);
    ASSERT_TRUE(bringToFront(again.window));
    ASSERT_TRUE(dismissBox(again.window));
    ASSERT_TRUE(waitFor([&] { return !IsWindow(again.window); }, UiTimeoutMs));
    EXPECT_TRUE(IsWindowVisible(dialog));
    EXPECT_EQ("Ctrl+Shift+F8 is in use by another program: no hotkey.",
              textOf(GetDlgItem(dialog, IDC_HOTKEY_STATUS)));
    UnregisterHotKey(NULL, 8);

    // Once the other program lets go, OK takes the combination.
    UnregisterHotKey(NULL, 7);
    ASSERT_TRUE(bringToFront(dialog));
    press({VK_CONTROL, VK_SHIFT, VK_INSERT});
    ASSERT_TRUE(clickControl(dialog, IDOK));
    ASSERT_TRUE(waitFor([&] { return !IsWindow(dialog); }, UiTimeoutMs));
    EXPECT_FALSE(findVisibleWindow(nullptr, "#32770", vombly.pid));
    ASSERT_TRUE(bringToFront(window));
    pressHotkey();
    EXPECT_TRUE(waitFor([&] { return inTray(window); }, UiTimeoutMs));
    EXPECT_TRUE(isRunning(vombly));
}

// ---- The list's own keys --------------------------------------------------------

TEST_F(KeyboardJourney, ListKeysTypeAheadCopyRemoveToggleAndHide)
{
    ASSERT_NO_FATAL_FAILURE(writeFiles(defaultOptions()));
    ASSERT_TRUE(setClipboardText(NULL, Sentinel));
    VomblyProcess vombly = startVombly("/SM");
    HWND window = waitForMainWindow(vombly);
    ASSERT_NE(nullptr, window);
    HWND listBox = GetDlgItem(window, IDC_LISTBOX);
    ASSERT_TRUE(clickEntry(listBox, 0));
    ASSERT_TRUE(waitFor([&] { return focusOf(window) == listBox; }, UiTimeoutMs));

    // Type-ahead: "k" stops at Kilroy, "kin" goes on to Kind regards.
    typeText("k");
    ASSERT_TRUE(waitFor([&] { return selectedIndex(listBox) == 1; }, UiTimeoutMs));
    typeText("in");
    ASSERT_TRUE(waitFor([&] { return selectedIndex(listBox) == 2; }, UiTimeoutMs));
    EXPECT_EQ(Sentinel, clipboardText()) << "typing copies nothing";

    // Enter copies it exactly, as a double-click does, and saves the choice
    // (the save comes last, so the clipboard is read once it is there).
    press(VK_RETURN);
    ASSERT_TRUE(waitFor([] { return savedSelection() == 2; }, UiTimeoutMs));
    EXPECT_EQ("Kind regards,", clipboardText());
    EXPECT_TRUE(shownNormally(window)) << "minimise after selection is off";

    // Delete asks to remove the selected entry; Remove takes it out of the file.
    press(VK_DELETE);
    HWND remove = waitForDialog("Vombly - Remove String", vombly.pid);
    ASSERT_NE(nullptr, remove);
    press(VK_RETURN);
    ASSERT_TRUE(waitFor([&] { return !IsWindow(remove); }, UiTimeoutMs));
    Entries expected = {"Best wishes", "Kilroy was here", "kinetic"};
    EXPECT_TRUE(waitFor([&] { return readUsersList(1) == expected; }, UiTimeoutMs));
    ASSERT_TRUE(waitFor([&] { return focusOf(window) == listBox; }, UiTimeoutMs))
        << "the focus is back in the list after the dialog";

    // Ctrl+Tab shows the next list, as Toggle List does; Tab alone still
    // moves on to the buttons.
    press({VK_CONTROL, VK_TAB});
    EXPECT_TRUE(waitFor([&] { return listBoxEntries(listBox) == List2; }, UiTimeoutMs));
    EXPECT_EQ(listBox, focusOf(window));
    press(VK_TAB);
    EXPECT_TRUE(waitFor([&] { return focusOf(window) == GetDlgItem(window, IDC_ADD); }, UiTimeoutMs));
    press({VK_SHIFT, VK_TAB});
    ASSERT_TRUE(waitFor([&] { return focusOf(window) == listBox; }, UiTimeoutMs));

    // Esc sends the window to the tray, as the close box does.
    press(VK_ESCAPE);
    EXPECT_TRUE(waitFor([&] { return inTray(window); }, UiTimeoutMs));
    EXPECT_FALSE(findVisibleWindow(nullptr, "#32770", vombly.pid));
    EXPECT_TRUE(isRunning(vombly));
}

// ---- Paste into the program the hotkey came from -----------------------------------

struct PasteCase {
    const char *name;
    uint32_t paste;
    bool originCloses; // the program the hotkey came from ends before Enter
};

struct PasteJourney : KeyboardJourney, ::testing::WithParamInterface<PasteCase> {};

TEST_P(PasteJourney, HotkeyTypeAheadEnterFromNotepad)
{
    const PasteCase &c = GetParam();
    OptionsBlock options = defaultOptions();
    options.pasteAfterHotkey = c.paste;
    ASSERT_NO_FATAL_FAILURE(writeFiles(options));
    ASSERT_TRUE(setClipboardText(NULL, Sentinel));
    VomblyProcess vombly = startVombly(nullptr);
    HWND window = waitForWindow(MainTitle, MainClass, StartTimeoutMs, vombly.pid);
    ASSERT_NE(nullptr, window);
    ASSERT_TRUE(waitFor([&] { return inTray(window); }, UiTimeoutMs));
    // Another program behind, which must never be typed into.
    HWND bystander = NULL, bystanderEdit = NULL;
    ASSERT_NO_FATAL_FAILURE(openNotepad(&bystander, &bystanderEdit));
    ASSERT_NO_FATAL_FAILURE(startNotepad());
    typeText("Dear Sir, ");
    ASSERT_TRUE(waitFor([&] { return textOf(notepadEdit) == "Dear Sir, "; }, UiTimeoutMs));

    pressHotkey();
    ASSERT_TRUE(waitFor([&] { return upWithListFocused(window); }, UiTimeoutMs));
    typeText("kin");
    HWND listBox = GetDlgItem(window, IDC_LISTBOX);
    ASSERT_TRUE(waitFor([&] { return selectedIndex(listBox) == 2; }, UiTimeoutMs));
    if (c.originCloses) {
        TerminateProcess(notepads.back().hProcess, 0);
        ASSERT_TRUE(waitFor([&] { return !IsWindow(notepadWindow); }, UiTimeoutMs));
        ASSERT_TRUE(bringToFront(window));
        ASSERT_TRUE(waitFor([&] { return focusOf(window) == listBox; }, UiTimeoutMs));
    }
    press(VK_RETURN);
    ASSERT_TRUE(waitFor([] { return savedSelection() == 2; }, UiTimeoutMs));

    if (c.paste && !c.originCloses) {
        EXPECT_TRUE(waitFor([&] { return textOf(notepadEdit) == "Dear Sir, Kind regards,"; }, UiTimeoutMs))
            << textOf(notepadEdit);
        EXPECT_TRUE(inTray(window));
        EXPECT_EQ(notepadWindow, GetForegroundWindow());
    } else if (!c.originCloses) {
        // Nothing to wait for when nothing should happen: a second is plenty.
        EXPECT_FALSE(waitFor([&] { return textOf(notepadEdit) != "Dear Sir, "; }, 1000)) << textOf(notepadEdit);
        EXPECT_TRUE(shownNormally(window));
    }
    EXPECT_EQ("Kind regards,", clipboardText()) << "the text stays on the clipboard";
    EXPECT_FALSE(waitFor([&] { return !textOf(bystanderEdit).empty(); }, c.originCloses ? 1000 : 0))
        << textOf(bystanderEdit);
    EXPECT_TRUE(isRunning(vombly));
}

const PasteCase pasteCases[] = {
    {"OptionOn", 1, false},
    {"OptionOff", 0, false},
    {"OptionOnOriginGone", 1, true},
};

INSTANTIATE_TEST_SUITE_P(Cases, PasteJourney, ::testing::ValuesIn(pasteCases),
                         [](const ::testing::TestParamInfo<PasteCase> &info) { return std::string(info.param.name); });

// ---- The tray menu ----------------------------------------------------------------

HWND openTrayMenu()
{
    POINT icon;
    if (!findTrayIcon(MainTitle, &icon) || !rightClick(icon))
        return NULL;
    HWND menu = NULL;
    waitFor([&] { return (menu = findVisibleWindow(nullptr, "#32768")) != NULL; }, UiTimeoutMs);
    return menu;
}

// Opens the tray menu, goes down to list `list`'s submenu and chooses its
// entry `index` with the keyboard.
bool chooseTrayEntry(int list, int index)
{
    if (openTrayMenu() == NULL)
        return false;
    // Show Vombly, then past the separator to the lists.
    for (int step = 0; step < 1 + list; step++)
        press(VK_DOWN);
    press(VK_RIGHT);
    for (int step = 0; step < index; step++)
        press(VK_DOWN);
    press(VK_RETURN);
    return waitFor([] { return findVisibleWindow(nullptr, "#32768") == NULL; }, UiTimeoutMs);
}

TEST_F(KeyboardJourney, TrayMenuCopiesFromEveryListAndExitAsksFirst)
{
    ASSERT_NO_FATAL_FAILURE(writeFiles(defaultOptions()));
    ASSERT_TRUE(setClipboardText(NULL, Sentinel));
    VomblyProcess vombly = startVombly(nullptr);
    HWND window = waitForWindow(MainTitle, MainClass, StartTimeoutMs, vombly.pid);
    ASSERT_NE(nullptr, window);
    ASSERT_TRUE(waitFor([&] { return inTray(window); }, UiTimeoutMs));

    struct Case {
        int list;
        int index;
        const char *copied;
    } cases[] = {
        {2, 1, "Office two"},
        {1, 2, "Kind regards,"},
        {3, 0, "Other one"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.copied);
        // The choice ends with a save: the file coming back says the copy
        // is done, so the clipboard is read once, not while it is written.
        ASSERT_TRUE(DeleteFileA(dataFile("Vombly.cfg").c_str()));
        ASSERT_TRUE(chooseTrayEntry(c.list, c.index));
        ASSERT_TRUE(waitFor([] { return fileExists(dataFile("Vombly.cfg")); }, UiTimeoutMs));
        EXPECT_EQ(c.copied, clipboardText());
        EXPECT_TRUE(inTray(window)) << "copying from the tray leaves the window where it was";
    }
    // The active list's choice is remembered like a double-click's.
    SettingsRecord saved;
    EXPECT_TRUE(readUsersSettings(&saved));
    EXPECT_EQ(2, saved.lists[0].listSelection);

    // Esc closes the menu without a choice.
    ASSERT_NE(nullptr, openTrayMenu());
    press(VK_ESCAPE);
    EXPECT_TRUE(waitFor([] { return findVisibleWindow(nullptr, "#32768") == NULL; }, UiTimeoutMs));
    EXPECT_TRUE(inTray(window));

    // Exit goes through the confirmation: Cancel keeps the program, Quit ends it.
    for (bool quit : {false, true}) {
        SCOPED_TRACE(quit ? "Quit" : "Cancel");
        ASSERT_NE(nullptr, openTrayMenu());
        press(VK_UP); // round to the last item
        press(VK_RETURN);
        HWND exitBox = waitForDialog("Vombly - Quit", vombly.pid);
        ASSERT_NE(nullptr, exitBox);
        ASSERT_TRUE(clickControl(exitBox, quit ? IDOK : IDCANCEL));
        if (!quit) {
            ASSERT_TRUE(waitFor([&] { return !IsWindow(exitBox); }, UiTimeoutMs));
            EXPECT_TRUE(isRunning(vombly));
        }
    }
    EXPECT_EQ(0u, waitForExit(vombly, ExitTimeoutMs));
}

TEST_F(KeyboardJourney, TrayMenuShowVomblyIsWhatADoubleClickDoes)
{
    ASSERT_NO_FATAL_FAILURE(writeFiles(defaultOptions()));
    VomblyProcess vombly = startVombly(nullptr);
    HWND window = waitForWindow(MainTitle, MainClass, StartTimeoutMs, vombly.pid);
    ASSERT_NE(nullptr, window);
    ASSERT_TRUE(waitFor([&] { return inTray(window); }, UiTimeoutMs));
    ASSERT_NE(nullptr, openTrayMenu());
    press(VK_DOWN);
    press(VK_RETURN);
    EXPECT_TRUE(waitFor([&] { return shownNormally(window) && GetForegroundWindow() == window; }, UiTimeoutMs));
}

// ---- What paste back never types ------------------------------------------------------

// The paste on, Vombly in the tray, and two Notepads: the one the hotkey is
// pressed in, "Dear Sir, " typed into it, and another behind it that must
// never be typed into either.
struct PasteSafetyJourney : KeyboardJourney {
    VomblyProcess vombly = {};
    HWND window = NULL;
    HWND listBox = NULL;
    HWND other = NULL;
    HWND otherEdit = NULL;

    void SetUp() override
    {
        KeyboardJourney::SetUp();
        OptionsBlock options = defaultOptions();
        options.pasteAfterHotkey = 1;
        ASSERT_NO_FATAL_FAILURE(writeFiles(options));
        ASSERT_TRUE(setClipboardText(NULL, Sentinel));
        vombly = startVombly(nullptr);
        window = waitForWindow(MainTitle, MainClass, StartTimeoutMs, vombly.pid);
        ASSERT_NE(nullptr, window);
        ASSERT_TRUE(waitFor([&] { return inTray(window); }, UiTimeoutMs));
        listBox = GetDlgItem(window, IDC_LISTBOX);
        ASSERT_NO_FATAL_FAILURE(openNotepad(&other, &otherEdit));
        ASSERT_NO_FATAL_FAILURE(startNotepad());
        typeText("Dear Sir, ");
        ASSERT_TRUE(waitFor([&] { return textOf(notepadEdit) == "Dear Sir, "; }, UiTimeoutMs));
    }

    // The hotkey pressed in the first Notepad.
    void hotkeyFromNotepad()
    {
        ASSERT_TRUE(bringToFront(notepadWindow));
        pressHotkey();
        ASSERT_TRUE(waitFor([&] { return upWithListFocused(window); }, UiTimeoutMs));
    }

    void typeAheadToKindRegards()
    {
        typeText("kin");
        ASSERT_TRUE(waitFor([&] { return selectedIndex(listBox) == 2; }, UiTimeoutMs));
    }

    // The selection's save comes after its paste: once the file has it, a
    // second is plenty for keys already sent to arrive.
    void expectNothingTyped()
    {
        ASSERT_TRUE(waitFor([] { return savedSelection() == 2; }, UiTimeoutMs));
        EXPECT_FALSE(waitFor([&] { return textOf(notepadEdit) != "Dear Sir, " || !textOf(otherEdit).empty(); }, 1000))
            << "the hotkey's Notepad has \"" << textOf(notepadEdit) << "\", the other \"" << textOf(otherEdit)
            << "\"";
    }
};

TEST_F(PasteSafetyJourney, NothingIsTypedAfterACopyThatFailed)
{
    ASSERT_NO_FATAL_FAILURE(hotkeyFromNotepad());
    ASSERT_NO_FATAL_FAILURE(typeAheadToKindRegards());
    ASSERT_NE(nullptr, holdClipboard(60000));
    press(VK_RETURN);
    MessageBoxSeen box = messageBox("Vombly", UiTimeoutMs, vombly.pid);
    ASSERT_NE(nullptr, box.window);
    EXPECT_EQ("The clipboard is in use by another program: nothing was copied !", box.text);
    // The other program lets go before the box is answered: a Ctrl+V now
    // would paste what was there before.
    PostMessageA(GetOpenClipboardWindow(), WM_CLOSE, 0, 0);
    ASSERT_TRUE(waitFor([] { return GetOpenClipboardWindow() == NULL; }, UiTimeoutMs));
    ASSERT_TRUE(bringToFront(box.window));
    ASSERT_TRUE(dismissBox(box.window));
    ASSERT_TRUE(waitFor([&] { return !IsWindow(box.window); }, UiTimeoutMs));
    expectNothingTyped();
    EXPECT_EQ(Sentinel, clipboardText());
    EXPECT_TRUE(shownNormally(window)) << "the window stays for another try";
}

TEST_F(PasteSafetyJourney, NothingIsTypedOnceTheUserWentToAnotherProgram)
{
    struct Case {
        const char *label;
        bool byTrayMenu;
    } cases[] = {
        {"back by the tray icon, then a double-click", false},
        {"a copy from the tray menu", true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.label);
        ASSERT_NO_FATAL_FAILURE(hotkeyFromNotepad());
        ASSERT_TRUE(DeleteFileA(dataFile("Vombly.cfg").c_str()));
        ASSERT_TRUE(bringToFront(other));
        if (c.byTrayMenu) {
            ASSERT_TRUE(chooseTrayEntry(1, 2));
        } else {
            POINT icon;
            ASSERT_TRUE(findTrayIcon(MainTitle, &icon));
            ASSERT_TRUE(doubleClick(icon));
            ASSERT_TRUE(waitFor([&] { return shownNormally(window) && GetForegroundWindow() == window; }, UiTimeoutMs));
            ASSERT_TRUE(doubleClickEntry(listBox, 2));
        }
        expectNothingTyped();
        EXPECT_EQ("Kind regards,", clipboardText());
        ASSERT_TRUE(setClipboardText(NULL, Sentinel));
    }
}

TEST_F(PasteSafetyJourney, AFailedSaveIsToldOnlyAfterThePaste)
{
    ASSERT_NO_FATAL_FAILURE(hotkeyFromNotepad());
    ASSERT_NO_FATAL_FAILURE(typeAheadToKindRegards());
    // Another program holds the file that every settings save goes through.
    HANDLE held = CreateFileA((dataFile("Vombly.cfg") + TempPathSuffix).c_str(), GENERIC_WRITE, 0, NULL,
                              CREATE_ALWAYS, 0, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    press(VK_RETURN);
    // Not held up by the box: had it come first, the keys would go wherever
    // the user is once it is answered.
    EXPECT_TRUE(waitFor([&] { return textOf(notepadEdit) == "Dear Sir, Kind regards,"; }, UiTimeoutMs))
        << textOf(notepadEdit);
    MessageBoxSeen box = messageBox("Vombly", UiTimeoutMs, vombly.pid);
    CloseHandle(held);
    ASSERT_NE(nullptr, box.window);
    EXPECT_EQ(0u, box.text.find("The settings could not be saved !")) << box.text;
    ASSERT_TRUE(bringToFront(box.window));
    ASSERT_TRUE(dismissBox(box.window));
    ASSERT_TRUE(waitFor([&] { return !IsWindow(box.window); }, UiTimeoutMs));
    EXPECT_FALSE(waitFor([&] { return textOf(notepadEdit) != "Dear Sir, Kind regards," || !textOf(otherEdit).empty(); },
                         1000))
        << textOf(notepadEdit) << " / " << textOf(otherEdit);
    EXPECT_TRUE(isRunning(vombly));
}

// ---- The options across a restart ---------------------------------------------------

TEST_F(KeyboardJourney, NewOptionsSurviveARestartInTheSameSettingsFile)
{
    ASSERT_NO_FATAL_FAILURE(writeFiles(defaultOptions()));
    VomblyProcess vombly = startVombly("/SM");
    HWND window = waitForMainWindow(vombly);
    ASSERT_NE(nullptr, window);
    ASSERT_TRUE(chooseMenu(window, "Options", "Keyboard and Privacy..."));
    HWND dialog = waitForDialog(KeyboardTitle, vombly.pid);
    ASSERT_NE(nullptr, dialog);
    EXPECT_EQ("Ctrl+Shift+Insert brings Vombly up.", textOf(GetDlgItem(dialog, IDC_HOTKEY_STATUS)));
    EXPECT_EQ("List 1: Home and Personal Items", textOf(GetDlgItem(dialog, IDC_PRIVATE1_CHECK)))
        << "each list's private box is named after it";

    // A new combination typed into the hotkey field, the paste, list 2
    // private, cleared after 45 seconds.
    // private, cleared after 45 seconds; from the keyboard, in Tab order.
    ASSERT_TRUE(bringToFront(dialog));
    ASSERT_EQ(GetDlgItem(dialog, IDC_HOTKEY_FIELD), focusOf(dialog)) << "the hotkey field has the first focus";
    press({VK_CONTROL, VK_SHIFT, VK_F9});
    struct Step {
        int controlId;
        bool tick;
    } steps[] = {{IDC_HOTKEY_NONE, false}, {IDC_PASTE_CHECK, true}, {IDC_PRIVATE1_CHECK, false},
                 {IDC_PRIVATE2_CHECK, true}, {IDC_PRIVATE3_CHECK, false}, {IDC_CLEAR_EDIT, false}};
    for (const auto &step : steps) {
        SCOPED_TRACE(step.controlId);
        press(VK_TAB);
        ASSERT_TRUE(waitFor([&] { return focusOf(dialog) == GetDlgItem(dialog, step.controlId); }, UiTimeoutMs));
        if (step.tick) {
            press(VK_SPACE);
            ASSERT_TRUE(waitFor([&] { return checked(dialog, step.controlId); }, UiTimeoutMs));
        }
    }
    // Tab selects the field's text, so typing replaces it. A day is the most.
    typeText("86401");
    press(VK_RETURN);
    MessageBoxSeen range = messageBox("Error", UiTimeoutMs, vombly.pid);
    ASSERT_NE(nullptr, range.window);
    EXPECT_EQ("Enter a number of seconds from 0 to 86400 !", range.text);
    ASSERT_TRUE(bringToFront(range.window));
    ASSERT_TRUE(dismissBox(range.window));
    ASSERT_TRUE(waitFor([&] { return !IsWindow(range.window); }, UiTimeoutMs));
    ASSERT_TRUE(IsWindowVisible(dialog));
    ASSERT_TRUE(bringToFront(dialog));
    ASSERT_TRUE(waitFor([&] { return focusOf(dialog) == GetDlgItem(dialog, IDC_CLEAR_EDIT); }, UiTimeoutMs))
        << "the field to correct has the focus, its text selected";
    typeText("45");
    ASSERT_TRUE(waitFor([&] { return textOf(GetDlgItem(dialog, IDC_CLEAR_EDIT)) == "45"; }, UiTimeoutMs));
    // A picture of the filled-in dialog for the reviewer, like main-window.png.
    waitUntilIdle(dialog);
    saveScreenshot("keyboard-privacy");
    press(VK_RETURN);
    ASSERT_TRUE(waitFor([&] { return !IsWindow(dialog); }, UiTimeoutMs));

    // It works at once: the new combination, not the old one.
    ASSERT_NO_FATAL_FAILURE(startNotepad());
    pressHotkey();
    EXPECT_FALSE(waitFor([&] { return GetForegroundWindow() == window; }, 1000));
    press({VK_CONTROL, VK_SHIFT, VK_F9});
    EXPECT_TRUE(waitFor([&] { return upWithListFocused(window); }, UiTimeoutMs));

    ASSERT_TRUE(chooseMenu(window, "File", "Exit"));
    HWND exitBox = waitForDialog("Vombly - Quit", vombly.pid);
    ASSERT_NE(nullptr, exitBox);
    ASSERT_TRUE(dismissBox(exitBox, IDOK));
    ASSERT_EQ(0u, waitForExit(vombly, ExitTimeoutMs));

    std::vector<unsigned char> bytes = readFileBytes(dataFile("Vombly.cfg"));
    EXPECT_EQ(1250u, bytes.size());
    SettingsRecord saved;
    ASSERT_TRUE(readUsersSettings(&saved)) << "the check value verifies";
    OptionsBlock options;
    ASSERT_EQ(1, DecodeOptions(saved.reservedTail, &options));
    EXPECT_EQ((uint32_t)(MOD_CONTROL | MOD_SHIFT), options.hotkeyModifiers);
    EXPECT_EQ((uint32_t)VK_F9, options.hotkeyKey);
    EXPECT_EQ(1u, options.pasteAfterHotkey);
    EXPECT_EQ(2u, options.privateLists);
    EXPECT_EQ(45u, options.privateClearSeconds);

    // The next start has them: the dialog shows them and the hotkey works.
    VomblyProcess again = startVombly("/SM");
    window = waitForMainWindow(again);
    ASSERT_NE(nullptr, window);
    ASSERT_TRUE(chooseMenu(window, "Options", "Keyboard and Privacy..."));
    dialog = waitForDialog(KeyboardTitle, again.pid);
    ASSERT_NE(nullptr, dialog);
    EXPECT_EQ("Ctrl+Shift+F9 brings Vombly up.", textOf(GetDlgItem(dialog, IDC_HOTKEY_STATUS)));
    EXPECT_TRUE(checked(dialog, IDC_PASTE_CHECK));
    EXPECT_FALSE(checked(dialog, IDC_PRIVATE1_CHECK));
    EXPECT_TRUE(checked(dialog, IDC_PRIVATE2_CHECK));
    EXPECT_EQ("45", textOf(GetDlgItem(dialog, IDC_CLEAR_EDIT)));
    ASSERT_TRUE(clickControl(dialog, IDCANCEL));
    ASSERT_TRUE(waitFor([&] { return !IsWindow(dialog); }, UiTimeoutMs));
    ASSERT_TRUE(bringToFront(notepadWindow));
    press({VK_CONTROL, VK_SHIFT, VK_F9});
    EXPECT_TRUE(waitFor([&] { return upWithListFocused(window); }, UiTimeoutMs));
}

} // namespace
