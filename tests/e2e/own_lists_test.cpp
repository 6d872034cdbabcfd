// Owning a list with real input: an entry changed with F2 or the context
// menu, entries moved with Ctrl+arrows or the menu, a list exported to a text
// file and imported back through the file dialogs, the text other programs
// read from the clipboard, and a private list's copy cleared when its time
// is up. Everything is checked again after a restart where it is kept.
#include <string.h>

#include <string>
#include <vector>

#include "daily_journey.h"
#include "tests/common/win_files.h"
#include "tests/common/win_ui.h"
#include "core/options_format.h"

namespace {

const char EditTitle[] = "Vombly - Edit String";
const char ExportTitle[] = "Export This List";
const char ImportTitle[] = "Import into This List";
const char ExportResult[] = "Vombly - Export This List";
const char ImportResult[] = "Vombly - Import into This List";

struct OwnListsJourney : DailyJourney {
    // Right-clicks an entry and waits for the context menu.
    bool openContextMenu(int index)
    {
        POINT at = entryPoint(listBox, index);
        if (at.x < 0 || !bringToFront(window) || !movePointer(at.x, at.y))
            return false;
        mouseButton(MOUSEEVENTF_RIGHTDOWN);
        mouseButton(MOUSEEVENTF_RIGHTUP);
        return waitFor([&] { return findVisibleWindow(nullptr, "#32768", vombly.pid) != NULL; }, UiTimeoutMs);
    }

    // Chooses a context-menu item by its underlined letter; a greyed item
    // does not answer it, and Esc then closes the menu.
    bool chooseFromContextMenu(int index, char letter)
    {
        if (!openContextMenu(index))
            return false;
        press((WORD)letter);
        if (!waitFor([&] { return findVisibleWindow(nullptr, "#32768", vombly.pid) == NULL; }, 2000))
            press(VK_ESCAPE);
        return waitFor([&] { return findVisibleWindow(nullptr, "#32768", vombly.pid) == NULL; }, UiTimeoutMs) &&
               waitUntilIdle(window);
    }

    bool closed(HWND dialog)
    {
        return waitFor([&] { return !IsWindow(dialog); }, UiTimeoutMs) && waitUntilIdle(window);
    }

    bool listFileSoon(const Entries &entries)
    {
        return waitFor([&] { return readUsersList(1) == entries; }, UiTimeoutMs);
    }

    // Answers a file dialog the way a user does: the full path typed into
    // the name box, then Enter.
    bool answerFileDialog(const char *title, const std::string &path)
    {
        HWND dialog = waitForDialog(title, vombly.pid);
        if (dialog == NULL || !bringToFront(dialog))
            return false;
        typeText(path.c_str());
        press(VK_RETURN);
        return closed(dialog);
    }

