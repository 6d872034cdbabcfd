// What users do all day: copy an entry with a double-click and paste it
// elsewhere, add and remove entries, go round the three lists, change the
// settings, open the home page, and find it all as they left it at the next
// start. Every journey writes the user's files itself before the start.
#include <string.h>

#include <functional>
#include <string>
#include <vector>

#include "daily.h"
#include "journey.h"
#include "res/resource.h"

namespace {

typedef std::vector<std::string> Entries;

// Put on the clipboard first: still there means nothing was copied.
const char Sentinel[] = "sentinel: nothing was copied";

// Three lists whose entries tell them apart, each in sorted order so that
// sorting never moves a remembered selection.
const Entries List1 = {"alpha one", "bravo one", "charlie one"};
const Entries List2 = {"delta two", "echo two", "foxtrot two", "golf two"};
const Entries List3 = {"hotel three", "india three"};

const char AddTitle[] = "Vombly - Add String";
const char RemoveTitle[] = "Vombly - Remove String";
const char SettingsTitle[] = "Vombly - Settings";
const char RestartText[] = "An option has changed that requires the program to be restarted.\n\n"
                           "The option will be applied next time the program starts.";

enum Via { ViaButton, ViaMenu };

const char *viaName(Via via)
{
    return via == ViaButton ? "Button" : "Menu";
}

std::string repeated(const char *pattern, size_t length)
{
    std::string text;
    while (text.size() < length)
        text += pattern;
    return text.substr(0, length);
}

bool shown(HWND window)
{
    return IsWindowVisible(window) && !IsIconic(window);
}

bool inTray(HWND window)
{
    return IsIconic(window) && !IsWindowVisible(window);
}

int indexOf(const Entries &entries, const std::string &entry)
{
    for (size_t i = 0; i < entries.size(); i++) {
        if (entries[i] == entry)
            return (int)i;
    }
    return LB_ERR;
}

bool checked(HWND dialog, int id)
{
    DWORD_PTR state = 0;
    return SendMessageTimeoutA(GetDlgItem(dialog, id), BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 2000, &state) &&
           state == BST_CHECKED;
}

// A dialog or message box of the process is on screen.
bool hasVisibleDialog(DWORD pid)
{
    return findVisibleWindow(nullptr, "#32770", pid) != NULL;
}

// Replaces an edit's text the way a user does: click into it, select it
// all, delete it, type.
bool retype(HWND dialog, int editId, const char *text)
{
    HWND edit = GetDlgItem(dialog, editId);
    if (!clickControl(dialog, editId))
        return false;
    press(VK_END);
    press({VK_SHIFT, VK_HOME});
    press(VK_DELETE);
    if (!waitFor([&] { return windowText(edit).empty(); }, UiTimeoutMs))
        return false;
    typeText(text);
    return waitFor([&] { return windowText(edit) == text; }, UiTimeoutMs);
}

// Presses Home and waits for the caret to get there, which shows that the
// keys sent before it have been handled too. The caret must not be at the
// start already.
bool keysHandled(HWND edit)
{
    press(VK_HOME);
    return waitFor(
        [&] {
            DWORD_PTR selection = 1;
            return SendMessageTimeoutA(edit, EM_GETSEL, 0, 0, SMTO_ABORTIFHUNG, 2000, &selection) && selection == 0;
        },
        UiTimeoutMs);
}

// The band above the list box where the active list's name is painted.
RECT nameBand(HWND listBox)
{
    RECT list = windowRect(listBox);
    RECT band = {list.left, list.top - 16, list.right, list.top};
    return band;
}

// Text shows as more than one colour; an empty band is all background.
bool hasText(const std::vector<COLORREF> &pixels)
{
    for (COLORREF pixel : pixels) {
        if (pixel != pixels[0])
            return true;
    }
    return false;
}

struct DailyJourney : Journey {
    VomblyProcess vombly = {};
    HWND window = NULL;
    HWND listBox = NULL;

    void startShown()
    {
        vombly = startVombly("/SM");
        window = waitForMainWindow(vombly);
        ASSERT_NE(nullptr, window) << "the main window did not show";
        listBox = GetDlgItem(window, IDC_LISTBOX);
        ASSERT_NE(nullptr, listBox);
    }

    // Writes the settings file and lists 1 to 3, then starts shown.
    void startWith(const SettingsRecord &settings, const std::vector<Entries> &lists = {List1, List2, List3})
    {
        ASSERT_TRUE(writeSettingsFile(settings));
        for (size_t i = 0; i < lists.size(); i++)
            ASSERT_TRUE(writeListFile((int)i + 1, lists[i]));
        startShown();
    }

    // Ends the program without a word, as a crash or a shutdown would, and
    // starts it again on the same data folder.
    void restart()
    {
        stopAllVombly();
        startShown();
    }

    // Gives a command the way the user chose: its button or its File item.
    bool command(Via via, int buttonId, const char *menuItem)
    {
        return via == ViaButton ? clickControl(window, buttonId) : chooseMenu(window, "File", menuItem);
    }

    HWND openDialog(Via via, int buttonId, const char *menuItem, const char *title)
    {
        return command(via, buttonId, menuItem) ? waitForDialog(title, vombly.pid) : NULL;
    }

    HWND openSettings()
    {
        return chooseMenu(window, "Options", "Settings") ? waitForDialog(SettingsTitle, vombly.pid) : NULL;
    }

    bool closed(HWND dialog)
    {
        return waitFor([&] { return !IsWindow(dialog); }, UiTimeoutMs) && waitUntilIdle(window);
    }

    bool rewritten(const std::string &path, unsigned long long before)
    {
        return waitFor([&] { return fileWriteTime(path) != before; }, UiTimeoutMs);
    }

    // Double-clicks an entry and waits until the program has handled it,
    // which ends with saving the settings. Only then is the clipboard read:
    // reading it earlier could hold it open just when the program copies.
    bool copyByDoubleClick(int index)
    {
        unsigned long long saved = fileWriteTime(dataFile("Vombly.cfg"));
        return doubleClickEntry(listBox, index) && rewritten(dataFile("Vombly.cfg"), saved);
    }

    SettingsRecord savedSettings()
    {
        SettingsRecord record = {};
        EXPECT_TRUE(readSettingsFile(&record));
        return record;
    }

