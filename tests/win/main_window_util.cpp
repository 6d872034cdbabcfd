#include "tests/win/main_window_util.h"

#include <stdio.h>
#include <string.h>

#include "app/dispatch.h"
#include "shell/lifecycle.h"
#include "core/startup.h"
#include "system/dpi.h"
#include "system/string_cache.h"
#include "system/window_slots.h"
#include "res/resource.h"
#include "core/options_format.h"
#include "tests/common/list_bytes.h"
#include "tests/common/settings_bytes.h"
#include "tests/common/win_ui.h"

void pumpMessages(DWORD milliseconds)
{
    pumpUntil([] { return false; }, milliseconds);
}

bool pumpUntil(const std::function<bool()> &done, DWORD milliseconds)
{
    DWORD start = GetTickCount();
    for (;;) {
        MSG message;
        while (PeekMessageA(&message, NULL, 0, 0, PM_REMOVE)) {
            // A quit is left for the test to see.
            if (message.message == WM_QUIT) {
                PostQuitMessage((int)message.wParam);
                break;
            }
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        if (done())
            return true;
        if (GetTickCount() - start >= milliseconds)
            return false;
        MsgWaitForMultipleObjects(0, NULL, FALSE, 10, QS_ALLINPUT);
    }
}

bool takeQuitMessage(void)
{
    MSG message;
    return PeekMessageA(&message, NULL, WM_QUIT, WM_QUIT, PM_REMOVE) != 0;
}

void writeSettingsFile(const std::string &path, const SettingsRecord &record)
{
    writeFileBytes(path, settingsFileBytes(record));
}

void writeListFile(const std::string &path, const std::vector<std::string> &entries)
{
    bool ok = false;
    Bytes bytes = encodeListFile(entries, &ok);
    ASSERT_TRUE(ok) << "an entry is too long for a list file";
    writeFileBytes(path, bytes);
}

RECT rectInParent(HWND child)
{
    RECT rect = {0, 0, 0, 0};
    GetWindowRect(child, &rect);
    MapWindowPoints(NULL, GetParent(child), (POINT *)&rect, 2);
    return rect;
}

void MainWindowFixture::SetUp()
{
    ProgramFixture::SetUp();
    if (HasFatalFailure())
        return;
    // No global hotkey: the main windows of test processes that follow each
    // other closely would find it taken and say so in a message box.
    OptionsBlock options;
    DefaultOptions(&options);
    options.hotkeyModifiers = 0;
    options.hotkeyKey = 0;
    settings = withOptions(settingsRecord(1, 0, 0, {{"Home list", 0}, {"Office list", 0}, {"Other list", 0}}), options);
    lists[0] = {"kiwi", "apple", "mango"};
    lists[1] = {"zulu", "alpha", "mike"};
    lists[2] = {"third"};
}

void MainWindowFixture::openMainWindow(void)
{
    // Visible main windows of parallel test processes would cover each
    // other's pixels and steal the foreground, so they take turns.
    screenLock = CreateMutexA(NULL, FALSE, "VomblyTestMainWindow");
    ASSERT_NE(nullptr, screenLock);
    DWORD waited = WaitForSingleObject(screenLock, 40000);
    if (waited != WAIT_OBJECT_0 && waited != WAIT_ABANDONED) {
        CloseHandle(screenLock);
        screenLock = NULL;
        FAIL() << "another test kept the main window lock";
    }

    writeSettingsFile(settingsPath(), settings);
    for (int list = 0; list < 3; list++) {
        char path[MAX_PATH];
        snprintf(path, sizeof path, "%sVombly%d.dat", dataFolder.c_str(), list + 1);
        writeListFile(path, lists[list]);
    }

    // Without "/SM" the new window would post itself a close at once.
    ReadCommandLine("/SM");
    HINSTANCE instance = GetModuleHandleA(NULL);
    if (RegisterMainClass(instance) == 0) {
        ASSERT_EQ((DWORD)ERROR_CLASS_ALREADY_EXISTS, GetLastError());
    }

    // The program's own title would make the single-instance test of every
    // other test process end that process's window.
    char text[64];
    snprintf(text, sizeof text, "Vombly test window %lu", (unsigned long)GetCurrentProcessId());
    title = text;
    SIZE size = GetMainWindowSize(GetMainWindowDpi());
    window = CreateWindowExA(WS_EX_APPWINDOW, GetString(IDS_PRODUCT), title.c_str(), WS_OVERLAPPEDWINDOW,
                             CentreOffset(GetSystemMetrics(SM_CXSCREEN), size.cx),
                             CentreOffset(GetSystemMetrics(SM_CYSCREEN), size.cy), size.cx, size.cy, NULL, NULL,
                             instance, NULL);
    ASSERT_NE(nullptr, window) << "error " << GetLastError();
    WindowSlot(1, MainWindowSlot, window);
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
    SetForegroundWindow(window);
    pumpMessages(100);
}

void MainWindowFixture::closeMainWindow(void)
{
    if (window == NULL)
        return;
    SendMessageA(window, WM_DESTROY, 0, 0);
    takeQuitMessage();
    // The window itself is destroyed without its procedure, which would
    // save and post a quit a second time.
    SetWindowLongPtrA(window, GWLP_WNDPROC, (LONG_PTR)DefWindowProcA);
    DestroyWindow(window);
    window = NULL;
    for (unsigned int slot = 0; slot < WindowSlotCount; slot++)
        WindowSlot(1, slot, NULL);
}

void MainWindowFixture::resizeClient(int width, int height)
{
    RECT frame = {0, 0, width, height};
    AdjustWindowRectEx(&frame, (DWORD)GetWindowLongA(window, GWL_STYLE), GetMenu(window) != NULL,
                       (DWORD)GetWindowLongA(window, GWL_EXSTYLE));
    // Skipping WM_WINDOWPOSCHANGING skips the pinned tracking size.
    SetWindowPos(window, NULL, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOSENDCHANGING);
    pumpMessages(50);
    RECT client;
    GetClientRect(window, &client);
    ASSERT_EQ(width, client.right);
    ASSERT_EQ(height, client.bottom);
}

void MainWindowFixture::TearDown()
{
    closeMainWindow();
    if (screenLock != NULL) {
        ReleaseMutex(screenLock);
        CloseHandle(screenLock);
        screenLock = NULL;
    }
    ProgramFixture::TearDown();
}

struct DialogSearch {
    const char *caption;
    HWND found;
};

static BOOL CALLBACK FindShownDialog(HWND window, LPARAM lParam)
{
    DialogSearch *search = (DialogSearch *)lParam;
    char className[16];
    char caption[128] = "";
    if (IsWindowVisible(window) && GetClassNameA(window, className, ARRAYSIZE(className)) > 0 &&
        strcmp(className, "#32770") == 0 &&
        (search->caption == NULL ||
         (GetWindowTextA(window, caption, ARRAYSIZE(caption)) >= 0 && strcmp(caption, search->caption) == 0))) {
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

static bool dialogOpen(HWND dialog)
{
    return IsWindow(dialog) && IsWindowVisible(dialog);
}

// Polls for up to `milliseconds` until the dialog has gone; returns whether
// it is still open.
static bool waitForDialogToGo(HWND dialog, DWORD milliseconds)
{
    DWORD start = GetTickCount();
    while (dialogOpen(dialog) && GetTickCount() - start < milliseconds)
        Sleep(20);
    return dialogOpen(dialog);
}

// The next dialog the driver is after; NULL when none came before
// `limitMs` since `start` or the driver was stopped.
static HWND nextDialog(DialogDriver *driver, DWORD start, DWORD limitMs)
{
    while (GetTickCount() - start < limitMs) {
        DialogSearch search = {driver->caption, NULL};
        EnumThreadWindows(driver->ownerThread, FindShownDialog, (LPARAM)&search);
        if (search.found != NULL)
            return search.found;
        if (WaitForSingleObject(driver->stop, 20) == WAIT_OBJECT_0)
            return NULL;
    }
    return NULL;
}

static void answerDialog(DialogDriver *driver, HWND dialog)
{
    // Give the dialog manager time to finish showing it.
    Sleep(100);
    driver->dialog = dialog;
    if (driver->seen++ == 0) {
        GUITHREADINFO info = {};
        info.cbSize = sizeof info;
        if (GetGUIThreadInfo(driver->ownerThread, &info))
            driver->focusAtOpen = info.hwndFocus;
        driver->focusIdAtOpen = GetDlgCtrlID(driver->focusAtOpen);
        GetWindowRect(dialog, &driver->rectAtOpen);
        GetWindowTextA(dialog, driver->captionAtOpen, ARRAYSIZE(driver->captionAtOpen));
        EnumChildWindows(dialog, CollectStaticText, (LPARAM)&driver->texts);
    }
    for (int i = 0; i < driver->commandCount; i++) {
        WORD id = driver->commands[i];
        if (driver->beforeCommand == NULL || driver->beforeCommand(driver, i))
            PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)GetDlgItem(dialog, id));
        driver->openAfter[i] = waitForDialogToGo(dialog, driver->pauseMs);
    }
    if (waitForDialogToGo(dialog, 3000)) {
        driver->gaveUp = true;
        EndDialog(dialog, DriverGaveUp);
    }
}

static DWORD WINAPI DriveDialog(void *parameter)
{
    DialogDriver *driver = (DialogDriver *)parameter;
    DWORD start = GetTickCount();
    // The next dialog is awaited for 10 s; boxes, until stopped (30 s at most).
    HWND dialog;
    while ((dialog = nextDialog(driver, start, driver->everyBox ? 30000 : 10000)) != NULL) {
        answerDialog(driver, dialog);
        if (!driver->everyBox)
            break;
    }
    return 0;
}

static void startDriver(DialogDriver *driver)
{
    driver->ownerThread = GetCurrentThreadId();
    driver->stop = CreateEventA(NULL, TRUE, FALSE, NULL);
    ASSERT_NE(nullptr, driver->stop);
    driver->thread = CreateThread(NULL, 0, DriveDialog, driver, 0, NULL);
    ASSERT_NE(nullptr, driver->thread);
}

void startDialogDriver(DialogDriver *driver, const WORD *commands, int count, DWORD pauseMs,
                       DriverHook beforeCommand, void *context)
{
    *driver = DialogDriver();
    driver->beforeCommand = beforeCommand;
    driver->context = context;
    driver->commandCount = count < DriverMaxCommands ? count : DriverMaxCommands;
    memcpy(driver->commands, commands, sizeof *commands * driver->commandCount);
    driver->pauseMs = pauseMs;
    startDriver(driver);
}

void startBoxAnswerer(DialogDriver *driver, const char *caption, WORD answer)
{
    *driver = DialogDriver();
    driver->caption = caption;
    driver->everyBox = true;
    driver->commands[0] = answer;
    driver->commandCount = 1;
    driver->pauseMs = 3000;
    startDriver(driver);
}

void finishDialogDriver(DialogDriver *driver)
{
    if (driver->thread == NULL)
        return;
    SetEvent(driver->stop);
    // The driver may still be sending to this thread's windows.
    pumpUntil([driver] { return WaitForSingleObject(driver->thread, 0) == WAIT_OBJECT_0; }, 20000);
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(driver->thread, 0)) << "dialog driver still running";
    CloseHandle(driver->thread);
    CloseHandle(driver->stop);
    driver->thread = NULL;
}

