// Copying: a double-click puts exactly the entry on the clipboard, with a
// click sound that never keeps the program waiting, hides the window when
// the user chose so, and pastes into another program.
#include "daily_journey.h"

namespace {

// ---- Copying an entry ----------------------------------------------------

struct DailyCopyJourney : DailyJourney {};

TEST_F(DailyCopyJourney, DoubleClickPutsExactlyTheEntryOnTheClipboard)
{
    // Spaces at both ends, punctuation, and an entry of no text at all.
    const Entries entries = {"plain text", "  spaced out  ", "", "tab\there; \"quotes\" & 100%"};
    ASSERT_NO_FATAL_FAILURE(startWith(settingsRecord(1, 0, 0), {entries, List2, List3}));

    for (size_t i = 0; i < entries.size(); i++) {
        SCOPED_TRACE(i);
        ASSERT_TRUE(setClipboardText(NULL, Sentinel));
        ASSERT_TRUE(copyByDoubleClick((int)i));
        EXPECT_TRUE(clipboardHasText());
        EXPECT_EQ(entries[i], clipboardText());
        // The copy is remembered as the list's selection.
        EXPECT_EQ((int)i, selectedIndex(listBox));
        EXPECT_EQ((int32_t)i, savedSettings().lists[0].listSelection);
        EXPECT_TRUE(shownNormally(window));
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
        ASSERT_TRUE(setClipboardText(NULL, Sentinel));
        ASSERT_TRUE(copyByDoubleClick((int)i));
        std::string copied = clipboardText();
        EXPECT_EQ(entries[i].size(), copied.size());
        EXPECT_TRUE(entries[i] == copied);
    }

    // Each removal shows the whole entry, writes every remaining one
    // exactly and shows the list as written.
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
        EXPECT_TRUE(waitFor([&] { return readUsersList(1) == left; }, UiTimeoutMs));
        EXPECT_TRUE(left == listBoxEntries(listBox));
    }
}

TEST_F(DailyCopyJourney, SingleClickCopiesAndSavesNothing)
{
    ASSERT_NO_FATAL_FAILURE(startWith(settingsRecord(1, 0, 1)));
    ASSERT_TRUE(setClipboardText(NULL, Sentinel));
    unsigned long long saved = fileWriteTime(dataFile("Vombly.cfg"));
    std::vector<unsigned char> settings = readFileBytes(dataFile("Vombly.cfg"));

    ASSERT_TRUE(clickEntry(listBox, 2));
    ASSERT_TRUE(waitUntilIdle(window));
    EXPECT_EQ(Sentinel, clipboardText());
    EXPECT_EQ(saved, fileWriteTime(dataFile("Vombly.cfg")));
    EXPECT_EQ(settings, readFileBytes(dataFile("Vombly.cfg")));
    // Minimising belongs to the copy, not to the click.
    EXPECT_TRUE(shownNormally(window));
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
    ASSERT_TRUE(setClipboardText(NULL, Sentinel));

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
        EXPECT_TRUE(shownNormally(window));
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
    ASSERT_TRUE(setClipboardText(NULL, Sentinel));

    // Held far longer than the journey waits for the program's answer.
    HANDLE holder = holdClipboard(20000);
    ASSERT_NE(nullptr, holder) << "clipboard_holder never held the clipboard";
    ASSERT_TRUE(doubleClickEntry(listBox, 0));
    MessageBoxSeen box = messageBox("Vombly", UiTimeoutMs, vombly.pid);
    ASSERT_NE(nullptr, box.window) << "nothing told the user";
    EXPECT_EQ("The clipboard is in use by another program: nothing was copied !", box.text);
    ASSERT_TRUE(dismissBox(box.window));
    EXPECT_TRUE(waitFor([&] { return !hasVisibleDialog(vombly.pid); }, UiTimeoutMs));
    EXPECT_TRUE(answers(window, 2000));
    EXPECT_TRUE(shownNormally(window));

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
        ASSERT_TRUE(setClipboardText(NULL, Sentinel));
        ASSERT_TRUE(copyByDoubleClick(i));
        EXPECT_TRUE(answers(window, 1000));
        EXPECT_EQ(List1[(size_t)i], clipboardText());
    }
}

// ---- The whole daily path --------------------------------------------------

struct DailyPasteJourney : DailyJourney {
    PROCESS_INFORMATION notepad = {};

    void TearDown() override
    {
        endProcess(&notepad);
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
    ASSERT_TRUE(setClipboardText(NULL, Sentinel));
    ASSERT_TRUE(doubleClickEntry(listBox, index));
    // The shipped settings send the window to the tray after a copy.
    EXPECT_TRUE(waitFor([&] { return inTray(window); }, UiTimeoutMs));

    HWND editor = startNotepad(&notepad, StartTimeoutMs);
    ASSERT_NE(nullptr, editor);
    HWND edit = FindWindowExA(editor, NULL, "Edit", NULL);
    ASSERT_NE(nullptr, edit);
    ASSERT_TRUE(bringToFront(editor));
    press({VK_CONTROL, 'V'});
    EXPECT_TRUE(waitFor([&] { return windowText(edit) == wanted; }, UiTimeoutMs)) << windowText(edit);
}

} // namespace
