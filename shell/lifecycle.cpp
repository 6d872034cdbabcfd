#include "shell/lifecycle.h"

#include <commctrl.h>
#include <shellapi.h>
#include <stdio.h>
#include <string.h>

#include "system/dpi.h"
#include "system/notices.h"
#include "shell/hotkey.h"
#include "core/startup.h"
#include "system/string_cache.h"
#include "shell/tray_menu.h"
#include "system/window_slots.h"
#include "dialogs/about_exit.h"
#include "res/resource.h"
#include "core/format.h"
#include "view/lists.h"
#include "store/settings.h"
#include "view/save_settings.h"
#include "view/clipboard.h"
#include "view/controls.h"
#include "view/paint.h"
#include "store/safe_write.h"

static UINT_PTR timerId;
static DWORD timerTicks;
static DWORD lastTimeChangeTick;
static HWND creatingWindow;
static UINT taskbarCreatedMessage;
static UINT exitRequestMessage;
static int ended;

// The tray icon's picture: at 96 DPI the shared icon, as ever; above, the
// icon's image nearest the size the notification area shows, made for this
// call (`made` 1), which the shell copies.
static HICON TrayIconPicture(HINSTANCE instance, int *made)
{
    int dpi = GetWindowDpi(NULL);
    *made = dpi != BaseDpi;
    if (!*made)
        return LoadIconA(instance, "MAIN_ICON");
    return (HICON)LoadImageA(instance, "MAIN_ICON", IMAGE_ICON, GetSystemMetricForDpi(SM_CXSMICON, dpi),
                             GetSystemMetricForDpi(SM_CYSMICON, dpi), 0);
}

// The tray icon is described the same way for adding and deleting it.
static void FillTrayIconData(NOTIFYICONDATAA *data, HINSTANCE instance, HWND window, int *madeIcon)
{
    memset(data, 0, sizeof *data);
    data->cbSize = sizeof *data;
    data->hWnd = window;
    data->uID = TrayIconId;
    data->uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data->uCallbackMessage = TrayNotifyMessage;
    data->hIcon = TrayIconPicture(instance, madeIcon);
    snprintf(data->szTip, sizeof data->szTip, "%s", GetString(IDS_TITLE));
}

static void TrayIcon(DWORD action, HINSTANCE instance, HWND window)
{
    NOTIFYICONDATAA data;
    int madeIcon = 0;
    FillTrayIconData(&data, instance, window, &madeIcon);
    Shell_NotifyIconA(action, &data);
    if (madeIcon && data.hIcon != NULL)
        DestroyIcon(data.hIcon);
}

UINT TaskbarCreatedMessage(void)
{
    return taskbarCreatedMessage;
}

LRESULT OnTaskbarCreated(HINSTANCE instance, HWND window, UINT, WPARAM, LPARAM)
{
    TrayIcon(NIM_ADD, instance, window);
    return 0;
}

// 1 for another copy's main window: the program's title, and not the
// window being created, which carries the title too and is recognised by
// its handle, wherever it lies in the Z order.
static int IsRunningCopy(HWND window)
{
    char title[256];
    title[0] = '\0';
    GetWindowTextA(window, title, ARRAYSIZE(title));
    return strcmp(title, GetString(IDS_TITLE)) == 0 && window != creatingWindow;
}

static BOOL CALLBACK FindRunningCopyQuietly(HWND window, LPARAM)
{
    return !IsRunningCopy(window);
}

BOOL CALLBACK FindRunningCopy(HWND window, LPARAM)
{
    if (!IsRunningCopy(window))
        return TRUE;
    ShowMessage(NULL, GetString(IDS_ALREADY_ACTIVE), GetString(IDS_PRODUCT), MB_ICONERROR);
    // This copy ends itself; the running copy is sent nothing.
    SendMessageA(creatingWindow, WM_DESTROY, 0, 0);
    return FALSE;
}

LRESULT OnCreate(HINSTANCE instance, HWND window, UINT, WPARAM, LPARAM)
{
    ended = 0;
    SetNoticesQuiet(0);
    InitCommonControls();
    // With the version 6 common controls the manifest asks for, the system
    // classes the program uses (list box, button, edit, static) come from
    // comctl32 and are themed; registering them here keeps that so however
    // the process was started. Older comctl32 versions refuse the flag and
    // keep their own classes, which is fine.
    INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&classes);
    SetScrambleMask(ScrambleMaskValue);
    creatingWindow = window;
    LoadSettingsAtStart();
    // What the last end kept belongs to the copy that goes on: a copy the
    // single-instance test below is about to end offers nothing.
    if (EnumWindows(FindRunningCopyQuietly, 0))
        OfferKeptSettings();
    CreateMainControls(instance, window);
    taskbarCreatedMessage = RegisterWindowMessageA("TaskbarCreated");
    exitRequestMessage = RegisterWindowMessageA(ExitRequestName);
    TrayIcon(NIM_ADD, instance, window);
    SendMessageA(window, WM_COMMAND, CMD_LOAD_LIST, 0);
    timerId = SetTimer(window, 0, SaveTimerPeriod, NULL);

    if (!EnumWindows(FindRunningCopy, 0))
        return 0;

    StartHotkey(window);
    OfferKeptEntries();
    SaveSettingsAtStart();
    if (!GetShowAtStart())
        PostMessageA(window, WM_CLOSE, 0, 0);
    return 0;
}

