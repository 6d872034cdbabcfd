// Helpers of the daily-use journeys: the user's files written before a start
// and read back after, entries of the main list box clicked, menu items
// chosen, dialogs found, the clipboard filled, the screen read.
#ifndef VOMBLY_TESTS_E2E_DAILY_H
#define VOMBLY_TESTS_E2E_DAILY_H

#include <windows.h>

#include <string>
#include <vector>

#include "harness.h"
#include "core/format.h"
#include "tests/common/settings_bytes.h"

// ---- The user's files -----------------------------------------------------

// Writes the settings file into the data folder (made if missing).
bool writeUsersSettings(const SettingsRecord &record);
// Reads and verifies the settings file; false when it does not verify.
bool readUsersSettings(SettingsRecord *record);
// "Vombly<list>.dat" in the data folder.
std::string listFilePath(int list);
bool writeUsersList(int list, const std::vector<std::string> &entries);
// The entries of a list file; `ok` is false when a record is damaged.
std::vector<std::string> readUsersList(int list, bool *ok = nullptr);

// ---- The main window ------------------------------------------------------

// The middle of entry `index` of a list box of another process, on screen;
// {-1, -1} when the list box gives no rect for it.
POINT entryPoint(HWND listBox, int index);
// LB_GETCURSEL of another process's list box; LB_ERR when none.
int selectedIndex(HWND listBox);
// The text of the selected entry, "" when none is selected.
std::string selectedEntry(HWND listBox);
// Brings the window to the front and clicks or double-clicks an entry; a
// click is done once the entry is selected.
bool clickEntry(HWND listBox, int index);
bool doubleClickEntry(HWND listBox, int index);

// Opens the popup `popup` of the window's menu bar with the mouse and
// clicks its item `item`.
bool chooseMenu(HWND window, const char *popup, const char *item);

// A visible dialog of process `pid` with this caption, once its thread is
// idle; NULL at timeout.
HWND waitForDialog(const char *caption, DWORD pid, int timeoutMs = UiTimeoutMs);
// The window that has the keyboard focus in `window`'s thread.
HWND focusOf(HWND window);
// True when the window's thread handles a message within timeoutMs.
bool answers(HWND window, int timeoutMs);

// ---- Clipboard and screen -------------------------------------------------

// Whether CF_TEXT is on the clipboard at all.
bool clipboardHasText();

// The desktop's pixels inside `rect` (screen coordinates), row by row.
std::vector<COLORREF> screenPixels(const RECT &rect);

// The unix path of a Windows path, "" when Wine can't tell it.
std::string unixPath(const std::string &windowsPath);

#endif
