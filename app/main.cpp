// The entry point: command line, folders, string cache, version test, data
// folder, window class, main window and message loop, in that order.
#include <windows.h>
#include <stdio.h>

#include "app/dispatch.h"
#include "shell/lifecycle.h"
#include "store/safe_write.h"
#include "system/dpi.h"
#include "system/folder_lock.h"
#include "system/notices.h"
#include "system/paths.h"
#include "core/startup.h"
#include "system/string_cache.h"
#include "system/window_slots.h"
#include "res/resource.h"

static void ShowStartError(unsigned int textId)
{
    ShowMessage(NULL, GetString(textId), GetString(IDS_PRODUCT), MB_ICONERROR);
}

// Shows string 41 and, where the data folder's name is what failed, that
// name below it.
static void ShowDataFolderError(void)
{
    const char *folder = TooLongFolder();
    const char *detail = GetString(IDS_FOLDER_TOO_LONG);
    if (folder == NULL || detail == NULL) {
        ShowStartError(IDS_UNSPECIFIED);
        return;
    }
    char named[PathBufferSize + 64];
    char text[PathBufferSize + 256];
    snprintf(named, sizeof named, detail, folder);
    snprintf(text, sizeof text, "%s\n\n%s", GetString(IDS_UNSPECIFIED), named);
    ShowMessage(NULL, text, GetString(IDS_PRODUCT), MB_ICONERROR);
}

// Copies started at nearly the same moment cannot see each other's windows
// yet; a mutex in the session's namespace lets exactly one of them go on.
// Its handle stays open for the whole run and closes with the process.
static int IsFirstCopy(void)
{
    char name[64];
    snprintf(name, sizeof name, "Local\\%s-single-copy", GetString(IDS_PRODUCT));
    HANDLE mutex = CreateMutexA(NULL, FALSE, name);
    // Without a mutex the window-title test still decides.
    return mutex == NULL || GetLastError() != ERROR_ALREADY_EXISTS;
}

// A copy in another session of Windows does not see this session's mutex
// or windows, but it does see the data folder: the folder is held for the
// whole run, and a copy that finds it held says so and ends before it reads
// or writes a file, so neither copy writes over the other's entries.
// The handle is never closed: it holds the folder until the process ends.
static int HoldsDataFolder(void)
{
    HANDLE held = NULL;
    const char *folder = DataFolder();
    if (HoldDataFolder(folder, HeldFileWaitMs, &held))
        return 1;
    ShowNotice(MB_ICONERROR, IDS_FOLDER_IN_USE, folder != NULL ? folder : "");
    return 0;
}

static int IsWindowsSupported(void)
{
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
    GetVersionExA(&version);
    return VersionIsSupported(version.dwMajorVersion, version.dwMinorVersion);
}

// Every check of the start, then the window class and the main window.
// Returns the main window, or NULL once the user has been told why the
// program cannot start (or, without a window class or window, silently).
static HWND StartMainWindow(HINSTANCE instance)
{
    if (!IsWindowsSupported()) {
        ShowStartError(IDS_NEEDS_XP);
        return NULL;
    }
    // A copy that is not first touches no file.
    if (!IsFirstCopy()) {
        ShowStartError(IDS_ALREADY_ACTIVE);
        return NULL;
    }
    if (!PrepareDataFolder()) {
        ShowDataFolderError();
        return NULL;
    }
    if (!HoldsDataFolder())
        return NULL;
    if (RegisterMainClass(instance) == 0)
        return NULL;
    // Sized for the screen's scale, which is the primary monitor's.
    int dpi = GetMainWindowDpi();
    SIZE size = GetMainWindowSize(dpi);
    HWND window = CreateWindowExA(WS_EX_APPWINDOW, GetString(IDS_PRODUCT), GetString(IDS_TITLE),
                                  WS_OVERLAPPEDWINDOW, CentreOffset(GetSystemMetrics(SM_CXSCREEN), size.cx),
                                  CentreOffset(GetSystemMetrics(SM_CYSCREEN), size.cy), size.cx, size.cy, NULL,
                                  NULL, instance, NULL);
    // A primary monitor whose scale was changed after logon has a scale of
    // its own, which the window took when it was created.
    if (window != NULL && GetMainWindowDpi() != dpi) {
        size = GetMainWindowSize(GetMainWindowDpi());
        SetWindowPos(window, NULL, CentreOffset(GetSystemMetrics(SM_CXSCREEN), size.cx),
                     CentreOffset(GetSystemMetrics(SM_CYSCREEN), size.cy), size.cx, size.cy,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
    return window;
}

// The dialog manager sees every message first, so Tab moves between the
// main window's controls. Returns the quit message's code.
static int RunMessageLoop(HWND window)
{
    MSG message = {};
    while (GetMessageA(&message, NULL, 0, 0) > 0) {
        if (!IsDialogMessageA(window, &message)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
    return (int)message.wParam;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int showCommand)
{
    ReadCommandLine(commandLine);
    // A current directory too long for its buffer is passed over: the
    // defaults are then read from the program's own folder.
    ReadStartupFolder();
    ReadProgramFolder();
    ReadAppDataFolder();

    if (!LoadStringCache(instance)) {
        // The cache holds every other text, so these two are literals.
        ShowMessage(NULL, "Unable to cache string table !", "Critical Error", MB_ICONERROR);
        return 0;
    }
    int result = 0;
    HWND window = StartMainWindow(instance);
    if (window != NULL) {
        WindowSlot(1, MainWindowSlot, window);
        ShowWindow(window, showCommand);
        UpdateWindow(window);
        result = RunMessageLoop(window);
    }
    FreeStringCache();
    return result;
}