// The one way the program ends, whoever asks: failed saves are tried once
// more, entries that still cannot be saved are kept beside their file (and
// offered at the next start), a private copy is cleared, the settings saved
// and the tray icon taken away.
static void EndCleanly(HINSTANCE instance, HWND window)
{
    if (ended)
        return;
    ended = 1;
    KillTimer(window, timerId);
    KillTimer(window, PrivateClearTimerId);
    RetryFailedSaves();
    char kept[PathBufferSize];
    int list = (int)GetActiveList();
    int keptAside = KeepUnsavedEntries(kept, sizeof kept);
    if (keptAside > 0) {
        ShowNotice(MB_ICONWARNING, IDS_UNSAVED_KEPT, list, kept);
    } else if (keptAside < 0) {
        char reason[512];
        ErrorText(GetSafeWriteError(), reason, sizeof reason);
        ShowNotice(MB_ICONERROR, IDS_UNSAVED_LOST, list, reason);
    }
    // A private copy still on the clipboard leaves with the program.
    ClearPrivateCopyAtExit();
    if (PrivateCopyPending())
        ShowNotice(MB_ICONWARNING, IDS_PRIVATE_NOT_CLEARED);
    SaveSettings();
    int settingsKept = KeepUnsavedSettings(kept, sizeof kept);
    if (settingsKept > 0) {
        ShowNotice(MB_ICONWARNING, IDS_SETTINGS_KEPT, kept);
    } else if (settingsKept < 0) {
        char reason[512];
        ErrorText(GetSafeWriteError(), reason, sizeof reason);
        ShowNotice(MB_ICONERROR, IDS_SETTINGS_NOT_SAVED, reason);
    }
    TrayIcon(NIM_DELETE, instance, window);
    FreeLogo();
    FreeDpiFonts();
    PostQuitMessage(0);
}

LRESULT OnDestroy(HINSTANCE instance, HWND window, UINT, WPARAM, LPARAM)
{
    EndCleanly(instance, window);
    return 0;
}

LRESULT OnQueryEndSession(HINSTANCE, HWND, UINT, WPARAM, LPARAM)
{
    // Nothing holds the log-off: what cannot be saved is kept at the end.
    return TRUE;
}

LRESULT OnEndSession(HINSTANCE instance, HWND window, UINT, WPARAM wParam, LPARAM)
{
    if (wParam) {
        // No box may hold the end of the session.
        SetNoticesQuiet(1);
        EndCleanly(instance, window);
    }
    return 0;
}

UINT ExitRequestMessage(void)
{
    return exitRequestMessage;
}

LRESULT OnExitRequest(HINSTANCE instance, HWND window, UINT, WPARAM, LPARAM)
{
    // The setup or the uninstaller waits, often unseen: no box.
    SetNoticesQuiet(1);
    EndCleanly(instance, window);
    return 1;
}

// Before the Exit dialog: changes that could not be saved are tried once
// more; while they still fail the user is told and may try again.
static void OfferToSaveAgain(void)
{
    for (;;) {
        RetryFailedSaves();
        unsigned long error = FirstSaveError();
        if (error == 0)
            return;
        char reason[512];
        ErrorText(error, reason, sizeof reason);
        if (ShowNotice(MB_RETRYCANCEL | MB_ICONWARNING, IDS_UNSAVED_AT_EXIT, reason) != IDRETRY)
            return;
    }
}

LRESULT OnClose(HINSTANCE instance, HWND window, UINT, WPARAM wParam, LPARAM)
{
    if (wParam == IDM_EXIT) {
        if (AnySaveFailed())
            OfferToSaveAgain();
        if (DialogBoxParamA(instance, "EXITBOX", window, ExitDlgProc, 0) == 1)
            SendMessageA(window, WM_DESTROY, 0, 0);
        return 0;
    }
    // Every other close request sends the window to the tray.
    ShowWindow(window, SW_MINIMIZE);
    return 0;
}

LRESULT OnTimer(HINSTANCE, HWND, UINT, WPARAM, LPARAM)
{
    // Saves on ticks 1, 7, 13, ...: five minutes after start, then every
    // half hour.
    DWORD phase = timerTicks % TicksBetweenSaves;
    timerTicks++;
    if (phase == 0) {
        // A list whose save failed is tried again with the settings.
        if (SaveFailed((int)GetActiveList()))
            SaveActiveList();
        SaveSettings();
    }
    return 0;
}

LRESULT OnTimeChange(HINSTANCE, HWND, UINT, WPARAM, LPARAM)
{
    // At most one save per timer interval, and none before the first tick.
    if (timerTicks != lastTimeChangeTick) {
        lastTimeChangeTick = timerTicks;
        SaveSettings();
    }
    return 0;
}

SIZE GetMainWindowSize(int dpi)
{
    SIZE size = {ScaleForDpi(MainWindowWidth, dpi), ScaleForDpi(MainWindowHeight, dpi)};
    return size;
}

LRESULT OnGetMinMaxInfo(HINSTANCE, HWND, UINT, WPARAM, LPARAM lParam)
{
    MINMAXINFO *info = (MINMAXINFO *)lParam;
    SIZE size = GetMainWindowSize(GetMainWindowDpi());
    info->ptMinTrackSize.x = info->ptMaxTrackSize.x = size.cx;
    info->ptMinTrackSize.y = info->ptMaxTrackSize.y = size.cy;
    return 0;
}

LRESULT OnTrayNotify(HINSTANCE instance, HWND window, UINT, WPARAM, LPARAM lParam)
{
    if (lParam == WM_LBUTTONDBLCLK)
        ShowWindowCommand(instance, window, WM_COMMAND, IDM_SHOW_WINDOW, 0);
    else if (lParam == WM_RBUTTONUP || lParam == WM_CONTEXTMENU)
        ShowTrayMenu(window);
    return 0;
}