    // Waits until the settings file verifies and `holds` is true of it.
    bool settingsSoon(const std::function<bool(const SettingsRecord &)> &holds)
    {
        return waitFor(
            [&] {
                SettingsRecord record = {};
                return readSettingsFile(&record) && holds(record);
            },
            UiTimeoutMs);
    }
};

// ---- Copying an entry ----------------------------------------------------

struct DailyCopyJourney : DailyJourney {};

TEST_F(DailyCopyJourney, DoubleClickPutsExactlyTheEntryOnTheClipboard)
{
    // Spaces at both ends, punctuation, and an entry of no text at all.
    const Entries entries = {"plain text", "  spaced out  ", "", "tab\there; \"quotes\" & 100%"};
    ASSERT_NO_FATAL_FAILURE(startWith(settingsRecord(1, 0, 0), {entries, List2, List3}));

    for (size_t i = 0; i < entries.size(); i++) {
        SCOPED_TRACE(i);
        ASSERT_TRUE(setClipboardText(Sentinel));
        ASSERT_TRUE(copyByDoubleClick((int)i));
        EXPECT_TRUE(clipboardHasText());
        EXPECT_EQ(entries[i], clipboardText());
        // The copy is remembered as the list's selection.
        EXPECT_EQ((int)i, selectedIndex(listBox));
        EXPECT_EQ((int32_t)i, savedSettings().lists[0].listSelection);
        EXPECT_TRUE(shown(window));
    }
}

TEST_F(DailyCopyJourney, LongEntriesAreCopiedRemovedAndSavedExactly)
{
    // Around the 512 characters that some list boxes' ANSI conversion
    // holds, and up to the longest entry a list file may carry.
    Entries entries;
    const char *patterns[] = {"511 ", "512 ", "600 ", "999 ", "4009 "};
    for (size_t length : {511, 512, 600, 999, 4009})
        entries.push_back(repeated(patterns[entries.size()], length));
    ASSERT_NO_FATAL_FAILURE(startWith(settingsRecord(1, 0, 0), {entries, List2, List3}));
    ASSERT_TRUE(entries == listBoxEntries(listBox));

    for (size_t i = 0; i < entries.size(); i++) {
        SCOPED_TRACE(entries[i].size());
        ASSERT_TRUE(setClipboardText(Sentinel));
        ASSERT_TRUE(copyByDoubleClick((int)i));
        std::string copied = clipboardText();
        EXPECT_EQ(entries[i].size(), copied.size());
        EXPECT_TRUE(entries[i] == copied);
    }

    // Each removal shows the whole entry, writes every remaining one
    // exactly and shows the list as written. The entry over 4000
    // characters, never written, goes first: after any removal the list is
    // read back from its file, without it.
    Entries left = entries;
    for (int index : {4, 0, 0, 0, 0}) {
        SCOPED_TRACE(left[(size_t)index].size());
        ASSERT_TRUE(clickEntry(listBox, index));
        HWND dialog = openDialog(ViaButton, IDC_REMOVE, "Remove a String", RemoveTitle);
        ASSERT_NE(nullptr, dialog);
        EXPECT_TRUE(Entries{left[(size_t)index]} == listBoxEntries(GetDlgItem(dialog, IDC_REMOVE_LIST)));
        ASSERT_TRUE(bringToFront(dialog));
        press(VK_RETURN);
        ASSERT_TRUE(closed(dialog));
        left.erase(left.begin() + index);
        EXPECT_TRUE(waitFor([&] { return readListFile(1) == left; }, UiTimeoutMs));
        EXPECT_TRUE(left == listBoxEntries(listBox));
    }
}

TEST_F(DailyCopyJourney, SingleClickCopiesAndSavesNothing)
{
    ASSERT_NO_FATAL_FAILURE(startWith(settingsRecord(1, 0, 1)));
    ASSERT_TRUE(setClipboardText(Sentinel));
    unsigned long long saved = fileWriteTime(dataFile("Vombly.cfg"));
    std::vector<unsigned char> settings = readFileBytes(dataFile("Vombly.cfg"));

    ASSERT_TRUE(clickEntry(listBox, 2));
    ASSERT_TRUE(waitUntilIdle(window));
    EXPECT_EQ(Sentinel, clipboardText());
    EXPECT_EQ(saved, fileWriteTime(dataFile("Vombly.cfg")));
    EXPECT_EQ(settings, readFileBytes(dataFile("Vombly.cfg")));
    // Minimising belongs to the copy, not to the click.
    EXPECT_TRUE(shown(window));
}

struct AfterCopyCase {
    const char *name;
    int32_t minimise;
    bool emptyList;
    const char *copied; // what the clipboard holds afterwards
};

struct DailyAfterCopyJourney : DailyJourney, ::testing::WithParamInterface<AfterCopyCase> {};

TEST_P(DailyAfterCopyJourney, HidesInTheTrayOnlyWhenSetAndAlwaysSaves)
{
    const AfterCopyCase &c = GetParam();
    ASSERT_NO_FATAL_FAILURE(startWith(settingsRecord(1, 0, c.minimise), {c.emptyList ? Entries{} : List1, List2, List3}));
    ASSERT_TRUE(setClipboardText(Sentinel));

    if (c.emptyList) {
        unsigned long long saved = fileWriteTime(dataFile("Vombly.cfg"));
        ASSERT_TRUE(listBoxEntries(listBox).empty());
        ASSERT_TRUE(bringToFront(listBox));
        ASSERT_TRUE(doubleClick(centre(windowRect(listBox))));
        ASSERT_TRUE(rewritten(dataFile("Vombly.cfg"), saved)) << "the double-click was not saved";
    } else {
        ASSERT_TRUE(copyByDoubleClick(1)) << "the double-click was not saved";
    }
    ASSERT_TRUE(waitUntilIdle(window));
    if (c.minimise == 1)
        EXPECT_TRUE(waitFor([&] { return inTray(window); }, UiTimeoutMs));
    else
        EXPECT_TRUE(shown(window));
    EXPECT_EQ(c.copied, clipboardText());
    EXPECT_FALSE(hasVisibleDialog(vombly.pid));
}

const AfterCopyCase afterCopyCases[] = {
    {"EntryThenTray", 1, false, "bravo one"},
    {"EntryThenStays", 0, false, "bravo one"},
    {"EmptyListThenTray", 1, true, Sentinel},
    {"EmptyListThenStays", 0, true, Sentinel},
};

INSTANTIATE_TEST_SUITE_P(Cases, DailyAfterCopyJourney, ::testing::ValuesIn(afterCopyCases),
                         [](const ::testing::TestParamInfo<AfterCopyCase> &info) { return std::string(info.param.name); });

TEST_F(DailyCopyJourney, ClipboardHeldByAnotherProgramCopiesNothingAndSaysSo)
{
    // The window would go to the tray after a copy that worked.
    ASSERT_NO_FATAL_FAILURE(startWith(settingsRecord(1, 0, 1)));
    ASSERT_TRUE(setClipboardText(Sentinel));

    // Held far longer than the journey waits for the program's answer.
    HANDLE holder = holdClipboard(20000);
    ASSERT_NE(nullptr, holder) << "clipboard_holder never held the clipboard";
    ASSERT_TRUE(doubleClickEntry(listBox, 0));
    MessageBoxSeen box = messageBox("Vombly", UiTimeoutMs, vombly.pid);
    ASSERT_NE(nullptr, box.window) << "nothing told the user";
    EXPECT_EQ("The clipboard is in use by another program: nothing was copied !", box.text);
    ASSERT_TRUE(bringToFront(box.window));
    press(VK_RETURN);
    EXPECT_TRUE(waitFor([&] { return !hasVisibleDialog(vombly.pid); }, UiTimeoutMs));
    EXPECT_TRUE(answers(window, 2000));
    EXPECT_TRUE(shown(window));

    // The holder lets go when its window is closed.
    HWND holding = GetOpenClipboardWindow();
    ASSERT_NE(nullptr, holding);
    PostMessageA(holding, WM_CLOSE, 0, 0);
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(holder, 5000));
    EXPECT_EQ(Sentinel, clipboardText());