HWND MainWindowFixture::listBox(void) const
{
    return WindowSlot(0, IDC_LISTBOX, NULL);
}

std::string MainWindowFixture::listPath(int list) const
{
    return dataFolder + "Vombly" + std::to_string(list) + ".dat";
}

std::vector<std::string> MainWindowFixture::shown(void) const
{
    return listBoxEntries(listBox());
}

int MainWindowFixture::selected(void) const
{
    return (int)SendMessageA(listBox(), LB_GETCURSEL, 0, 0);
}

std::vector<std::string> MainWindowFixture::saved(int list) const
{
    Bytes bytes = readFileBytes(listPath(list));
    size_t at = 0;
    std::vector<std::string> entries = decodeListFile(bytes, &at);
    EXPECT_EQ(bytes.size(), at) << "damaged list file " << list;
    return entries;
}

SettingsRecord MainWindowFixture::savedSettings(void) const
{
    Bytes bytes = readFileBytes(settingsPath());
    SettingsRecord record = {};
    EXPECT_EQ((size_t)SettingsFileSize, bytes.size());
    EXPECT_EQ(1, DecodeSettingsFile(bytes.data(), bytes.size(), &record)) << "settings file missing or bad";
    return record;
}

void MainWindowFixture::showList(const std::vector<std::string> &entries, int index)
{
    writeListFile(listPath(1), entries);
    SendMessageA(window, WM_COMMAND, CMD_LOAD_LIST, 0);
    SendMessageA(listBox(), LB_SETCURSEL, (WPARAM)index, 0);
}
