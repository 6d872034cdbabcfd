// Helpers of the tests that need the program's real main window: the files
// it reads at creation, its creation as the entry point does it, bounded
// message pumping, and a thread that answers a modal dialog.
#ifndef VOMBLY_TESTS_WIN_MAIN_WINDOW_UTIL_H
#define VOMBLY_TESTS_WIN_MAIN_WINDOW_UTIL_H

#include <windows.h>
#include <functional>
#include <string>
#include <vector>

#include "core/format.h"
#include "tests/win/win_test_util.h"

// Runs this thread's queued messages for `milliseconds`.
void pumpMessages(DWORD milliseconds);

// Runs this thread's messages until `done` returns true or the time is up;
// returns the last answer of `done`.
bool pumpUntil(const std::function<bool()> &done, DWORD milliseconds);

// Removes a WM_QUIT waiting in this thread's queue; returns whether there
// was one.
bool takeQuitMessage(void);

void writeSettingsFile(const std::string &path, const SettingsRecord &record);
void writeListFile(const std::string &path, const std::vector<std::string> &entries);

// A window's rectangle in its parent's client coordinates.
RECT rectInParent(HWND child);

// The program's main window, created in this process. Tests fill `settings`
// and `lists` and then call openMainWindow(); both are written to the data
// folder first, so the window starts from them.
struct MainWindowFixture : ProgramFixture {
    SettingsRecord settings;
    std::vector<std::string> lists[3];
    HWND window = NULL;
    std::string title;
    HANDLE screenLock = NULL;

    void SetUp() override;
    void TearDown() override;
    void openMainWindow(void);
    // Sends WM_DESTROY through the window procedure (save, tray icon,
    // quit) and takes the window away.
    void closeMainWindow(void);
    // Gives the main window a client area of this size, past its pinned
    // tracking size (Wine's frame metrics differ from Windows').
    void resizeClient(int width, int height);
    std::string settingsPath(void) const { return dataFolder + "Vombly.cfg"; }

    // The list box and the files behind it, for the tests of list commands.
    HWND listBox(void) const;
    std::string listPath(int list) const;
    // The entries as the list box shows them.
    std::vector<std::string> shown(void) const;
    int selected(void) const;
    // The entries of a list file, decoded record by record; a damaged file
    // fails the test.
    std::vector<std::string> saved(int list) const;
    // The settings file as it was last written: 1250 bytes that verify.
    SettingsRecord savedSettings(void) const;
    // Shows `entries` as list 1 with `index` selected, as if just started.
    void showList(const std::vector<std::string> &entries, int index);
};

// Answers the dialog boxes that the test's thread shows, from a thread of
// its own. startDialogDriver answers the next dialog: posts each command in
// turn, waiting up to `pauseMs` after each for the dialog to go.
// startBoxAnswerer answers every box with this caption with `answer` until
// finishDialogDriver, counting them. A dialog still open after its commands
// is ended with DriverGaveUp, so that a faulty dialog procedure fails its
// test instead of hanging it.
enum { DriverGaveUp = -77, DriverMaxCommands = 4 };
struct DialogDriver;
// Runs on the driver thread against the open dialog (driver->dialog) just
// before command `index` is posted, to type into it or read it. Returning
// false posts no command: the hook has answered the dialog itself.
typedef bool (*DriverHook)(DialogDriver *driver, int index);
struct DialogDriver {
    DWORD ownerThread = 0;
    const char *caption = NULL;  // NULL: any dialog
    bool everyBox = false;
    WORD commands[DriverMaxCommands] = {};
    int commandCount = 0;
    DWORD pauseMs = 0;
    DriverHook beforeCommand = NULL;
    void *context = NULL;  // for the hook
    // Filled by the driver; the "AtOpen" facts and the texts are those of
    // the first dialog.
    HWND dialog = NULL;
    int seen = 0;
    HWND focusAtOpen = NULL;
    int focusIdAtOpen = 0;
    RECT rectAtOpen = {0, 0, 0, 0};
    char captionAtOpen[128] = "";
    std::string texts;  // its static texts, each followed by '|'
    bool openAfter[DriverMaxCommands] = {};
    bool gaveUp = false;
    HANDLE thread = NULL;
    HANDLE stop = NULL;
};
void startDialogDriver(DialogDriver *driver, const WORD *commands, int count, DWORD pauseMs,
                       DriverHook beforeCommand = NULL, void *context = NULL);
void startBoxAnswerer(DialogDriver *driver, const char *caption, WORD answer);
// Stops looking for more dialogs and waits (bounded) for the driver to end.
void finishDialogDriver(DialogDriver *driver);

#endif
