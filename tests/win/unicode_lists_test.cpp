// Entries the code page cannot hold: kept as Unicode in the list box, in the
// list file as their ANSI form and in the companion beside it as their text;
// what a build that knows nothing of the companion leaves behind; a damaged
// companion; and saves stopped at every step between the two files.
#include <windows.h>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "core/companion_format.h"
#include "core/options_format.h"
#include "dialogs/add_remove.h"
#include "dialogs/edit_entry.h"
#include "res/resource.h"
#include "system/notices.h"
#include "store/safe_write.h"
#include "store/settings.h"
#include "system/list_entry.h"
#include "tests/common/list_bytes.h"
#include "tests/win/main_window_util.h"
#include "tests/win/win_test_util.h"
#include "view/lists.h"

namespace {

typedef std::vector<std::wstring> WideEntries;

const std::wstring lukasz = L"\u0141ukasz \u017B\u00F3\u0142\u0107";
const std::wstring eleni = L"\u0395\u03BB\u03AD\u03BD\u03B7";
const std::wstring zhang = L"\u5F20\u4F1F";
const std::wstring thumb = L"\U0001F44D";

std::string ansiOf(const std::wstring &text)
{
    char buffer[ListEntryBufferSize];
    int length = AnsiFormOf(text.c_str(), (int)text.size(), buffer, sizeof buffer, NULL);
    EXPECT_GE(length, 0);
    return std::string(buffer, length > 0 ? (size_t)length : 0);
}

std::wstring wideOf(const std::string &ansi)
{
    WCHAR buffer[ListEntryBufferSize];
    int units = MultiByteToWideChar(CP_ACP, 0, ansi.data(), (int)ansi.size(), buffer, ARRAYSIZE(buffer));
    return std::wstring(buffer, units > 0 ? (size_t)units : 0);
}

struct UnicodeListTest : MainWindowFixture {
    DialogDriver boxes;
    bool answering = false;

