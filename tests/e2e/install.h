// The per-user setup as the tests drive it: where it installs, what it
// registers, its silent runs and the uninstaller's, and the removal of
// what an installation left behind.
#ifndef VOMBLY_TESTS_E2E_INSTALL_H
#define VOMBLY_TESTS_E2E_INSTALL_H

#include <windows.h>

#include <string>

#include "harness.h"

extern const char UninstallKey[];
enum { SetupTimeoutMs = 120000, UninstallTimeoutMs = 60000 };

// The setup this tree's tests install (made by the install.setup fixture).
std::string testSetup();

std::string shellFolder(int csidl);
// Where a per-user program goes: the user's programs folder where Windows
// knows one, else Programs under the local application data.
std::string expectedInstallFolder();
std::string startMenuLink();
std::string logonLink();

// A value of the Apps & Features entry: text (REG_SZ) or number (REG_DWORD).
bool readValue(const char *name, std::string *text, DWORD *number);
bool uninstallKeyExists();

// Runs a command line as Windows runs a registered one (the program named
// by its first, quoted, word) and waits for it; its exit code, or NotExited.
DWORD runCommandAndWait(const std::string &commandLine);
DWORD runAndWait(const std::string &exe, const std::string &arguments);
// Apps & Features' way: the registered command as it stands. The
// uninstaller copies itself to the temporary folder, starts that copy and
// returns at once, so its effects are waited for by the caller.
DWORD runRegisteredUninstall(const char *valueName, const std::string &extra);
// Once the uninstaller's copy has removed the program folder `folder` and
// the Apps & Features entry; false at timeout.
bool waitUntilUninstalled(const std::string &folder);

// Ends the running copy the way the setup does: the program's own request
// for its clean end, which saves what it holds.
bool endRunningCopy();

// Takes away what an installation in the default folder left: its files,
// its shortcuts and its Apps & Features entry.
void removeInstallation();

#endif