    // Once the clipboard is free again, copying works as before.
    ASSERT_TRUE(copyByDoubleClick(2));
    EXPECT_EQ("charlie one", clipboardText());
    EXPECT_TRUE(waitFor([&] { return inTray(window); }, UiTimeoutMs));
}

// ---- The click sound -------------------------------------------------------

uint32_t little32(const unsigned char *bytes)
{
    return bytes[0] | (uint32_t)bytes[1] << 8 | (uint32_t)bytes[2] << 16 | (uint32_t)bytes[3] << 24;
}

uint16_t little16(const unsigned char *bytes)
{
    return (uint16_t)(bytes[0] | bytes[1] << 8);
}

TEST(DailyClickSound, IsAWaveResourceOfTheShippedExe)
{
    std::string exe = runFolder() + "\\Vombly.exe";
    HMODULE module = LoadLibraryExA(exe.c_str(), NULL, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(nullptr, module) << exe;
    HRSRC found = FindResourceA(module, "CLICK_SOUND", "WAVE");
    ASSERT_NE(nullptr, found);
    HGLOBAL loaded = LoadResource(module, found);
    const unsigned char *wave = loaded != NULL ? (const unsigned char *)LockResource(loaded) : NULL;
    ASSERT_NE(nullptr, wave);
    std::vector<unsigned char> bytes(wave, wave + SizeofResource(module, found));
    FreeLibrary(module);

    ASSERT_GE(bytes.size(), 12u);
    EXPECT_EQ(0, memcmp(bytes.data(), "RIFF", 4));
    EXPECT_EQ(bytes.size() - 8, little32(&bytes[4]));
    EXPECT_EQ(0, memcmp(&bytes[8], "WAVE", 4));

    // Walk the chunks: "fmt " describes the samples, "data" holds them.
    bool sawFormat = false;
    uint32_t dataSize = 0;
    for (size_t at = 12; at + 8 <= bytes.size();) {
        uint32_t size = little32(&bytes[at + 4]);
        ASSERT_LE(at + 8 + size, bytes.size()) << "chunk at " << at << " runs past the end";
        const unsigned char *body = &bytes[at + 8];
        if (memcmp(&bytes[at], "fmt ", 4) == 0) {
            ASSERT_GE(size, 16u);
            sawFormat = true;
            EXPECT_EQ(1, little16(body));          // PCM
            EXPECT_EQ(1, little16(body + 2));      // one channel
            EXPECT_EQ(22050u, little32(body + 4)); // samples a second
            EXPECT_EQ(44100u, little32(body + 8)); // bytes a second
            EXPECT_EQ(2, little16(body + 12));     // bytes a sample
            EXPECT_EQ(16, little16(body + 14));    // bits a sample
        } else if (memcmp(&bytes[at], "data", 4) == 0) {
            dataSize = size;
        }
        at += 8 + size + (size & 1);
    }
    EXPECT_TRUE(sawFormat);
    EXPECT_EQ(1284u, dataSize);
}

TEST_F(DailyCopyJourney, SoundNeverKeepsTheProgramWaiting)
{
    ASSERT_NO_FATAL_FAILURE(startWith(settingsRecord(1, 0, 0)));
    // Copies in quick succession: each one's sound starts while the last
    // may still be playing, or fails for want of an audio device.
    for (int i : {0, 1, 2, 0}) {
        SCOPED_TRACE(i);
        ASSERT_TRUE(setClipboardText(Sentinel));
        ASSERT_TRUE(copyByDoubleClick(i));
        EXPECT_TRUE(answers(window, 1000));
        EXPECT_EQ(List1[(size_t)i], clipboardText());
    }
}

// ---- Adding an entry -------------------------------------------------------

struct AddCase {
    const char *name;
    Via via;
    int32_t sort;
    Entries file;      // list 1 as written before the start
    int selected;      // selected at start, an index of the list box
    const char *typed;
    Entries after;     // the list box and the file afterwards
};

struct DailyAddJourney : DailyJourney, ::testing::WithParamInterface<AddCase> {};

TEST_P(DailyAddJourney, EnterAddsTheTypedText)
{
    const AddCase &c = GetParam();
    SettingsRecord settings = settingsRecord(1, c.sort, 0);
    settings.lists[0].listSelection = c.selected;
    ASSERT_NO_FATAL_FAILURE(startWith(settings, {c.file, List2, List3}));
    std::string selected = selectedEntry(listBox);
    ASSERT_FALSE(selected.empty());

    HWND dialog = openDialog(c.via, IDC_ADD, "Add a String", AddTitle);
    ASSERT_NE(nullptr, dialog);
    ASSERT_TRUE(bringToFront(dialog));
    EXPECT_EQ(GetDlgItem(dialog, IDC_ADD_EDIT), focusOf(dialog));
    typeText(c.typed);
    ASSERT_TRUE(waitFor([&] { return windowText(GetDlgItem(dialog, IDC_ADD_EDIT)) == c.typed; }, UiTimeoutMs));
    press(VK_RETURN);
    ASSERT_TRUE(closed(dialog));

    EXPECT_EQ(c.after, listBoxEntries(listBox));
    EXPECT_TRUE(waitFor([&] { return readListFile(1) == c.after; }, UiTimeoutMs));
    // The entry the user had selected is still the one selected.
    EXPECT_EQ(selected, selectedEntry(listBox));
    int index = indexOf(c.after, selected);
    EXPECT_TRUE(settingsSoon([&](const SettingsRecord &r) { return r.lists[0].listSelection == index; }));
}

const AddCase addCases[] = {
    {"UnsortedGoesLastButton", ViaButton, 0, {"mike", "alpha", "zulu"}, 1, "kilo", {"mike", "alpha", "zulu", "kilo"}},
    {"UnsortedGoesLastMenu", ViaMenu, 0, {"mike", "alpha", "zulu"}, 2, "bravo", {"mike", "alpha", "zulu", "bravo"}},
    // The file is read in any order and written back sorted.
    {"SortedTakesItsPlaceButton", ViaButton, 1, {"mike", "zulu", "alpha"}, 2, "kilo", {"alpha", "kilo", "mike", "zulu"}},
    {"SortedTakesItsPlaceMenu", ViaMenu, 1, {"mike", "zulu", "alpha"}, 0, "bravo", {"alpha", "bravo", "mike", "zulu"}},
    {"SameTextTwice", ViaButton, 0, {"kilo", "lima"}, 0, "kilo", {"kilo", "lima", "kilo"}},
    {"SameTextTwiceSorted", ViaMenu, 1, {"kilo", "lima"}, 1, "kilo", {"kilo", "kilo", "lima"}},
    {"SpacesAndPunctuationKept", ViaButton, 0, {"kilo"}, 0, "  a, b; \"c\"  ", {"kilo", "  a, b; \"c\"  "}},
};

INSTANTIATE_TEST_SUITE_P(Cases, DailyAddJourney, ::testing::ValuesIn(addCases),
                         [](const ::testing::TestParamInfo<AddCase> &info) { return std::string(info.param.name); });

TEST_F(DailyJourney, AddTakesAtMost999CharactersTypedOrPasted)
{
    ASSERT_NO_FATAL_FAILURE(startWith(settingsRecord(1, 0, 0)));
    std::string pasted = repeated("0123456789abcdefghij", 1200);
    ASSERT_TRUE(setClipboardText(pasted));

    HWND dialog = openDialog(ViaButton, IDC_ADD, nullptr, AddTitle);
    ASSERT_NE(nullptr, dialog);
    HWND edit = GetDlgItem(dialog, IDC_ADD_EDIT);
    ASSERT_TRUE(bringToFront(dialog));
    press({VK_CONTROL, 'V'});
    ASSERT_TRUE(waitFor([&] { return !windowText(edit).empty(); }, UiTimeoutMs));
    EXPECT_EQ(pasted.substr(0, 999), windowText(edit));
    // A full box takes no more typing either.
    press(VK_END);
    typeText("zz");
    ASSERT_TRUE(keysHandled(edit));
    EXPECT_EQ(pasted.substr(0, 999), windowText(edit));
    press(VK_RETURN);
    ASSERT_TRUE(closed(dialog));

    Entries after = List1;
    after.push_back(pasted.substr(0, 999));
    EXPECT_EQ(after, listBoxEntries(listBox));
    EXPECT_TRUE(waitFor([&] { return readListFile(1) == after; }, UiTimeoutMs));
}

struct AddNothingCase {
    const char *name;
    const char *typed;
    WORD key;           // closes the dialog; 0 clicks Cancel
};

struct DailyAddNothingJourney : DailyJourney, ::testing::WithParamInterface<AddNothingCase> {};

TEST_P(DailyAddNothingJourney, ListStaysButBothFilesAreWrittenAgain)
{
    const AddNothingCase &c = GetParam();
    ASSERT_NO_FATAL_FAILURE(startWith(settingsRecord(1, 0, 0)));
    const std::string files[] = {dataFile("Vombly.cfg"), listFilePath(1)};
    std::vector<unsigned char> bytes[ARRAYSIZE(files)];
    unsigned long long times[ARRAYSIZE(files)];
    for (size_t i = 0; i < ARRAYSIZE(files); i++) {
        bytes[i] = readFileBytes(files[i]);
        times[i] = fileWriteTime(files[i]);
    }

    HWND dialog = openDialog(ViaMenu, IDC_ADD, "Add a String", AddTitle);
    ASSERT_NE(nullptr, dialog);
    ASSERT_TRUE(bringToFront(dialog));
    typeText(c.typed);
    ASSERT_TRUE(waitFor([&] { return windowText(GetDlgItem(dialog, IDC_ADD_EDIT)) == c.typed; }, UiTimeoutMs));
    if (c.key != 0)
        press(c.key);
    else
        ASSERT_TRUE(clickControl(dialog, IDCANCEL));
    ASSERT_TRUE(closed(dialog));

    EXPECT_EQ(List1, listBoxEntries(listBox));
    EXPECT_EQ(0, selectedIndex(listBox));
    for (size_t i = 0; i < ARRAYSIZE(files); i++) {
        SCOPED_TRACE(files[i]);
        EXPECT_TRUE(rewritten(files[i], times[i]));
        EXPECT_EQ(bytes[i], readFileBytes(files[i]));
    }
}

const AddNothingCase addNothingCases[] = {
    {"EmptyBoxAndEnter", "", VK_RETURN},
    {"Cancelled", "kilo", 0},
    {"Escaped", "kilo", VK_ESCAPE},
};

INSTANTIATE_TEST_SUITE_P(Cases, DailyAddNothingJourney, ::testing::ValuesIn(addNothingCases),
                         [](const ::testing::TestParamInfo<AddNothingCase> &info) { return std::string(info.param.name); });

// ---- Removing an entry -----------------------------------------------------

struct DailyRemoveNothingJourney : DailyJourney, ::testing::WithParamInterface<Via> {};

TEST_P(DailyRemoveNothingJourney, RemoveWithNothingSelectedOnlySaysSo)
{
    SettingsRecord settings = settingsRecord(1, 0, 0);
    settings.lists[0].listSelection = -1;
    ASSERT_NO_FATAL_FAILURE(startWith(settings));
    ASSERT_EQ(LB_ERR, selectedIndex(listBox));

    ASSERT_TRUE(command(GetParam(), IDC_REMOVE, "Remove a String"));
    MessageBoxSeen box = messageBox("Error", UiTimeoutMs, vombly.pid);
    ASSERT_NE(nullptr, box.window);
    EXPECT_EQ("There was  no string selected for deletion !", box.text);
    EXPECT_EQ(nullptr, findWindow(RemoveTitle, "#32770", vombly.pid));
    ASSERT_TRUE(bringToFront(box.window));
    press(VK_RETURN);
    ASSERT_TRUE(closed(box.window));
    EXPECT_EQ(nullptr, findWindow(RemoveTitle, "#32770", vombly.pid));
    EXPECT_EQ(List1, listBoxEntries(listBox));
    EXPECT_EQ(List1, readListFile(1));
}

INSTANTIATE_TEST_SUITE_P(Both, DailyRemoveNothingJourney, ::testing::Values(ViaButton, ViaMenu),
                         [](const ::testing::TestParamInfo<Via> &info) { return std::string(viaName(info.param)); });

struct RemoveCase {
    const char *name;
    Via via;
    Entries entries;
    int removed;
    Entries after;
    int selectedAfter; // LB_ERR: none
};

struct DailyRemoveJourney : DailyJourney, ::testing::WithParamInterface<RemoveCase> {};

TEST_P(DailyRemoveJourney, EnterRemovesTheShownEntryAndSelectsTheOneBefore)
{
    const RemoveCase &c = GetParam();
    ASSERT_NO_FATAL_FAILURE(startWith(settingsRecord(1, 0, 0), {c.entries, List2, List3}));
    ASSERT_TRUE(clickEntry(listBox, c.removed));

    HWND dialog = openDialog(c.via, IDC_REMOVE, "Remove a String", RemoveTitle);
    ASSERT_NE(nullptr, dialog);
    EXPECT_EQ(Entries{c.entries[(size_t)c.removed]}, listBoxEntries(GetDlgItem(dialog, IDC_REMOVE_LIST)));
    ASSERT_TRUE(bringToFront(dialog));
    press(VK_RETURN);
    ASSERT_TRUE(closed(dialog));

    EXPECT_TRUE(waitFor([&] { return readListFile(1) == c.after; }, UiTimeoutMs));
    EXPECT_EQ(c.after, listBoxEntries(listBox));
    EXPECT_EQ(c.selectedAfter, selectedIndex(listBox));
    EXPECT_TRUE(settingsSoon([&](const SettingsRecord &r) { return r.lists[0].listSelection == c.selectedAfter; }));
}

const RemoveCase removeCases[] = {
    {"FirstButton", ViaButton, {"a", "b", "c"}, 0, {"b", "c"}, 0},
    {"MiddleMenu", ViaMenu, {"a", "b", "c"}, 1, {"a", "c"}, 0},
    {"LastButton", ViaButton, {"a", "b", "c"}, 2, {"a", "b"}, 1},
    {"OnlyOneMenu", ViaMenu, {"a"}, 0, {}, LB_ERR},
    {"OneOfTwinsButton", ViaButton, {"a", "a", "b"}, 1, {"a", "b"}, 0},
    // An empty line that a damaged or hand-made file brought in can go too.
    {"EmptyEntryMenu", ViaMenu, {"a", "", "b"}, 1, {"a", "b"}, 0},
};

INSTANTIATE_TEST_SUITE_P(Cases, DailyRemoveJourney, ::testing::ValuesIn(removeCases),
                         [](const ::testing::TestParamInfo<RemoveCase> &info) { return std::string(info.param.name); });

struct KeepCase {
    const char *name;
    Entries entries;
    int selected;
    bool cancel; // Cancel clicked; otherwise Enter
};

struct DailyKeepJourney : DailyJourney, ::testing::WithParamInterface<KeepCase> {};

TEST_P(DailyKeepJourney, EntryAndSelectionStay)
{
    const KeepCase &c = GetParam();
    ASSERT_NO_FATAL_FAILURE(startWith(settingsRecord(1, 0, 0), {c.entries, List2, List3}));
    ASSERT_TRUE(clickEntry(listBox, c.selected));

    HWND dialog = openDialog(ViaButton, IDC_REMOVE, nullptr, RemoveTitle);
    ASSERT_NE(nullptr, dialog);
    EXPECT_EQ(Entries{c.entries[(size_t)c.selected]}, listBoxEntries(GetDlgItem(dialog, IDC_REMOVE_LIST)));
    unsigned long long written = fileWriteTime(listFilePath(1));
    if (c.cancel) {
        ASSERT_TRUE(clickControl(dialog, IDCANCEL));
    } else {
        ASSERT_TRUE(bringToFront(dialog));
        press(VK_RETURN);
    }
    ASSERT_TRUE(closed(dialog));

    EXPECT_TRUE(rewritten(listFilePath(1), written));
    EXPECT_EQ(c.entries, listBoxEntries(listBox));
    EXPECT_EQ(c.entries, readListFile(1));
    EXPECT_EQ(c.selected, selectedIndex(listBox));
}

const KeepCase keepCases[] = {
    {"Cancelled", {"a", "b", "c"}, 1, true},
};

INSTANTIATE_TEST_SUITE_P(Cases, DailyKeepJourney, ::testing::ValuesIn(keepCases),
                         [](const ::testing::TestParamInfo<KeepCase> &info) { return std::string(info.param.name); });

// ---- Going round the lists -------------------------------------------------

const Entries &listEntries(uint32_t list)
{
    static const Entries none;
    return list == 1 ? List1 : list == 2 ? List2 : list == 3 ? List3 : none;
}

struct ToggleCase {
    Via via;
    uint32_t from;
    uint32_t to;
};

struct DailyToggleJourney : DailyJourney, ::testing::WithParamInterface<ToggleCase> {};

TEST_P(DailyToggleJourney, ShowsTheNextListAndKeepsItAcrossARestart)
{
    const ToggleCase &c = GetParam();
    ASSERT_NO_FATAL_FAILURE(startWith(settingsRecord(c.from, 0, 0)));
    // A list number outside 1 to 3 starts on list 1.
    ASSERT_EQ(listEntries(c.from >= 1 && c.from <= 3 ? c.from : 1), listBoxEntries(listBox));

    unsigned long long saved = fileWriteTime(dataFile("Vombly.cfg"));
    ASSERT_TRUE(command(c.via, IDC_TOGGLE, "Toggle List"));
    ASSERT_TRUE(waitFor([&] { return listBoxEntries(listBox) == listEntries(c.to); }, UiTimeoutMs))
        << "still shows " << listBoxEntries(listBox).size() << " entries";
    ASSERT_TRUE(rewritten(dataFile("Vombly.cfg"), saved));
    EXPECT_TRUE(settingsSoon([&](const SettingsRecord &r) { return r.activeList == c.to; }));

    ASSERT_NO_FATAL_FAILURE(restart());
    EXPECT_EQ(listEntries(c.to), listBoxEntries(listBox));
    EXPECT_EQ(c.to, savedSettings().activeList);
}

const ToggleCase toggleCases[] = {
    {ViaButton, 0, 2}, {ViaButton, 1, 2}, {ViaButton, 2, 3}, {ViaButton, 3, 1}, {ViaButton, 9, 2},
    {ViaMenu, 0, 2},   {ViaMenu, 1, 2},   {ViaMenu, 2, 3},   {ViaMenu, 3, 1},   {ViaMenu, 9, 2},
};

INSTANTIATE_TEST_SUITE_P(Cases, DailyToggleJourney, ::testing::ValuesIn(toggleCases),
                         [](const ::testing::TestParamInfo<ToggleCase> &info) {
                             return std::string(viaName(info.param.via)) + "From" + std::to_string(info.param.from);
                         });

TEST_F(DailyJourney, ThreeTogglesComeBackWithEachListsSelection)
{
    SettingsRecord settings = settingsRecord(1, 0, 0);
    settings.lists[0].listSelection = 2;
    settings.lists[1].listSelection = 1;
    settings.lists[2].listSelection = 0;
    ASSERT_NO_FATAL_FAILURE(startWith(settings));
    ASSERT_EQ(2, selectedIndex(listBox));

    const struct {
        uint32_t list;
        int selected;
        int clicked; // then clicked by the user; -1 for none
    } rounds[] = {{2, 1, 3}, {3, 0, -1}, {1, 2, -1}, {2, 3, -1}};
    for (const auto &round : rounds) {
        SCOPED_TRACE(round.list);
        ASSERT_TRUE(command(ViaButton, IDC_TOGGLE, nullptr));
        ASSERT_TRUE(waitFor([&] { return listBoxEntries(listBox) == listEntries(round.list); }, UiTimeoutMs));
        EXPECT_EQ(round.selected, selectedIndex(listBox));
        if (round.clicked >= 0) {
            ASSERT_TRUE(clickEntry(listBox, round.clicked));
        }
    }
}

// ---- Settings --------------------------------------------------------------

struct FieldsCase {
    const char *name;
    int32_t sort;
    int32_t minimise;
    const char *names[3];
};

struct DailySettingsFieldsJourney : DailyJourney, ::testing::WithParamInterface<FieldsCase> {};

TEST_P(DailySettingsFieldsJourney, ShowTheStoredValues)
{
    const FieldsCase &c = GetParam();
    SettingsRecord settings = settingsRecord(1, c.sort, c.minimise);
    for (int i = 0; i < 3; i++)
        snprintf(settings.lists[i].listName, ListNameSize, "%s", c.names[i]);
    ASSERT_NO_FATAL_FAILURE(startWith(settings));

    HWND dialog = openSettings();
    ASSERT_NE(nullptr, dialog);
    EXPECT_EQ(c.sort == 1, checked(dialog, IDC_SORT_CHECK));
    EXPECT_EQ(c.minimise == 1, checked(dialog, IDC_MINIMISE_CHECK));
    const int edits[3] = {IDC_NAME1_EDIT, IDC_NAME2_EDIT, IDC_NAME3_EDIT};
    for (int i = 0; i < 3; i++)
        EXPECT_EQ(c.names[i], windowText(GetDlgItem(dialog, edits[i]))) << "name " << i + 1;
    ASSERT_TRUE(clickControl(dialog, IDCANCEL));
    EXPECT_TRUE(closed(dialog));
}

const FieldsCase fieldsCases[] = {
    {"SortedNotMinimised", 1, 0, {"Alpha list", "", "Gamma list"}},
    {"MinimisedNotSorted", 0, 1, {"List 1: Home and Personal Items", "List 2: Office and Work Items", "x"}},
};

INSTANTIATE_TEST_SUITE_P(Cases, DailySettingsFieldsJourney, ::testing::ValuesIn(fieldsCases),
                         [](const ::testing::TestParamInfo<FieldsCase> &info) { return std::string(info.param.name); });

TEST_F(DailyJourney, SettingsNameTakesAtMost60AndIsPaintedAtOnce)
{
    ASSERT_NO_FATAL_FAILURE(startWith(settingsRecord(1, 0, 0)));
    std::vector<COLORREF> before;
    ASSERT_TRUE(waitFor([&] { return hasText(before = screenPixels(nameBand(listBox))); }, UiTimeoutMs));

    HWND dialog = openSettings();
    ASSERT_NE(nullptr, dialog);
    std::string typed = repeated("Wide Name ", 70);
    // retype would wait for all 70 characters; the edit keeps 60.
    ASSERT_TRUE(retype(dialog, IDC_NAME1_EDIT, ""));
    typeText(typed.c_str());
    HWND edit = GetDlgItem(dialog, IDC_NAME1_EDIT);
    ASSERT_TRUE(waitFor([&] { return windowText(edit).size() >= 60; }, UiTimeoutMs));
    ASSERT_TRUE(keysHandled(edit));
    EXPECT_EQ(typed.substr(0, 60), windowText(edit));
    ASSERT_TRUE(clickControl(dialog, IDOK));
    ASSERT_TRUE(closed(dialog));

    EXPECT_TRUE(settingsSoon([&](const SettingsRecord &r) { return r.lists[0].listName == typed.substr(0, 60); }));
    EXPECT_TRUE(waitFor(
        [&] {
            std::vector<COLORREF> after = screenPixels(nameBand(listBox));
            return hasText(after) && after != before;
        },
        UiTimeoutMs))
        << "the new name was not painted above the list";
    EXPECT_FALSE(hasVisibleDialog(vombly.pid));
}

struct OptionCase {
    const char *name;
    std::vector<int> clicks; // boxes clicked, in order
    bool asksForRestart;
};

struct DailySettingsOptionJourney : DailyJourney, ::testing::WithParamInterface<OptionCase> {};

TEST_P(DailySettingsOptionJourney, OnlyAChangedSortAsksForARestartOnce)
{
    const OptionCase &c = GetParam();
    ASSERT_NO_FATAL_FAILURE(startWith(settingsRecord(1, 0, 0)));
    HWND dialog = openSettings();
    ASSERT_NE(nullptr, dialog);
    bool sort = false, minimise = false;
    for (int id : c.clicks) {
        bool &box = id == IDC_SORT_CHECK ? sort : minimise;
        box = !box;
        ASSERT_TRUE(clickControl(dialog, id));
        ASSERT_TRUE(waitFor([&] { return checked(dialog, id) == box; }, UiTimeoutMs));
    }
    unsigned long long saved = fileWriteTime(dataFile("Vombly.cfg"));
    ASSERT_TRUE(clickControl(dialog, IDOK));

    if (c.asksForRestart) {
        MessageBoxSeen box = messageBox("Vombly", UiTimeoutMs, vombly.pid);
        ASSERT_NE(nullptr, box.window);
        EXPECT_EQ(RestartText, box.text);
        ASSERT_TRUE(bringToFront(box.window));
        press(VK_RETURN);
        ASSERT_TRUE(waitFor([&] { return !IsWindow(box.window); }, UiTimeoutMs));
    }
    ASSERT_TRUE(rewritten(dataFile("Vombly.cfg"), saved));
    ASSERT_TRUE(closed(dialog));
    // Once saved nothing more is shown: no second message.
    EXPECT_FALSE(hasVisibleDialog(vombly.pid));
    SettingsRecord stored = savedSettings();
    EXPECT_EQ(sort ? 1 : 0, stored.sortEntries);
    EXPECT_EQ(minimise ? 1 : 0, stored.minimiseAfterSelection);
}

const OptionCase optionCases[] = {
    {"SortTicked", {IDC_SORT_CHECK}, true},
    {"SortTickedAndUnticked", {IDC_SORT_CHECK, IDC_SORT_CHECK}, false},
    {"MinimiseTicked", {IDC_MINIMISE_CHECK}, false},
    {"BothTicked", {IDC_MINIMISE_CHECK, IDC_SORT_CHECK}, true},
};

INSTANTIATE_TEST_SUITE_P(Cases, DailySettingsOptionJourney, ::testing::ValuesIn(optionCases),
                         [](const ::testing::TestParamInfo<OptionCase> &info) { return std::string(info.param.name); });

TEST_F(DailyJourney, SettingsCancelKeepsEveryFieldButWritesTheFile)
{
    SettingsRecord settings = settingsRecord(1, 0, 1);
    snprintf(settings.lists[1].listName, ListNameSize, "%s", "Second");
    ASSERT_NO_FATAL_FAILURE(startWith(settings));
    std::vector<unsigned char> bytes = readFileBytes(dataFile("Vombly.cfg"));
    unsigned long long saved = fileWriteTime(dataFile("Vombly.cfg"));

    HWND dialog = openSettings();
    ASSERT_NE(nullptr, dialog);
    ASSERT_TRUE(clickControl(dialog, IDC_SORT_CHECK));
    ASSERT_TRUE(clickControl(dialog, IDC_MINIMISE_CHECK));
    ASSERT_TRUE(retype(dialog, IDC_NAME1_EDIT, "changed one"));
    ASSERT_TRUE(retype(dialog, IDC_NAME2_EDIT, ""));
    ASSERT_TRUE(clickControl(dialog, IDCANCEL));
    ASSERT_TRUE(closed(dialog));

    EXPECT_TRUE(rewritten(dataFile("Vombly.cfg"), saved));
    EXPECT_EQ(bytes, readFileBytes(dataFile("Vombly.cfg")));
    EXPECT_FALSE(hasVisibleDialog(vombly.pid));

    dialog = openSettings();
    ASSERT_NE(nullptr, dialog);
    EXPECT_FALSE(checked(dialog, IDC_SORT_CHECK));
    EXPECT_TRUE(checked(dialog, IDC_MINIMISE_CHECK));
    EXPECT_EQ("List 1: Home and Personal Items", windowText(GetDlgItem(dialog, IDC_NAME1_EDIT)));
    EXPECT_EQ("Second", windowText(GetDlgItem(dialog, IDC_NAME2_EDIT)));
    ASSERT_TRUE(clickControl(dialog, IDCANCEL));
}

TEST_F(DailyJourney, SettingsEnterRightAfterOpeningActsOnCancel)
{
    ASSERT_NO_FATAL_FAILURE(startWith(settingsRecord(1, 0, 0)));
    std::vector<unsigned char> bytes = readFileBytes(dataFile("Vombly.cfg"));
    unsigned long long saved = fileWriteTime(dataFile("Vombly.cfg"));
    HWND dialog = openSettings();
    ASSERT_NE(nullptr, dialog);
    ASSERT_TRUE(bringToFront(dialog));
    EXPECT_EQ(GetDlgItem(dialog, IDCANCEL), focusOf(dialog));
    // A changed name, put there without moving the focus: Save would keep it.
    DWORD_PTR result = 0;
    ASSERT_TRUE(SendMessageTimeoutA(GetDlgItem(dialog, IDC_NAME1_EDIT), WM_SETTEXT, 0, (LPARAM) "not to be kept",
                                    SMTO_ABORTIFHUNG, 2000, &result));
    press(VK_RETURN);
    ASSERT_TRUE(closed(dialog));

    EXPECT_TRUE(rewritten(dataFile("Vombly.cfg"), saved));
    EXPECT_STREQ("List 1: Home and Personal Items", savedSettings().lists[0].listName) << "Enter acted on Save";
    EXPECT_EQ(bytes, readFileBytes(dataFile("Vombly.cfg")));
    EXPECT_FALSE(hasVisibleDialog(vombly.pid));
}

TEST_F(DailyJourney, SettingsTabGoesRoundTheControlsInOrder)
{
    ASSERT_NO_FATAL_FAILURE(startWith(settingsRecord(1, 0, 0)));
    HWND dialog = openSettings();
    ASSERT_NE(nullptr, dialog);
    ASSERT_TRUE(bringToFront(dialog));
    ASSERT_EQ(GetDlgItem(dialog, IDCANCEL), focusOf(dialog));

    // From Cancel, where the dialog starts, once round and back.
    const int order[] = {IDC_NAME1_EDIT, IDC_NAME2_EDIT, IDC_NAME3_EDIT, IDC_SORT_CHECK,
                         IDOK,           IDC_MINIMISE_CHECK, IDCANCEL};
    for (int id : order) {
        SCOPED_TRACE(id);
        press(VK_TAB);
        EXPECT_TRUE(waitFor([&] { return focusOf(dialog) == GetDlgItem(dialog, id); }, UiTimeoutMs))
            << "focus on control " << GetDlgCtrlID(focusOf(dialog));
    }
    press(VK_ESCAPE);
    EXPECT_TRUE(closed(dialog));
}

TEST_F(DailyJourney, SettingsEmptiedNameStaysEmpty)
{
    ASSERT_NO_FATAL_FAILURE(startWith(settingsRecord(2, 0, 0)));
    ASSERT_TRUE(waitFor([&] { return hasText(screenPixels(nameBand(listBox))); }, UiTimeoutMs));
    HWND dialog = openSettings();
    ASSERT_NE(nullptr, dialog);
    ASSERT_TRUE(retype(dialog, IDC_NAME2_EDIT, ""));
    ASSERT_TRUE(clickControl(dialog, IDOK));
    ASSERT_TRUE(closed(dialog));

    EXPECT_TRUE(settingsSoon([](const SettingsRecord &r) { return r.lists[1].listName[0] == '\0'; }));
    EXPECT_STREQ("List 1: Home and Personal Items", savedSettings().lists[0].listName);
    EXPECT_STREQ("List 3: Other Items", savedSettings().lists[2].listName);
    // List 2 is shown: its name has gone from above the list.
    EXPECT_TRUE(waitFor([&] { return !hasText(screenPixels(nameBand(listBox))); }, UiTimeoutMs));

    dialog = openSettings();
    ASSERT_NE(nullptr, dialog);
    EXPECT_EQ("", windowText(GetDlgItem(dialog, IDC_NAME2_EDIT)));
    ASSERT_TRUE(clickControl(dialog, IDCANCEL));
    ASSERT_TRUE(closed(dialog));
    ASSERT_NO_FATAL_FAILURE(restart());
    EXPECT_EQ('\0', savedSettings().lists[1].listName[0]);
}

// ---- The home page ---------------------------------------------------------

const char BrowserKey[] = "Software\\Wine\\WineBrowser";

// Wine opens web addresses with winebrowser, which runs the first program
// of HKCU\Software\Wine\WineBrowser "Browsers" that starts, with the address
// as its last argument. A recorder script stands in for the browser.
struct DailyHomePageJourney : DailyJourney {
    bool hadBrowsers = false;
    DWORD browsersType = REG_SZ;
    std::vector<BYTE> browsers;
    std::string script, log;

    void SetUp() override
    {
        DailyJourney::SetUp();
        HKEY key;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, BrowserKey, 0, KEY_READ, &key) == ERROR_SUCCESS) {
            DWORD size = 0;
            if (RegQueryValueExA(key, "Browsers", NULL, &browsersType, NULL, &size) == ERROR_SUCCESS) {
                browsers.resize(size);
                hadBrowsers = RegQueryValueExA(key, "Browsers", NULL, &browsersType, browsers.data(), &size) ==
                              ERROR_SUCCESS;
            }
            RegCloseKey(key);
        }
        script = testExeFolder() + "home_page_browser.sh";
        log = testExeFolder() + "home_page_browser.log";
        DeleteFileA(log.c_str());
    }

    void TearDown() override
    {
        HKEY key;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, BrowserKey, 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
            if (hadBrowsers)
                RegSetValueExA(key, "Browsers", 0, browsersType, browsers.data(), (DWORD)browsers.size());
            else
                RegDeleteValueA(key, "Browsers");
            RegCloseKey(key);
        }
        DeleteFileA(script.c_str());
        DeleteFileA(log.c_str());
        DailyJourney::TearDown();
    }

    // Writes the recorder and makes it the only browser.
    bool installRecorder()
    {
        std::string scriptUnix = unixPath(script), logUnix = unixPath(log);
        if (scriptUnix.empty() || logUnix.empty())
            return false;
        std::string text = "#!/bin/sh\n# Stands in for the browser: records the address it was given.\n"
                           "printf '%s\\n' \"$*\" >> '" + logUnix + "'\n";
        if (!saveFileBytes(script, std::vector<unsigned char>(text.begin(), text.end())))
            return false;
        // Run through the shell, so the script needs no execute bit.
        std::string command = "/bin/sh \"" + scriptUnix + "\"";
        HKEY key;
        if (RegCreateKeyExA(HKEY_CURRENT_USER, BrowserKey, 0, NULL, 0, KEY_ALL_ACCESS, NULL, &key, NULL) != ERROR_SUCCESS)
            return false;
        LONG set = RegSetValueExA(key, "Browsers", 0, REG_SZ, (const BYTE *)command.c_str(), (DWORD)command.size() + 1);
        RegCloseKey(key);
        return set == ERROR_SUCCESS;
    }

    std::vector<std::string> recorded()
    {
        std::vector<unsigned char> bytes = readFileBytes(log);
        std::vector<std::string> lines;
        std::string line;
        for (unsigned char c : bytes) {
            if (c == '\n') {
                lines.push_back(line);
                line.clear();
            } else {
                line += (char)c;
            }
        }
        return lines;
    }
};

