#include "tests/win/box_watcher.h"

#include <gtest/gtest.h>
#include <string.h>

#include "tests/win/main_window_util.h"

struct BoxSearch {
    const char *caption;
    HWND found;
};

static BOOL CALLBACK FindBoxByCaption(HWND window, LPARAM lParam)
{
    BoxSearch *search = (BoxSearch *)lParam;
    char className[16];
    char caption[128];
    if (IsWindowVisible(window) && GetClassNameA(window, className, ARRAYSIZE(className)) > 0 &&
        strcmp(className, "#32770") == 0 && GetWindowTextA(window, caption, ARRAYSIZE(caption)) >= 0 &&
        strcmp(caption, search->caption) == 0) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

static BOOL CALLBACK CollectStaticText(HWND child, LPARAM lParam)
{
    char className[16];
    char text[512];
    if (GetClassNameA(child, className, ARRAYSIZE(className)) > 0 && lstrcmpiA(className, "Static") == 0 &&
        GetWindowTextA(child, text, ARRAYSIZE(text)) > 0)
        *(std::string *)lParam += std::string(text) + "|";
    return TRUE;
}

static DWORD WINAPI WatchBoxes(void *parameter)
{
    BoxWatcher *watcher = (BoxWatcher *)parameter;
    DWORD start = GetTickCount();
    while (WaitForSingleObject(watcher->stop, 20) == WAIT_TIMEOUT && GetTickCount() - start < 30000) {
        BoxSearch search = {watcher->caption, NULL};
        EnumThreadWindows(watcher->ownerThread, FindBoxByCaption, (LPARAM)&search);
        if (search.found == NULL)
            continue;
        Sleep(100);
        if (watcher->seen++ == 0)
            EnumChildWindows(search.found, CollectStaticText, (LPARAM)&watcher->texts);
        PostMessageA(search.found, WM_COMMAND, MAKEWPARAM(watcher->answer, BN_CLICKED), 0);
        DWORD asked = GetTickCount();
        while (IsWindow(search.found) && IsWindowVisible(search.found) && GetTickCount() - asked < 3000)
            Sleep(20);
        if (IsWindow(search.found) && IsWindowVisible(search.found))
            EndDialog(search.found, DriverGaveUp);
    }
    return 0;
}

void startBoxWatcher(BoxWatcher *watcher, const char *caption, WORD answer)
{
    watcher->ownerThread = GetCurrentThreadId();
    watcher->caption = caption;
    watcher->answer = answer;
    watcher->seen = 0;
    watcher->texts.clear();
    watcher->stop = CreateEventA(NULL, TRUE, FALSE, NULL);
    watcher->thread = CreateThread(NULL, 0, WatchBoxes, watcher, 0, NULL);
    ASSERT_NE(nullptr, watcher->thread);
}

void stopBoxWatcher(BoxWatcher *watcher)
{
    SetEvent(watcher->stop);
    // The watcher may be asking this thread's windows for their texts.
    pumpUntil([watcher] { return WaitForSingleObject(watcher->thread, 0) == WAIT_OBJECT_0; }, 10000);
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(watcher->thread, 0)) << "box watcher still running";
    CloseHandle(watcher->thread);
    CloseHandle(watcher->stop);
}

