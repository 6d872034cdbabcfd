#include "tests/win/main_window_util.h"

#include <stdio.h>
#include <string.h>

#include "app/dispatch.h"
#include "app/lifecycle.h"
#include "app/startup.h"
#include "app/string_cache.h"
#include "app/window_slots.h"
#include "res/resource.h"
#include "store/options_format.h"

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
    unsigned char file[SettingsFileSize];
    EncodeSettingsFile(&record, file);
    writeFileBytes(path, Bytes(file, file + sizeof file));
}

void writeListFile(const std::string &path, const std::vector<std::string> &entries)
{
    Bytes bytes;
    static unsigned char record[ListRecordHeaderSize + ListEntryWriteLimit];
    for (const std::string &entry : entries) {
        if (entry.size() > ListEntryWriteLimit) {
            // Longer than the program ever writes, but readable up to its
            // buffer: such files come from elsewhere. Laid out by hand.
            uint32_t length = (uint32_t)entry.size();
            Bytes longRecord = {(unsigned char)length, (unsigned char)(length >> 8), (unsigned char)(length >> 16),
                                (unsigned char)(length >> 24)};
            longRecord.insert(longRecord.end(), entry.begin(), entry.end());
            ScrambleBytes(longRecord.data() + ListRecordHeaderSize, length, (int32_t)length);
            bytes.insert(bytes.end(), longRecord.begin(), longRecord.end());
            continue;
        }
        size_t size = EncodeListRecord(entry.c_str(), (uint32_t)entry.size(), record, sizeof record);
        ASSERT_NE(0u, size) << entry;
        bytes.insert(bytes.end(), record, record + size);
    }
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
    settings = SettingsRecord{};
    settings.activeList = 1;
    snprintf(settings.lists[0].listName, ListNameSize, "%s", "Home list");
    snprintf(settings.lists[1].listName, ListNameSize, "%s", "Office list");
    snprintf(settings.lists[2].listName, ListNameSize, "%s", "Other list");
    // No global hotkey: the main windows of test processes that follow each
    // other closely would find it taken and say so in a message box.
    OptionsBlock options;
    DefaultOptions(&options);
    options.hotkeyModifiers = 0;
    options.hotkeyKey = 0;
    EncodeOptions(&options, settings.reservedTail);
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
    window = CreateWindowExA(WS_EX_APPWINDOW, GetString(IDS_PRODUCT), title.c_str(), WS_OVERLAPPEDWINDOW,
                             CentreOffset(GetSystemMetrics(SM_CXSCREEN), MainWindowWidth),
                             CentreOffset(GetSystemMetrics(SM_CYSCREEN), MainWindowHeight), MainWindowWidth,
                             MainWindowHeight, NULL, NULL, instance, NULL);
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

static BOOL CALLBACK FindShownDialog(HWND window, LPARAM lParam)
{
    char className[16];
    if (IsWindowVisible(window) && GetClassNameA(window, className, ARRAYSIZE(className)) > 0 &&
        strcmp(className, "#32770") == 0) {
        *(HWND *)lParam = window;
        return FALSE;
    }
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

static DWORD WINAPI DriveDialog(void *parameter)
{
    DialogDriver *driver = (DialogDriver *)parameter;
    DWORD start = GetTickCount();
    HWND dialog = NULL;
    while (dialog == NULL && GetTickCount() - start < 10000) {
        EnumThreadWindows(driver->ownerThread, FindShownDialog, (LPARAM)&dialog);
        if (dialog == NULL)
            Sleep(20);
    }
    if (dialog == NULL)
        return 0;
    // Give the dialog manager time to finish showing it.
    Sleep(100);
    driver->dialog = dialog;
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    if (GetGUIThreadInfo(driver->ownerThread, &info))
        driver->focusAtOpen = info.hwndFocus;
    driver->focusIdAtOpen = GetDlgCtrlID(driver->focusAtOpen);
    GetWindowRect(dialog, &driver->rectAtOpen);
    GetWindowTextA(dialog, driver->captionAtOpen, ARRAYSIZE(driver->captionAtOpen));

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
    return 0;
}

void startDialogDriver(DialogDriver *driver, const WORD *commands, int count, DWORD pauseMs,
                       DriverHook beforeCommand, void *context)
{
    memset(driver, 0, sizeof *driver);
    driver->beforeCommand = beforeCommand;
    driver->context = context;
    driver->ownerThread = GetCurrentThreadId();
    driver->commandCount = count < DriverMaxCommands ? count : DriverMaxCommands;
    memcpy(driver->commands, commands, sizeof *commands * driver->commandCount);
    driver->pauseMs = pauseMs;
    driver->thread = CreateThread(NULL, 0, DriveDialog, driver, 0, NULL);
    ASSERT_NE(nullptr, driver->thread);
}

void finishDialogDriver(DialogDriver *driver)
{
    if (driver->thread == NULL)
        return;
    // The driver may still be sending to this thread's windows.
    pumpUntil([driver] { return WaitForSingleObject(driver->thread, 0) == WAIT_OBJECT_0; }, 20000);
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(driver->thread, 0)) << "dialog driver still running";
    CloseHandle(driver->thread);
    driver->thread = NULL;
}