TEST_F(DailyHomePageJourney, EachChoiceOpensTheHomePageInTheBrowser)
{
    ASSERT_TRUE(installRecorder());
    ASSERT_NO_FATAL_FAILURE(startWith(settingsRecord(1, 0, 0)));
    const std::string address = "http://www.vombly.com/clipboard-utility.html";

    for (size_t times = 1; times <= 2; times++) {
        SCOPED_TRACE(times);
        ASSERT_TRUE(chooseMenu(window, "Info", "Home Page / Purchase"));
        EXPECT_TRUE(waitFor([&] { return recorded().size() >= times; }, 2 * UiTimeoutMs))
            << "the browser was not started";
        EXPECT_TRUE(answers(window, 2000));
    }
    EXPECT_EQ(std::vector<std::string>(2, address), recorded());
    EXPECT_FALSE(hasVisibleDialog(vombly.pid));
}

// ---- Everything as the user left it ---------------------------------------

TEST_F(DailyJourney, ExitAndStartAgainKeepsListsNamesOptionsAndSelections)
{
    ASSERT_NO_FATAL_FAILURE(startWith(settingsRecord(1, 0, 0)));

    // List 1: one added, one removed.
    HWND dialog = openDialog(ViaButton, IDC_ADD, nullptr, AddTitle);
    ASSERT_NE(nullptr, dialog);
    ASSERT_TRUE(bringToFront(dialog));
    typeText("kilo one");
    ASSERT_TRUE(waitFor([&] { return windowText(GetDlgItem(dialog, IDC_ADD_EDIT)) == "kilo one"; }, UiTimeoutMs));
    press(VK_RETURN);
    ASSERT_TRUE(closed(dialog));
    ASSERT_TRUE(clickEntry(listBox, 0));
    dialog = openDialog(ViaMenu, IDC_REMOVE, "Remove a String", RemoveTitle);
    ASSERT_NE(nullptr, dialog);
    ASSERT_TRUE(bringToFront(dialog));
    press(VK_RETURN);
    ASSERT_TRUE(closed(dialog));
    const Entries list1 = {"bravo one", "charlie one", "kilo one"};
    ASSERT_EQ(list1, listBoxEntries(listBox));

    // List 2 shown, its third entry selected, then renamed; options changed.
    ASSERT_TRUE(command(ViaButton, IDC_TOGGLE, nullptr));
    ASSERT_TRUE(waitFor([&] { return listBoxEntries(listBox) == List2; }, UiTimeoutMs));
    ASSERT_TRUE(clickEntry(listBox, 2));
    dialog = openSettings();
    ASSERT_NE(nullptr, dialog);
    ASSERT_TRUE(retype(dialog, IDC_NAME2_EDIT, "Work things"));
    ASSERT_TRUE(clickControl(dialog, IDC_SORT_CHECK));
    ASSERT_TRUE(clickControl(dialog, IDC_MINIMISE_CHECK));
    ASSERT_TRUE(clickControl(dialog, IDOK));
    MessageBoxSeen box = messageBox("Vombly", UiTimeoutMs, vombly.pid);
    ASSERT_NE(nullptr, box.window);
    ASSERT_TRUE(bringToFront(box.window));
    press(VK_RETURN);
    ASSERT_TRUE(closed(dialog));

    ASSERT_TRUE(chooseMenu(window, "File", "Exit"));
    MessageBoxSeen quit = messageBox("Vombly - Quit", UiTimeoutMs, vombly.pid);
    ASSERT_NE(nullptr, quit.window);
    ASSERT_TRUE(clickControl(quit.window, IDOK));
    ASSERT_EQ(0u, waitForExit(vombly, ExitTimeoutMs));

    ASSERT_NO_FATAL_FAILURE(startShown());
    EXPECT_EQ(List2, listBoxEntries(listBox));
    EXPECT_EQ("foxtrot two", selectedEntry(listBox));
    SettingsRecord stored = savedSettings();
    EXPECT_EQ(2u, stored.activeList);
    EXPECT_EQ(1, stored.sortEntries);
    EXPECT_EQ(1, stored.minimiseAfterSelection);
    EXPECT_STREQ("List 1: Home and Personal Items", stored.lists[0].listName);
    EXPECT_STREQ("Work things", stored.lists[1].listName);
    EXPECT_STREQ("List 3: Other Items", stored.lists[2].listName);
    EXPECT_EQ(list1, readListFile(1));
    EXPECT_EQ(List2, readListFile(2));
    EXPECT_EQ(List3, readListFile(3));

    dialog = openSettings();
    ASSERT_NE(nullptr, dialog);
    EXPECT_TRUE(checked(dialog, IDC_SORT_CHECK));
    EXPECT_TRUE(checked(dialog, IDC_MINIMISE_CHECK));
    EXPECT_EQ("Work things", windowText(GetDlgItem(dialog, IDC_NAME2_EDIT)));
    ASSERT_TRUE(clickControl(dialog, IDCANCEL));
    ASSERT_TRUE(closed(dialog));

    // The other lists kept their entries and selections.
    const struct {
        const Entries &entries;
        const char *selected;
    } next[] = {{List3, "hotel three"}, {list1, "bravo one"}};
    for (const auto &list : next) {
        ASSERT_TRUE(command(ViaButton, IDC_TOGGLE, nullptr));
        EXPECT_TRUE(waitFor([&] { return listBoxEntries(listBox) == list.entries; }, UiTimeoutMs));
        EXPECT_EQ(list.selected, selectedEntry(listBox));
    }
}

