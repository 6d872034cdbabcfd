#include "tests/drill/drill.h"

#include "res/resource.h"
#include "tests/common/win_ui.h"

#include <gtest/gtest.h>

#include <stdio.h>

#ifndef VOMBLY_DRILL_TALLY
#error "VOMBLY_DRILL_TALLY must name the tally file the summary reads"
#endif

void recordTally(const char *drill, const DrillTally &tally)
{
    FILE *file = fopen(windowsPath(VOMBLY_DRILL_TALLY).c_str(), "a");
    if (file == NULL) {
        fprintf(stderr, "drill: cannot append to the tally file\n");
        return;
    }
    fprintf(file, "%s %d %d %d\n", drill, tally.faults, tally.filesChecked, tally.filesLost);
    fclose(file);
    printf("drill %s: %d faults injected, %d files checked, %d files lost\n", drill, tally.faults,
           tally.filesChecked, tally.filesLost);
}

void checkDataFiles(DrillTally *tally, SettingsRecord *settings, Entries lists[3])
{
    tally->filesChecked++;
    if (!readUsersSettings(settings)) {
        tally->filesLost++;
        ADD_FAILURE() << "the settings file does not verify";
    }
    for (int list = 1; list <= 3; list++) {
        tally->filesChecked++;
        bool ok = false;
        lists[list - 1] = readUsersList(list, &ok);
        if (!ok || !fileExists(listFilePath(list))) {
            tally->filesLost++;
            ADD_FAILURE() << "list file " << list << " does not decode whole";
        }
    }
}

bool writeDataFiles(uint32_t activeList, int32_t sortEntries, int32_t minimise, const Entries lists[3])
{
    if (!writeUsersSettings(settingsRecord(activeList, sortEntries, minimise)))
        return false;
    for (int list = 1; list <= 3; list++)
        if (!writeUsersList(list, lists[list - 1]))
            return false;
    return true;
}

MessageBoxSeen answerBox(const VomblyProcess &vombly, WORD button, int timeoutMs)
{
    MessageBoxSeen box = messageBox("Vombly", timeoutMs, vombly.pid);
    if (box.window != NULL)
        dismissBox(box.window, button, UiTimeoutMs);
    return box;
}

bool exitThroughMenu(const VomblyProcess &vombly, HWND window)
{
    // A menu can miss its first click while the window settles; a second
    // try starts from a closed menu.
    if (!chooseMenu(window, "File", "Exit")) {
        press(VK_ESCAPE);
        press(VK_ESCAPE);
        if (!bringToFront(window) || !chooseMenu(window, "File", "Exit"))
            return false;
    }
    MessageBoxSeen quit = messageBox("Vombly - Quit", UiTimeoutMs, vombly.pid);
    if (quit.window == NULL || !clickControl(quit.window, IDOK))
        return false;
    return waitForExit(vombly, ExitTimeoutMs) == 0;
}

bool addEntry(const VomblyProcess &vombly, HWND window, const std::string &text, int timeoutMs)
{
    if (!isRunning(vombly) || !clickControl(window, IDC_ADD))
        return false;
    HWND dialog = waitForDialog("Vombly - Add String", vombly.pid, timeoutMs);
    if (dialog == NULL)
        return false;
    typeText(text.c_str());
    HWND edit = GetDlgItem(dialog, IDC_ADD_EDIT);
    if (!waitFor([&] { return !isRunning(vombly) || windowText(edit) == text; }, timeoutMs) || !isRunning(vombly))
        return false;
    press(VK_RETURN);
    return waitFor([&] { return !isRunning(vombly) || !IsWindow(dialog) || !IsWindowVisible(dialog); },
                   timeoutMs) &&
           isRunning(vombly);
}

int entryCount(HWND listBox)
{
    DWORD_PTR count = 0;
    if (!sendTimeout(listBox, LB_GETCOUNT, 0, 0, &count, 5000))
        return -1;
    return (int)(LRESULT)count;
}
