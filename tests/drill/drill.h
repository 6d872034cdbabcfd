// Helpers of the fault drills: the tally every drill adds to (drills run,
// faults injected, files checked, files lost), the check that a data folder's
// files decode whole, and the few steps of a user the drills repeat.
#ifndef VOMBLY_TESTS_DRILL_DRILL_H
#define VOMBLY_TESTS_DRILL_DRILL_H

#include <windows.h>

#include <string>
#include <vector>

#include "tests/e2e/daily.h"
#include "tests/e2e/harness.h"

typedef std::vector<std::string> Entries;
typedef std::vector<unsigned char> Bytes;

// What one drill did; added to the tally file at its end.
struct DrillTally {
    int faults = 0;
    int filesChecked = 0;
    int filesLost = 0;
};
// Appends one drill's figures to the tally the summary adds up.
void recordTally(const char *drill, const DrillTally &tally);

// Checks the four files of the data folder: the settings file verifies and
// every list file decodes to its end. Counts each file checked and each
// file that does not decode (lost); the lists' entries go to `lists`.
void checkDataFiles(DrillTally *tally, SettingsRecord *settings, Entries lists[3]);

// Writes a settings file with the default names, the active list and both
// options as given, and the three list files.
bool writeDataFiles(uint32_t activeList, int32_t sortEntries, int32_t minimise, const Entries lists[3]);

// The process's message box with caption "Vombly", its text, and an
// answer by the keyboard. NULL window when none came.
MessageBoxSeen answerBox(const VomblyProcess &vombly, WORD button, int timeoutMs = UiTimeoutMs);

// File, Exit, then Quit in the Exit dialog; true once the process has
// ended with code 0.
bool exitThroughMenu(const VomblyProcess &vombly, HWND window);

// Adds an entry through the Add button and the Add dialog, with real input.
// False as soon as a step fails (the process may have been killed).
bool addEntry(const VomblyProcess &vombly, HWND window, const std::string &text, int timeoutMs = UiTimeoutMs);

// The main list box's entry count, from another process; -1 on failure.
int entryCount(HWND listBox);

#endif