// ---- The whole daily path --------------------------------------------------

struct DailyPasteJourney : DailyJourney {
    HANDLE notepad = NULL;

    void TearDown() override
    {
        if (notepad != NULL) {
            TerminateProcess(notepad, 0);
            WaitForSingleObject(notepad, 5000);
            CloseHandle(notepad);
        }
        DailyJourney::TearDown();
    }
};

TEST_F(DailyPasteJourney, DoubleClickedEntryPastesIntoAnotherProgram)
{
    // The shipped files, as a new user has them.
    ASSERT_NO_FATAL_FAILURE(startShown());
    const std::string wanted = "10 Sample Street, Exampletown EX1 2AB";
    int index = indexOf(listBoxEntries(listBox), wanted);
    ASSERT_NE(LB_ERR, index);
    ASSERT_TRUE(setClipboardText(Sentinel));
    ASSERT_TRUE(doubleClickEntry(listBox, index));
    // The shipped settings send the window to the tray after a copy.
    EXPECT_TRUE(waitFor([&] { return inTray(window); }, UiTimeoutMs));

    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    char line[] = "notepad.exe";
    ASSERT_TRUE(CreateProcessA(NULL, line, NULL, NULL, FALSE, 0, NULL, NULL, &startup, &info));
    CloseHandle(info.hThread);
    notepad = info.hProcess;
    HWND editor = NULL;
    ASSERT_TRUE(waitFor([&] { return (editor = findVisibleWindow(nullptr, "Notepad", info.dwProcessId)) != NULL; },
                        StartTimeoutMs));
    HWND edit = FindWindowExA(editor, NULL, "Edit", NULL);
    ASSERT_NE(nullptr, edit);
    ASSERT_TRUE(bringToFront(editor));
    press({VK_CONTROL, 'V'});
    EXPECT_TRUE(waitFor([&] { return windowText(edit) == wanted; }, UiTimeoutMs)) << windowText(edit);
}

} // namespace