    // The message box that follows, its text, closed with Enter.
    std::string resultMessage(const char *caption)
    {
        MessageBoxSeen box = messageBox(caption, UiTimeoutMs, vombly.pid);
        if (box.window == NULL)
            return "<no message>";
        if (!bringToFront(box.window))
            return "<message box would not come to the front>";
        press(VK_RETURN);
        if (!closed(box.window))
            return "<message box stayed>";
        return box.text;
    }
};

// A fresh Windows path in the temporary folder for a text file.
std::string textFilePath(const char *name)
{
    char folder[MAX_PATH];
    GetTempPathA(sizeof folder, folder);
    std::string path = std::string(folder) + "vombly-e2e-" + std::to_string(GetCurrentProcessId()) + "-" + name;
    DeleteFileA(path.c_str());
    return path;
}

// A list file as the list-file format has it, for entries of any length up
// to 4009 bytes; the program itself writes none over 4000.
bool writeAnyListFile(int list, const Entries &entries)
{
    SetScrambleMask(ScrambleMaskValue);
    std::vector<unsigned char> bytes;
    for (const std::string &entry : entries) {
        uint32_t length = (uint32_t)entry.size();
        for (int i = 0; i < 4; i++)
            bytes.push_back((unsigned char)(length >> (8 * i)));
        size_t at = bytes.size();
        bytes.insert(bytes.end(), entry.begin(), entry.end());
        ScrambleBytes(bytes.data() + at, length, (int32_t)length);
    }
    return saveFileBytes(listFilePath(list), bytes);
}

bool writeTextFile(const std::string &path, const std::string &bytes)
{
    return saveFileBytes(path, std::vector<unsigned char>(bytes.begin(), bytes.end()));
}

// ---- Edit ----

struct EditCase {
    const char *name;
    int32_t sorted;
    bool viaMenu;  // else F2
    Entries entries;
    int index;
    const char *typed;
    Entries after;
    int selectedAfter;
};

struct OwnListsEditJourney : OwnListsJourney, ::testing::WithParamInterface<EditCase> {};

TEST_P(OwnListsEditJourney, TheChangedEntryStaysWhereItBelongsAfterARestart)
{
    const EditCase &c = GetParam();
    ASSERT_NO_FATAL_FAILURE(startWith(settingsRecord(1, c.sorted, 0), {c.entries}));
    ASSERT_EQ(c.entries, listBoxEntries(listBox));
    ASSERT_TRUE(clickEntry(listBox, c.index));
    if (c.viaMenu) {
        ASSERT_TRUE(openContextMenu(c.index));
        press('E');
    } else {
        press(VK_F2);
    }
    HWND dialog = waitForDialog(EditTitle, vombly.pid);
    ASSERT_NE(nullptr, dialog);
    HWND edit = GetDlgItem(dialog, IDC_EDIT_EDIT);
    EXPECT_EQ(c.entries[(size_t)c.index], windowText(edit));
    // The whole text starts selected: typing replaces it.
    ASSERT_TRUE(bringToFront(dialog));
    typeText(c.typed);
    ASSERT_TRUE(waitFor([&] { return windowText(edit) == c.typed; }, UiTimeoutMs)) << windowText(edit);
    press(VK_RETURN);
    ASSERT_TRUE(closed(dialog));

    EXPECT_TRUE(listFileSoon(c.after));
    EXPECT_EQ(c.after, listBoxEntries(listBox));
    EXPECT_EQ(c.selectedAfter, selectedIndex(listBox));

    ASSERT_NO_FATAL_FAILURE(restart());
    EXPECT_EQ(c.after, listBoxEntries(listBox));
    EXPECT_EQ(c.selectedAfter, selectedIndex(listBox));
}

const EditCase editCases[] = {
    {"UnsortedWithF2", 0, false, {"delta", "alpha", "charlie"}, 1, "zulu", {"delta", "zulu", "charlie"}, 1},
    {"UnsortedFromTheMenu", 0, true, {"delta", "alpha", "charlie"}, 0, "caf\xE9 ok", {"caf\xE9 ok", "alpha", "charlie"}, 0},
    {"SortedWithF2", 1, false, {"alpha", "bravo", "charlie"}, 0, "delta", {"bravo", "charlie", "delta"}, 2},
    {"SortedFromTheMenu", 1, true, {"alpha", "bravo", "charlie"}, 2, "aardvark", {"aardvark", "alpha", "bravo"}, 0},
};

INSTANTIATE_TEST_SUITE_P(Cases, OwnListsEditJourney, ::testing::ValuesIn(editCases),
                         [](const ::testing::TestParamInfo<EditCase> &info) { return std::string(info.param.name); });

TEST_F(OwnListsJourney, EscInTheEditDialogChangesNothing)
{
    const Entries entries = {"one", "two"};
    ASSERT_NO_FATAL_FAILURE(startWith(settingsRecord(1, 0, 0), {entries}));
    ASSERT_TRUE(clickEntry(listBox, 1));
    unsigned long long written = fileWriteTime(listFilePath(1));
    press(VK_F2);
    HWND dialog = waitForDialog(EditTitle, vombly.pid);
    ASSERT_NE(nullptr, dialog);
    typeText("changed");
    press(VK_ESCAPE);
    ASSERT_TRUE(closed(dialog));
    EXPECT_EQ(entries, listBoxEntries(listBox));
    EXPECT_EQ(written, fileWriteTime(listFilePath(1)));
}

// ---- Move Up and Move Down ----

TEST_F(OwnListsJourney, MovesWithCtrlArrowsAndTheMenuAreKeptAfterARestart)
{
    ASSERT_NO_FATAL_FAILURE(startWith(settingsRecord(1, 0, 0), {{"a", "b", "c", "d"}}));
    ASSERT_TRUE(clickEntry(listBox, 2));
    const struct {
        const char *label;
        bool viaMenu;
        WORD key;  // an arrow with Ctrl, or the menu letter
        Entries after;
        int selectedAfter;
    } steps[] = {
        {"Ctrl+Up", false, VK_UP, {"a", "c", "b", "d"}, 1},
        {"Ctrl+Up again", false, VK_UP, {"c", "a", "b", "d"}, 0},
        {"Ctrl+Up at the top: nothing", false, VK_UP, {"c", "a", "b", "d"}, 0},
        {"Ctrl+Down", false, VK_DOWN, {"a", "c", "b", "d"}, 1},
        {"Move Down from the menu", true, 'D', {"a", "b", "c", "d"}, 2},
        {"Move Down again", true, 'D', {"a", "b", "d", "c"}, 3},
        {"Move Down at the bottom is greyed", true, 'D', {"a", "b", "d", "c"}, 3},
        {"Move Up from the menu", true, 'U', {"a", "b", "c", "d"}, 2},
    };
    for (const auto &step : steps) {
        SCOPED_TRACE(step.label);
        if (step.viaMenu) {
            ASSERT_TRUE(chooseFromContextMenu(selectedIndex(listBox), (char)step.key));
        } else {
            ASSERT_TRUE(bringToFront(listBox));
            press({VK_CONTROL, step.key});
            ASSERT_TRUE(waitUntilIdle(window));
        }
        EXPECT_TRUE(listFileSoon(step.after));
        EXPECT_EQ(step.after, listBoxEntries(listBox));
        EXPECT_EQ(step.selectedAfter, selectedIndex(listBox));
    }
    ASSERT_NO_FATAL_FAILURE(restart());
    EXPECT_EQ((Entries{"a", "b", "c", "d"}), listBoxEntries(listBox));
    EXPECT_EQ(2, selectedIndex(listBox));
}

TEST_F(OwnListsJourney, ASortedListDoesNotMove)
{
    const Entries entries = {"a", "b", "c"};
    ASSERT_NO_FATAL_FAILURE(startWith(settingsRecord(1, 1, 0), {entries}));
    ASSERT_TRUE(clickEntry(listBox, 1));
    unsigned long long written = fileWriteTime(listFilePath(1));
    // Both moves are greyed in the menu, so their letters choose nothing.
    ASSERT_TRUE(chooseFromContextMenu(1, 'U'));
    ASSERT_TRUE(chooseFromContextMenu(1, 'D'));
    ASSERT_TRUE(bringToFront(listBox));
    press({VK_CONTROL, VK_UP});
    press({VK_CONTROL, VK_DOWN});
    ASSERT_TRUE(waitUntilIdle(window));
    EXPECT_EQ(entries, listBoxEntries(listBox));
    EXPECT_EQ(1, selectedIndex(listBox));
    EXPECT_EQ(written, fileWriteTime(listFilePath(1)));
}

// ---- Export and import ----

TEST_F(OwnListsJourney, ExportThenImportIntoAnEmptyListGivesEveryEntryBack)
{
    ASSERT_EQ(1252u, GetACP());
    const Entries awkward = {
        "plain",
        "two\r\nlines",
        "tab\there",
        "she said \"hi\", then left",
        "  spaces around  ",
        "",
        "Gr\xFC\xDF" "e \x80 12 \x93quoted\x94",
        std::string(999, 'n'),
        std::string(ListEntryWriteLimit, 'w'),
        std::string(ListEntryBufferSize - 1, 'o'),
        "last",
    };
    // The longest entry a list file holds is the longest one the program
    // writes back, so every entry comes back.
    const Entries kept = awkward;
    ASSERT_TRUE(writeUsersSettings(settingsRecord(1, 0, 0)));
    ASSERT_TRUE(writeAnyListFile(1, awkward));
    ASSERT_TRUE(writeUsersList(2, {}));
    ASSERT_NO_FATAL_FAILURE(startShown());
    ASSERT_EQ(awkward, listBoxEntries(listBox));

    const std::string path = textFilePath("list.csv");
    ASSERT_TRUE(chooseFromContextMenu(0, 'X'));
    ASSERT_TRUE(answerFileDialog(ExportTitle, path));
    EXPECT_EQ("Entries written: 11\n\n" + path, resultMessage(ExportResult));
    std::vector<unsigned char> file = readFileBytes(path);
    ASSERT_GE(file.size(), 9u);
    EXPECT_EQ("\xEF\xBB\xBFplain\r\n", std::string(file.begin(), file.begin() + 10));

    ASSERT_TRUE(clickControl(window, IDC_TOGGLE));
    ASSERT_TRUE(waitFor([&] { return listBoxEntries(listBox).empty(); }, UiTimeoutMs));
    ASSERT_TRUE(chooseFromContextMenu(0, 'I'));
    ASSERT_TRUE(answerFileDialog(ImportTitle, path));
    EXPECT_EQ("Entries added to the list: 11", resultMessage(ImportResult));
    EXPECT_EQ(kept, listBoxEntries(listBox));
    EXPECT_TRUE(waitFor([&] { return readUsersList(2) == kept; }, UiTimeoutMs));

    ASSERT_NO_FATAL_FAILURE(restart());
    EXPECT_EQ(kept, listBoxEntries(listBox));
    SettingsRecord settings = {};
    EXPECT_TRUE(readUsersSettings(&settings)) << "the settings file no longer verifies";
    EXPECT_EQ((size_t)SettingsFileSize, readFileBytes(dataFile("Vombly.cfg")).size());
    DeleteFileA(path.c_str());
}

TEST_F(OwnListsJourney, ImportTellsWhatItSkippedAndRefusesWhatIsNotAList)
{
    ASSERT_EQ(1252u, GetACP());
    const Entries start = {"kept"};
    ASSERT_NO_FATAL_FAILURE(startWith(settingsRecord(1, 0, 0), {start}));
    const struct {
        const char *label;
        const char *name;
        std::string bytes;
        std::string message; // the path follows a refusal's message
        bool refused;
        Entries after;
    } cases[] = {
        {"empty file", "empty.txt", "", "The file holds no entries, so nothing was imported:\n\n", true, start},
        {"binary file", "binary.dat", std::string("\x89PNG\r\n\x1A\n\0\0\0\rIHDR", 16),
         "The file is not a text file (it is not UTF-8 text, or it holds zero bytes), so nothing was imported:\n\n",
         true, start},
        {"an overlong entry", "mixed.txt",
         "first\r\n" + std::string(ListEntryWriteLimit + 1, 'x') + "\r\nlast\r\n",
         "Entries added to the list: 2\n\nEntries skipped: 1\n"
         "line 2: longer than a list entry can be\n",
         false, {"kept", "first", "last"}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.label);
        std::string path = textFilePath(c.name);
        ASSERT_TRUE(writeTextFile(path, c.bytes));
        ASSERT_TRUE(chooseFromContextMenu(0, 'I'));
        ASSERT_TRUE(answerFileDialog(ImportTitle, path));
        EXPECT_EQ(c.refused ? c.message + path : c.message, resultMessage(ImportResult));
        EXPECT_EQ(c.after, listBoxEntries(listBox));
        EXPECT_TRUE(waitFor([&] { return readUsersList(1) == c.after; }, UiTimeoutMs));
        DeleteFileA(path.c_str());
    }
}

// ---- The clipboard ----

TEST_F(OwnListsJourney, OtherProgramsReadTheSameCharactersInBothFormats)
{
    ASSERT_EQ(1252u, GetACP());
    const Entries entries = {"Gr\xFC\xDF" "e", "\x80 12", "\x84" "Anf\xFChrung\x93 \x96 \x85"};
    const std::wstring unicode[] = {L"Gr\u00FC\u00DFe", L"\u20AC 12", L"\u201EAnf\u00FChrung\u201C \u2013 \u2026"};
    ASSERT_NO_FATAL_FAILURE(startWith(settingsRecord(1, 0, 0), {entries}));
    for (size_t i = 0; i < entries.size(); i++) {
        SCOPED_TRACE(i);
        ASSERT_TRUE(copyByDoubleClick((int)i));
        std::string text = clipboardBytes(CF_TEXT);
        EXPECT_EQ(entries[i], text.substr(0, text.find('\0')));
        EXPECT_TRUE(unicode[i] == clipboardUnicode()) << "CF_UNICODETEXT differs";
    }
}

TEST_F(OwnListsJourney, APrivateCopyIsClearedWhenItsTimeIsUpUnlessTheUserCopiedSince)
{
    OptionsBlock privateFirst;
    DefaultOptions(&privateFirst);
    privateFirst.privateLists = 1;  // list 1
    privateFirst.privateClearSeconds = 2;
    ASSERT_NO_FATAL_FAILURE(
        startWith(withOptions(settingsRecord(1, 0, 0), privateFirst), {{"secret one", "secret two"}, {"open"}}));
    const UINT marks[] = {RegisterClipboardFormatA("ExcludeClipboardContentFromMonitorProcessing"),
                          RegisterClipboardFormatA("CanIncludeInClipboardHistory"),
                          RegisterClipboardFormatA("CanUploadToCloudClipboard"),
                          RegisterClipboardFormatA("Clipboard Viewer Ignore")};

    // Untouched: gone once the time is up, and not before.
    ASSERT_TRUE(copyByDoubleClick(0));
    DWORD copied = GetTickCount();
    EXPECT_EQ("secret one", clipboardText());
    for (UINT mark : marks)
        EXPECT_TRUE(IsClipboardFormatAvailable(mark)) << mark;
    EXPECT_EQ(std::string(4, '\0'), clipboardBytes(marks[1]).substr(0, 4));
    EXPECT_EQ(std::string(4, '\0'), clipboardBytes(marks[2]).substr(0, 4));
    ASSERT_TRUE(waitFor([] { return !clipboardHasText(); }, 6000)) << "still on the clipboard";
    EXPECT_GE(GetTickCount() - copied, 1500u) << "cleared before its time";

    // Copied over by the user: never touched.
    ASSERT_TRUE(copyByDoubleClick(1));
    EXPECT_EQ("secret two", clipboardText());
    ASSERT_TRUE(setClipboardText(NULL, "the user's own copy"));
    Sleep(3500);
    EXPECT_EQ("the user's own copy", clipboardText());

    // Private copy, then Exit: cleared on the way out.
    ASSERT_TRUE(copyByDoubleClick(0));
    EXPECT_EQ("secret one", clipboardText());
    ASSERT_TRUE(bringToFront(window));
    ASSERT_TRUE(chooseMenu(window, "File", "Exit"));
    HWND exitBox = waitForDialog("Vombly - Quit", vombly.pid);
    ASSERT_NE(nullptr, exitBox);
    ASSERT_TRUE(dismissBox(exitBox, IDOK));
    EXPECT_EQ(0u, waitForExit(vombly, ExitTimeoutMs));
    EXPECT_FALSE(clipboardHasText());

    // A list that is not private: its copy carries no mark and stays.
    ASSERT_NO_FATAL_FAILURE(startShown());
    ASSERT_TRUE(clickControl(window, IDC_TOGGLE));
    ASSERT_TRUE(waitFor([&] { return listBoxEntries(listBox) == Entries{"open"}; }, UiTimeoutMs));
    ASSERT_TRUE(copyByDoubleClick(0));
    for (UINT mark : marks)
        EXPECT_FALSE(IsClipboardFormatAvailable(mark)) << mark;
    Sleep(3000);
    EXPECT_EQ("open", clipboardText());
    SettingsRecord settings = {};
    EXPECT_TRUE(readUsersSettings(&settings));
    OptionsBlock options;
    EXPECT_EQ(1, DecodeOptions(settings.reservedTail, &options));
    EXPECT_EQ(1u, options.privateLists);
    EXPECT_EQ(2u, options.privateClearSeconds);
}

// ---- Entries in any language ----

// Puts Unicode text on the clipboard, as a program the user copied from would.
bool setClipboardUnicode(const std::wstring &text)
{
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(WCHAR));
    WCHAR *copy = block != NULL ? (WCHAR *)GlobalLock(block) : NULL;
    if (copy == NULL)
        return false;
    memcpy(copy, text.c_str(), (text.size() + 1) * sizeof(WCHAR));
    GlobalUnlock(block);
    if (!openClipboardFor(NULL)) {
        GlobalFree(block);
        return false;
    }
    EmptyClipboard();
    bool placed = SetClipboardData(CF_UNICODETEXT, block) != NULL;
    CloseClipboard();
    if (!placed)
        GlobalFree(block);
    return placed;
}