    void TearDown() override
    {
        if (answering)
            finishDialogDriver(&boxes);
        MainWindowFixture::TearDown();
    }
    void answerBoxes()
    {
        startBoxAnswerer(&boxes, "Vombly", IDOK);
        answering = true;
    }
    std::string companionPath(int list) const { return listPath(list) + ".u"; }
    WideEntries shownW() const
    {
        WideEntries entries;
        LRESULT count = SendMessageW(listBox(), LB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < count; i++) {
            WCHAR text[ListEntryBufferSize];
            int units = ReadListEntryW(listBox(), (int)i, text, ARRAYSIZE(text));
            entries.push_back(units >= 0 ? std::wstring(text, (size_t)units) : L"<unreadable>");
        }
        return entries;
    }
    void showW(const WideEntries &entries, int index)
    {
        SendMessageW(listBox(), LB_RESETCONTENT, 0, 0);
        for (const std::wstring &entry : entries)
            AddListEntryW(listBox(), entry.c_str());
        SendMessageW(listBox(), LB_SETCURSEL, (WPARAM)index, 0);
    }
    void load() { SendMessageA(window, WM_COMMAND, CMD_LOAD_LIST, 0); }
    void save() { SendMessageA(window, WM_COMMAND, CMD_SAVE_LIST, 0); }
};

const WideEntries mixed = {L"plain", lukasz, eleni, L"Gr\u00FC\u00DFe \u20AC 5", zhang, thumb, L""};

TEST_F(UnicodeListTest, EveryTextComesBackAndTheListFileKeepsTheAnsiForms)
{
    ASSERT_EQ(1252u, GetACP());
    ASSERT_NO_FATAL_FAILURE(openMainWindow());
    showW(mixed, 0);
    save();
    std::vector<std::string> forms;
    for (const std::wstring &entry : mixed)
        forms.push_back(ansiOf(entry));
    EXPECT_EQ(forms, saved(1));
    EXPECT_EQ("Gr\xFC\xDF" "e \x80 5", forms[3]) << "what the code page holds is kept byte for byte";
    EXPECT_TRUE(fileExists(companionPath(1)));

    showW({}, -1);
    load();
    EXPECT_EQ(mixed, shownW());
}

TEST_F(UnicodeListTest, ListsTheAnsiFormCarriesHaveNoCompanion)
{
    ASSERT_NO_FATAL_FAILURE(openMainWindow());
    showW(mixed, 0);
    save();
    ASSERT_TRUE(fileExists(companionPath(1)));
    // The last entry the code page cannot hold goes: so does the companion,
    // and the list file is the very one the ANSI entries always made.
    const WideEntries ansiOnly = {L"plain", L"Gr\u00FC\u00DFe \u20AC 5", L""};
    showW(ansiOnly, 0);
    save();
    EXPECT_FALSE(fileExists(companionPath(1)));
    bool ok = false;
    EXPECT_EQ(encodeListFile({"plain", "Gr\xFC\xDF" "e \x80 5", ""}, &ok), readFileBytes(listPath(1)));
}

TEST_F(UnicodeListTest, AnOlderBuildsRewriteKeepsTheTextsOfTheEntriesItLeftAlone)
{
    ASSERT_NO_FATAL_FAILURE(openMainWindow());
    const WideEntries before = {L"a", lukasz, eleni, L"b", zhang, thumb};
    showW(before, 0);
    save();
    // The older build reads the ANSI forms, moves the last entry to the top,
    // changes the Polish one and removes the Greek one. The thumb and the
    // Chinese name have the same ANSI form; each keeps its own text.
    std::vector<std::string> forms = saved(1);
    ASSERT_EQ(6u, forms.size());
    ASSERT_EQ(forms[4], forms[5]);
    const std::string edited = forms[1] + " (edited)";
    writeListFile(listPath(1), {forms[5], forms[0], edited, forms[3], forms[4]});
    load();
    const WideEntries expected = {thumb, L"a", wideOf(edited), L"b", zhang};
    EXPECT_EQ(expected, shownW());
    // The next save writes both files afresh: the edited entry stays ANSI.
    save();
    showW({}, -1);
    load();
    EXPECT_EQ(expected, shownW());
}

TEST_F(UnicodeListTest, ADamagedCompanionIsKeptAsideToldOnceAndTheListFileRead)
{
    ASSERT_NO_FATAL_FAILURE(openMainWindow());
    showW({L"a", eleni}, 0);
    save();
    Bytes companion = readFileBytes(companionPath(1));
    ASSERT_GT(companion.size(), 20u);
    companion[companion.size() / 2] ^= 0x40;
    writeFileBytes(companionPath(1), companion);

    answerBoxes();
    load();
    load();
    EXPECT_TRUE(pumpUntil([&] { return boxes.seen >= 1; }, 3000));
    pumpMessages(200);
    EXPECT_EQ(1, boxes.seen) << "told once";
    EXPECT_EQ((WideEntries{L"a", L"?????"}), shownW());
    EXPECT_EQ(companion, readFileBytes(companionPath(1) + ".damaged"));
    EXPECT_NE(std::string::npos, boxes.texts.find("Unicode texts of list 1")) << boxes.texts;

    // The next save writes a good companion for what is on screen.
    showW({L"a", zhang}, 0);
    save();
    showW({}, -1);
    load();
    EXPECT_EQ((WideEntries{L"a", zhang}), shownW());
}

// What the Edit box shows, and the Unicode text to put in it.
struct WideEdit {
    std::wstring shown;
    std::wstring typed;
};

bool DriveWideEdit(DialogDriver *driver, int index)
{
    WideEdit *edit = (WideEdit *)driver->context;
    if (index == 0) {
        WCHAR text[ListEntryBufferSize];
        GetDlgItemTextW(driver->dialog, IDC_EDIT_EDIT, text, ARRAYSIZE(text));
        edit->shown = text;
        SetDlgItemTextW(driver->dialog, IDC_EDIT_EDIT, edit->typed.c_str());
    }
    return true;
}

TEST_F(UnicodeListTest, EditMoveAndRemoveKeepTheOtherTexts)
{
    ASSERT_NO_FATAL_FAILURE(openMainWindow());
    showW({L"a", lukasz, eleni, zhang}, 2);
    save();

    WideEdit edit = {L"", thumb + L" ok"};
    const WORD ok = IDOK;
    DialogDriver driver;
    ASSERT_NO_FATAL_FAILURE(startDialogDriver(&driver, &ok, 1, 3000, DriveWideEdit, &edit));
    SendMessageA(window, WM_COMMAND, IDM_ENTRY_EDIT, 0);
    finishDialogDriver(&driver);
    EXPECT_EQ(eleni, edit.shown) << "the Edit box shows the Unicode text";

    SendMessageW(listBox(), LB_SETCURSEL, 3, 0);
    SendMessageA(window, WM_COMMAND, IDM_ENTRY_MOVE_UP, 0);
    SendMessageW(listBox(), LB_SETCURSEL, 0, 0);
    DialogDriver remove;
    ASSERT_NO_FATAL_FAILURE(startDialogDriver(&remove, &ok, 1, 3000));
    SendMessageA(window, WM_COMMAND, IDM_REMOVE, 0);
    finishDialogDriver(&remove);

    const WideEntries expected = {lukasz, zhang, thumb + L" ok"};
    EXPECT_EQ(expected, shownW());
    showW({}, -1);
    load();
    EXPECT_EQ(expected, shownW());
}

TEST_F(UnicodeListTest, ASortedListSortsTheUnicodeTextsAndIsWrittenInThatOrder)
{
    settings.sortEntries = 1;
    ASSERT_NO_FATAL_FAILURE(openMainWindow());
    ASSERT_NE(0, ListBoxSorts(listBox()));
    showW({}, -1);
    for (const std::wstring &entry : WideEntries{zhang, L"zeta", eleni, L"alpha", lukasz})
        AddListEntryW(listBox(), entry.c_str());
    save();
    WideEntries order = shownW();
    std::vector<std::string> forms;
    for (const std::wstring &entry : order)
        forms.push_back(ansiOf(entry));
    EXPECT_EQ(forms, saved(1));
    // Sorted as Unicode: the Greek and Chinese names after the Latin ones,
    // not first, where their question marks would put them.
    EXPECT_EQ(L"alpha", order[0]);
    EXPECT_EQ(lukasz, order[1]);
    EXPECT_EQ(L"zeta", order[2]);
    showW({}, -1);
    load();
    EXPECT_EQ(order, shownW());
}

// A save that stops at any step, as a kill or a full disk would stop it,
// leaves on disk what was there before, every text with it; the new list
// and its companion share no ANSI form that could mislead, though the
// edited Chinese name and the added thumb both read "??".
TEST_F(UnicodeListTest, ASaveStoppedAtAnyStepLosesNoTextThatWasOnDisk)
{
    ASSERT_NO_FATAL_FAILURE(openMainWindow());
    answerBoxes();
    const WideEntries before = {L"a", eleni, zhang, L"b"};
    const WideEntries after = {L"a", eleni, L"Zhang Wei", L"b", thumb};
    showW(before, 0);
    save();
    const Bytes listBefore = readFileBytes(listPath(1)), companionBefore = readFileBytes(companionPath(1));

    bool completed = false;
    for (int step = 1; step < 100 && !completed; step++) {
        SCOPED_TRACE("stopped at step " + std::to_string(step));
        writeFileBytes(listPath(1), listBefore);
        writeFileBytes(companionPath(1), companionBefore);
        load();
        showW(after, 0);
        SetSafeWriteFaultStep(step);
        completed = SaveActiveList() == 1;
        SetSafeWriteFaultStep(0);
        // Read as the next start would: a reload after a failed save keeps
        // what is on screen, so the failure is forgotten first.
        if (!completed)
            NoteSaveOutcome(1, 1, 0);
        showW({}, -1);
        load();
        WideEntries read = shownW();
        if (completed) {
            EXPECT_EQ(after, read);
            break;
        }
        EXPECT_EQ(before, read) << "a save that failed leaves what was there";
    }
    EXPECT_TRUE(completed);
    EXPECT_TRUE(pumpUntil([&] { return boxes.seen >= 1; }, 3000)) << "a failed save, the companion's too, is told";
}

bool DriveNames(DialogDriver *driver, int index)
{
    if (index == 0) {
        SetDlgItemTextW(driver->dialog, IDC_NAME1_EDIT, eleni.c_str());
        SetDlgItemTextW(driver->dialog, IDC_NAME2_EDIT, L"Work");
    }
    return true;
}

std::wstring listNameW(int list)
{
    WCHAR name[ListNameSize];
    GetListNameW(list, name, ARRAYSIZE(name));
    return name;
}

TEST_F(UnicodeListTest, ListNamesKeepEveryCharacterAndTheSettingsFileItsSize)
{
    ASSERT_NO_FATAL_FAILURE(openMainWindow());
    // A name the code page holds changes no byte of the tail.
    unsigned char tail[OptionsTailSize];
    memcpy(tail, GetSettingsRecord()->reservedTail, sizeof tail);
    SetListNameW(3, L"Caf\u00E9 \u20AC");
    EXPECT_STREQ("Caf\xE9 \x80", GetListName(3));
    EXPECT_EQ(0, memcmp(tail, GetSettingsRecord()->reservedTail, sizeof tail));

    const WORD ok = IDOK;
    DialogDriver driver;
    ASSERT_NO_FATAL_FAILURE(startDialogDriver(&driver, &ok, 1, 3000, DriveNames, NULL));
    SendMessageA(window, WM_COMMAND, IDM_SETTINGS, 0);
    finishDialogDriver(&driver);
    EXPECT_EQ(eleni, listNameW(1));
    EXPECT_EQ(L"Work", listNameW(2));
    EXPECT_EQ((size_t)SettingsFileSize, readFileBytes(settingsPath()).size());
    EXPECT_EQ(ansiOf(eleni), std::string(savedSettings().lists[0].listName)) << "the record keeps the ANSI form";

    // Read back from the file.
    memset(GetSettingsRecord(), 0, sizeof(SettingsRecord));
    ASSERT_EQ(1, LoadSettings());
    EXPECT_EQ(eleni, listNameW(1));
    // A build that knows nothing of Unicode names renames the list.
    SetListName(1, "Home");
    EXPECT_EQ(L"Home", listNameW(1));
}

TEST_F(UnicodeListTest, TypeAheadFindsAUnicodeEntryByItsLeadingLetters)
{
    ASSERT_NO_FATAL_FAILURE(openMainWindow());
    showW({L"alpha", eleni, L"\u0141ukasz", L"Lukas", L"zeta"}, 0);
    for (WCHAR typed : std::wstring(L"luk"))
        SendMessageW(listBox(), WM_CHAR, typed, 0);
    EXPECT_EQ(2, SendMessageW(listBox(), LB_GETCURSEL, 0, 0)) << "\u0141 is found by the L of its ANSI form";
}

TEST_F(UnicodeListTest, ALongNameFromTheFileIsShownWhole)
{
    ASSERT_NO_FATAL_FAILURE(openMainWindow());
    const std::string longest(ListNameSize - 1, 'n');
    SetListName(1, longest.c_str());
    EXPECT_EQ(std::wstring(longest.begin(), longest.end()), listNameW(1));
    WCHAR cut[8];
    GetListNameW(1, cut, ARRAYSIZE(cut));
    EXPECT_EQ(L"nnnnnnn", std::wstring(cut)) << "cut to the room given, never emptied";
}

} // namespace
