// A thread that answers the message boxes a test's own thread shows, so
// that a box the program puts up can be read and never hangs a test.
#ifndef VOMBLY_TESTS_WIN_BOX_WATCHER_H
#define VOMBLY_TESTS_WIN_BOX_WATCHER_H

#include <windows.h>
#include <string>

// Answers every message box with one caption that the owner thread shows
// until stopped: counts them, keeps the texts of the first and presses
// `answer`. Bounded, so a box nobody expects cannot hang a test.
struct BoxWatcher {
    DWORD ownerThread;
    const char *caption;
    WORD answer;
    HANDLE stop;
    HANDLE thread;
    int seen;
    std::string texts;  // the first box's static texts, each followed by '|'
};

void startBoxWatcher(BoxWatcher *watcher, const char *caption, WORD answer);
// Stops the watcher (bounded); a watcher that does not stop fails the test.
void stopBoxWatcher(BoxWatcher *watcher);

#endif
