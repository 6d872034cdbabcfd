// desktop_keeper.exe [wait|stop]: keeps Wine's virtual desktop open between
// the journeys' processes. Wine ends the desktop (its explorer) about a
// second after the last program on it ends; a journey whose process starts
// in that moment gets a desktop that vanishes under it (no windows, no
// screenshots). The keeper is such a program, waiting until `stop` or for
// an hour at most, so it never outlives a forgotten session for long.
// `wait` returns once a keeper is up: the desktop (and explorer) must be
// started by it, not by a journey whose output pipe explorer would inherit
// and hold open for as long as the keeper lives.
#include <windows.h>
#include <string.h>

static const char StopEventName[] = "VomblyE2eDesktopKeeperStop";
static const char WindowTitle[] = "Vombly e2e desktop keeper";

int main(int argc, char **argv)
{
    if (argc > 1 && strcmp(argv[1], "stop") == 0) {
        HANDLE stop = OpenEventA(EVENT_MODIFY_STATE, FALSE, StopEventName);
        if (stop != NULL) {
            SetEvent(stop);
            CloseHandle(stop);
        }
        return 0;
    }
    if (argc > 1 && strcmp(argv[1], "wait") == 0) {
        for (int waited = 0; waited < 30000; waited += 50) {
            if (FindWindowA("STATIC", WindowTitle) != NULL)
                return 0;
            Sleep(50);
        }
        return 1;
    }
    HANDLE stop = CreateEventA(NULL, TRUE, FALSE, StopEventName);
    if (stop == NULL)
        return 1;
    // One keeper is enough.
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        CloseHandle(stop);
        return 0;
    }
    // A window, even a hidden one, makes this process a user of the desktop.
    HWND window = CreateWindowExA(0, "STATIC", WindowTitle, WS_POPUP, 0, 0, 0, 0, NULL, NULL,
                                  GetModuleHandleA(NULL), NULL);
    WaitForSingleObject(stop, 60 * 60 * 1000);
    if (window != NULL)
        DestroyWindow(window);
    CloseHandle(stop);
    return 0;
}
