// The entry point: command line, folders, string cache, version test, data
// folder, window class, main window and message loop, in that order.
#include <windows.h>

#include "app/dispatch.h"
#include "app/lifecycle.h"
#include "app/paths.h"
#include "app/startup.h"
#include "app/string_cache.h"
#include "app/window_slots.h"
#include "res/resource.h"

static void ShowStartError(unsigned int textId)
{
    MessageBoxA(NULL, GetString(textId), GetString(IDS_PRODUCT), MB_ICONERROR);
}

static int IsWindowsSupported(void)
{
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
    GetVersionExA(&version);
    return VersionIsSupported(version.dwMajorVersion, version.dwMinorVersion);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int showCommand)
{
    ReadCommandLine(commandLine);
    int startupFolderFits = ReadStartupFolder();
    ReadAppDataFolder();

    if (!LoadStringCache(instance)) {
        // The cache holds every other text, so these two are literals.
        MessageBoxA(NULL, "Unable to cache string table !", "Critical Error", MB_ICONERROR);
        return 0;
    }
    if (!IsWindowsSupported()) {
        ShowStartError(IDS_NEEDS_XP);
        FreeStringCache();
        return 0;
    }
    // A start-up folder that does not fit its buffer would name the wrong
    // default files; it is refused like a data folder that can't be made.
    if (!startupFolderFits || !PrepareDataFolder()) {
        ShowStartError(IDS_UNSPECIFIED);
        FreeStringCache();
        return 0;
    }

    if (RegisterMainClass(instance) == 0) {
        FreeStringCache();
        return 0;
    }
    HWND window = CreateWindowExA(WS_EX_APPWINDOW, GetString(IDS_PRODUCT), GetString(IDS_TITLE),
                                  WS_OVERLAPPEDWINDOW,
                                  CentreOffset(GetSystemMetrics(SM_CXSCREEN), MainWindowWidth),
                                  CentreOffset(GetSystemMetrics(SM_CYSCREEN), MainWindowHeight),
                                  MainWindowWidth, MainWindowHeight, NULL, NULL, instance, NULL);
    if (window == NULL) {
        FreeStringCache();
        return 0;
    }
    WindowSlot(1, MainWindowSlot, window);
    ShowWindow(window, showCommand);
    UpdateWindow(window);

    // The dialog manager sees every message first, so Tab moves between the
    // main window's controls.
    MSG message = {};
    while (GetMessageA(&message, NULL, 0, 0) > 0) {
        if (!IsDialogMessageA(window, &message)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
    FreeStringCache();
    return (int)message.wParam;
}
