// The fixture of the daily-use journeys: three lists that tell each other
// apart, the dialogs' titles, and a started program with its list box, plus
// the small checks the journeys share.
#ifndef VOMBLY_TESTS_E2E_DAILY_JOURNEY_H
#define VOMBLY_TESTS_E2E_DAILY_JOURNEY_H

#include <string.h>

#include <functional>
#include <string>
#include <vector>

#include "daily.h"
#include "journey.h"
#include "res/resource.h"

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

inline const char *viaName(Via via)
{
    return via == ViaButton ? "Button" : "Menu";
}

inline std::string repeated(const char *pattern, size_t length)
{
    std::string text;
    while (text.size() < length)
        text += pattern;
    return text.substr(0, length);
}

inline int indexOf(const Entries &entries, const std::string &entry)
{
    for (size_t i = 0; i < entries.size(); i++) {
        if (entries[i] == entry)
            return (int)i;
    }
    return LB_ERR;
}

inline bool checked(HWND dialog, int id)
{
    DWORD_PTR state = 0;
    return sendTimeout(GetDlgItem(dialog, id), BM_GETCHECK, 0, 0, &state) &&
           state == BST_CHECKED;
}

// A dialog or message box of the process is on screen.
inline bool hasVisibleDialog(DWORD pid)
{
    return findVisibleWindow(nullptr, "#32770", pid) != NULL;
}

// Replaces an edit's text the way a user does: click into it, select it
// all, delete it, type.
inline bool retype(HWND dialog, int editId, const char *text)
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
inline bool keysHandled(HWND edit)
{
    press(VK_HOME);
    return waitFor(
        [&] {
            DWORD_PTR selection = 1;
            return sendTimeout(edit, EM_GETSEL, 0, 0, &selection) && selection == 0;
        },
        UiTimeoutMs);
}

// The band above the list box where the active list's name is painted.
inline RECT nameBand(HWND listBox)
{
    RECT list = windowRect(listBox);
    RECT band = {list.left, list.top - 16, list.right, list.top};
    return band;
}

// Text shows as more than one colour; an empty band is all background.
inline bool hasText(const std::vector<COLORREF> &pixels)
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
        ASSERT_TRUE(writeUsersSettings(settings));
        for (size_t i = 0; i < lists.size(); i++)
            ASSERT_TRUE(writeUsersList((int)i + 1, lists[i]));
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
        EXPECT_TRUE(readUsersSettings(&record));
        return record;
    }

    // Waits until the settings file verifies and `holds` is true of it.
    bool settingsSoon(const std::function<bool(const SettingsRecord &)> &holds)
    {
        return waitFor(
            [&] {
                SettingsRecord record = {};
                return readUsersSettings(&record) && holds(record);
            },
            UiTimeoutMs);
    }
};

#endif