// A window's text as Unicode, read across the process boundary.
std::wstring wideText(HWND window)
{
    WCHAR text[1024] = L"";
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXT, ARRAYSIZE(text), (LPARAM)text, SMTO_ABORTIFHUNG, 2000, &copied))
        return L"<no answer>";
    return text;
}

std::vector<std::wstring> wideEntries(HWND listBox)
{
    std::vector<std::wstring> entries;
    DWORD_PTR count = 0;
    if (!SendMessageTimeoutW(listBox, LB_GETCOUNT, 0, 0, SMTO_ABORTIFHUNG, 2000, &count) || (LRESULT)count == LB_ERR)
        return entries;
    for (DWORD_PTR i = 0; i < count; i++) {
        WCHAR text[ListEntryBufferSize] = L"";
        DWORD_PTR copied = 0;
        if (!SendMessageTimeoutW(listBox, LB_GETTEXT, i, (LPARAM)text, SMTO_ABORTIFHUNG, 2000, &copied))
            break;
        entries.push_back(text);
    }
    return entries;
}

TEST_F(OwnListsJourney, EntriesInAnyLanguageSurviveARestartACopyAndATextFile)
{
    ASSERT_EQ(1252u, GetACP());
    // The keyboard under Wine types none of these: each is pasted into the
    // Add box from the clipboard, as a user copying it from elsewhere would.
    const std::vector<std::wstring> added = {L"\u0141ukasz \u017B\u00F3\u0142\u0107", L"\u0395\u03BB\u03AD\u03BD\u03B7",
                                             L"\u5F20\u4F1F", L"\U0001F44D"};
    ASSERT_NO_FATAL_FAILURE(startWith(settingsRecord(1, 0, 0), {{"plain"}, {}, List3}));
    for (const std::wstring &text : added) {
        ASSERT_TRUE(setClipboardUnicode(text));
        HWND dialog = openDialog(ViaButton, IDC_ADD, nullptr, AddTitle);
        ASSERT_NE(nullptr, dialog);
        HWND edit = GetDlgItem(dialog, IDC_ADD_EDIT);
        ASSERT_TRUE(bringToFront(dialog));
        press({VK_CONTROL, 'V'});
        ASSERT_TRUE(waitFor([&] { return wideText(edit) == text; }, UiTimeoutMs));
        press(VK_RETURN);
        ASSERT_TRUE(closed(dialog));
    }
    std::vector<std::wstring> expected = {L"plain"};
    expected.insert(expected.end(), added.begin(), added.end());
    EXPECT_EQ(expected, wideEntries(listBox));
    ASSERT_TRUE(waitFor([&] { return readUsersList(1).size() == expected.size(); }, UiTimeoutMs));
    EXPECT_TRUE(fileExists(listFilePath(1) + ".u"));

    ASSERT_NO_FATAL_FAILURE(restart());
    EXPECT_EQ(expected, wideEntries(listBox));
    const Entries forms = readUsersList(1);
    ASSERT_EQ(expected.size(), forms.size());
    EXPECT_EQ("plain", forms[0]) << "the list file keeps code-page entries as always";
    for (size_t i = 0; i < expected.size(); i++) {
        SCOPED_TRACE(i);
        ASSERT_TRUE(setClipboardText(NULL, Sentinel));
        ASSERT_TRUE(copyByDoubleClick((int)i));
        EXPECT_EQ(expected[i], clipboardUnicode());
        std::string bytes = clipboardBytes(CF_TEXT);
        EXPECT_EQ(forms[i], bytes.substr(0, bytes.find('\0'))) << "CF_TEXT is the list file's bytes";
    }

    const std::string path = textFilePath("any-language.txt");
    ASSERT_TRUE(chooseFromContextMenu(0, 'X'));
    ASSERT_TRUE(answerFileDialog(ExportTitle, path));
    EXPECT_EQ("Entries written: 5\n\n" + path, resultMessage(ExportResult));
    // The UTF-8 bytes as written down by hand, not by any converter.
    const std::string utf8 = "\xEF\xBB\xBFplain\r\n"
                             "\xC5\x81ukasz \xC5\xBB\xC3\xB3\xC5\x82\xC4\x87\r\n"
                             "\xCE\x95\xCE\xBB\xCE\xAD\xCE\xBD\xCE\xB7\r\n"
                             "\xE5\xBC\xA0\xE4\xBC\x9F\r\n"
                             "\xF0\x9F\x91\x8D\r\n";
    std::vector<unsigned char> file = readFileBytes(path);
    EXPECT_EQ(utf8, std::string(file.begin(), file.end()));

    ASSERT_TRUE(clickControl(window, IDC_TOGGLE));
    ASSERT_TRUE(waitFor([&] { return wideEntries(listBox).empty(); }, UiTimeoutMs));
    ASSERT_TRUE(chooseFromContextMenu(0, 'I'));
    ASSERT_TRUE(answerFileDialog(ImportTitle, path));
    EXPECT_EQ("Entries added to the list: 5", resultMessage(ImportResult));
    EXPECT_EQ(expected, wideEntries(listBox));
    ASSERT_NO_FATAL_FAILURE(restart());
    EXPECT_EQ(expected, wideEntries(listBox)) << "list 2, imported, after a restart";
    DeleteFileA(path.c_str());
}

} // namespace
