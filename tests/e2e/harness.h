// The end-to-end harness: starts the shipped Vombly.exe in a folder of its
// own, drives it the way a user does (real keyboard and mouse input through
// SendInput) and reads back what the user would see. Every wait is bounded.
#ifndef VOMBLY_TESTS_E2E_HARNESS_H
#define VOMBLY_TESTS_E2E_HARNESS_H

#include <windows.h>

#include <stdint.h>

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "tests/common/file_bytes.h"
#include "tests/common/win_files.h"
#include "tests/common/win_ui.h"

// Timeouts of the journeys. A cold Wine start of a new exe takes a while.
enum { StartTimeoutMs = 20000, ExitTimeoutMs = 10000, UiTimeoutMs = 10000 };

// The program's main window.
constexpr char MainTitle[] = "Vombly - Clipboard Utility";
constexpr char MainClass[] = "Vombly";

// Exit code reported while a process still runs, or when it could not be
// waited for.
enum : DWORD { NotExited = 0xFFFFFFFFu };

struct VomblyProcess {
    HANDLE process;
    DWORD pid;
    std::string folder; // the start folder, the program's current directory
};

// Makes this process see every window in real pixels: the program is
// DPI-aware, and Windows shows an unaware process an aware one's windows in
// scaled-down coordinates.
void becomeDpiAware();

// ---- Folders and files ----------------------------------------------------

// "Z:\..." for a path of the unix side (Wine maps / to Z:).
std::string windowsPath(const char *unixPath);
// The run folder of the shipped exe and its four default files.
std::string runFolder();
extern const char *const DefaultFileNames[4];
// A path as the narrow functions reach it: its short form where the code
// page lacks one of its characters.
std::string ansiPath(const std::wstring &path);
// %APPDATA%\Vombly, without a trailing backslash.
std::string dataFolder();
// A file of the data folder, and a default file of the run folder.
std::string dataFile(const char *name);
std::string defaultFile(const char *name);
// Deletes the data folder and everything in it.
void resetDataFolder();

// Last-write time, 0 when the file can't be read.
unsigned long long fileWriteTime(const std::string &path);

// ---- The program's processes ----------------------------------------------

// Copies the run folder into a fresh temporary folder, leaving out the named
// files, and starts Vombly.exe there with `commandLine` (may be NULL). The
// process handle is owned by the harness and closed by stopAllVombly.
VomblyProcess startVombly(const char *commandLine, std::initializer_list<const char *> leaveOut = {});
// A fresh copy of the run folder as startVombly makes it (removed by
// stopAllVombly), and a start of the Vombly.exe in `exeFolder` with
// `workingFolder` as its current directory.
std::string copyRunFolder(std::initializer_list<const char *> leaveOut = {});
VomblyProcess startVomblyFrom(const std::string &exeFolder, const std::string &workingFolder,
                              const char *commandLine);
// Ends every process the harness started and any other Vombly.exe still
// running, then removes the start folders.
void stopAllVombly();
bool isRunning(const VomblyProcess &vombly);
// The main window of `vombly` once it is visible and idle; NULL at timeout.
HWND waitForMainWindow(const VomblyProcess &vombly, int timeoutMs = StartTimeoutMs);
// The exit code, or NotExited when the process is still running at timeout.
DWORD waitForExit(const VomblyProcess &vombly, int timeoutMs);

// Starts clipboard_holder.exe, which keeps the clipboard open for holdMs,
// and returns once it holds it (NULL if it never did). The process is ended
// by stopAllVombly if still running.
HANDLE holdClipboard(int holdMs);

// The Windows version Wine reports to Vombly.exe ("win2k", "winxp", ...);
// NULL goes back to the run's version: VOMBLY_E2E_WINDOWS_VERSION where it
// is set, else the prefix's own (the setting is deleted).
bool setReportedWindowsVersion(const char *version);

// ---- Windows --------------------------------------------------------------

// Polls `condition` every few milliseconds; true once it holds, false at
// timeout.
bool waitFor(const std::function<bool()> &condition, int timeoutMs);
// A top-level window of the given title and class (either may be NULL), of
// process `pid` when non-zero; hidden windows count. NULL at timeout.
HWND waitForWindow(const char *title, const char *className, int timeoutMs, DWORD pid = 0);
HWND findWindow(const char *title, const char *className, DWORD pid = 0);
HWND findVisibleWindow(const char *title, const char *className, DWORD pid = 0);
// Waits until the window's thread has handled what it was sent and its
// process waits for input: a window turns visible before its controls are
// placed, so look and click only after this.
bool waitUntilIdle(HWND window, int timeoutMs = UiTimeoutMs);
std::string windowText(HWND window);
std::string windowClass(HWND window);
RECT windowRect(HWND window);
// The main window as the user finds it: in the tray (hidden and minimised)
// or shown (visible and not minimised).
bool inTray(HWND window);
bool shownNormally(HWND window);

struct MessageBoxSeen {
    HWND window;
    std::string text; // the message, from the static with id 0xFFFF
};
// A visible message box (dialog class "#32770") with this caption.
MessageBoxSeen messageBox(const char *caption, int timeoutMs = UiTimeoutMs, DWORD pid = 0);

// ---- Real input -----------------------------------------------------------

// Makes `window`'s top-level window the foreground one and waits until its
// thread has taken the activation and the focus; false if it did not.
bool bringToFront(HWND window);
// Presses and releases keys: press(VK_RETURN); press({VK_MENU, 'F'}) holds
// the earlier keys while the last one is pressed.
void press(WORD key);
void press(std::initializer_list<WORD> chord);
void typeText(const char *text);
// Moves the pointer to desktop coordinates without pressing anything;
// false when it does not stay there.
bool movePointer(int x, int y);
// One button event where the pointer is: MOUSEEVENTF_LEFTDOWN, ...
void mouseButton(DWORD flags);
// Mouse clicks at desktop coordinates.
bool click(int x, int y);
bool click(POINT at);
bool doubleClick(int x, int y);
bool doubleClick(POINT at);
POINT centre(const RECT &rect);
// Clicks the middle of a window's child control.
bool clickControl(HWND dialog, int controlId);

// ---- What the user sees ---------------------------------------------------


struct MenuEntry {
    std::string text;
    UINT id;    // (UINT)-1 for a popup
    UINT state; // GetMenuState: MF_SEPARATOR, MF_GRAYED, MF_CHECKED, ...
    RECT rect;  // on screen; empty while the item is not shown
    std::vector<MenuEntry> items; // a popup's items
};
// The window's menu bar with its popups, read inside the owning process by
// menu_probe.dll (Wine gives no other process a menu's items). Empty when
// it could not be read.
std::vector<MenuEntry> menuItems(HWND window);
bool isSeparator(const MenuEntry &entry);

// The desktop's pixels inside `rect` (screen coordinates), row by row from
// the top, each 0x00RRGGBB; empty when the rect is empty or the screen
// could not be read.
std::vector<uint32_t> capturePixels(const RECT &rect);

// Writes the screen's pixels inside `rect` as a PNG file; false on failure.
bool saveScreenPng(const RECT &rect, const std::string &path);

// Writes the whole virtual desktop as <shots folder>\<name>.png and returns
// the file's path, or an empty text on failure.
std::string saveScreenshot(const char *name);

#endif
