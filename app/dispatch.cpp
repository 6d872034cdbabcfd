#include "app/dispatch.h"

#include "shell/hotkey.h"
#include "shell/lifecycle.h"
#include "system/string_cache.h"
#include "shell/tray_menu.h"
#include "system/window_slots.h"
#include "dialogs/about_exit.h"
#include "dialogs/add_remove.h"
#include "dialogs/edit_entry.h"
#include "dialogs/home_page.h"
#include "dialogs/import_export.h"
#include "dialogs/keyboard_privacy.h"
#include "dialogs/settings_dialog.h"
#include "res/resource.h"
#include "view/lists.h"
#include "view/clipboard.h"
#include "view/context_menu.h"
#include "view/controls.h"
#include "view/paint.h"
#include "view/selection.h"

struct MessageRow {
    UINT message;
    MessageHandler handler;
};

struct CommandRow {
    WORD id;
    MessageHandler handler;
};

// Commands numbered by position, such as the tray menu's entries.
struct CommandRangeRow {
    WORD first;
    WORD last;
    MessageHandler handler;
};

struct TimerRow {
    UINT_PTR id;
    MessageHandler handler;
};

static const MessageRow MessageTable[] = {
    {WM_SIZE, OnSize},
    {WM_PAINT, OnPaint},
    {WM_CREATE, OnCreate},
    {WM_COMMAND, DispatchCommand},
    {WM_CLOSE, OnClose},
    {WM_DESTROY, OnDestroy},
    {WM_TIMER, OnTimer},
    {WM_GETMINMAXINFO, OnGetMinMaxInfo},
    {TrayNotifyMessage, OnTrayNotify},
    {WM_TIMECHANGE, OnTimeChange},
    {WM_CONTEXTMENU, OnContextMenu},
    {WM_HOTKEY, OnHotkey},
    {WM_ACTIVATEAPP, OnActivateApp},
    {DpiChangedMessage, OnDpiChanged},
    {WM_QUERYENDSESSION, OnQueryEndSession},
    {WM_ENDSESSION, OnEndSession},
    {0, NULL},
};

static const CommandRow CommandTable[] = {
    {IDM_ABOUT, AboutCommand},
    {IDM_EXIT, ExitCommand},
    {IDM_SETTINGS, SettingsCommand},
    {IDM_HOMEPAGE, HomePageCommand},
    {IDC_LISTBOX, SelectEntryCommand},
    {IDM_ADD, AddStringCommand},
    {IDC_ADD, AddStringCommand},
    {IDM_REMOVE, RemoveStringCommand},
    {IDC_REMOVE, RemoveStringCommand},
    {IDM_TOGGLE, ToggleListCommand},
    {IDC_TOGGLE, ToggleListCommand},
    {CMD_LOAD_LIST, LoadListCommand},
    {CMD_SAVE_LIST, SaveListCommand},
    {IDM_ENTRY_COPY, CopyEntryCommand},
    {IDM_ENTRY_EDIT, EditEntryCommand},
    {IDM_ENTRY_REMOVE, RemoveStringCommand},
    {IDM_ENTRY_MOVE_UP, MoveEntryUpCommand},
    {IDM_ENTRY_MOVE_DOWN, MoveEntryDownCommand},
    {IDM_LIST_IMPORT, ImportListCommand},
    {IDM_LIST_EXPORT, ExportListCommand},
    {IDM_KEYBOARD_PRIVACY, KeyboardPrivacyCommand},
    {CMD_COPY_SELECTED, CopyEntryCommand},
    {IDM_SHOW_WINDOW, ShowWindowCommand},
    {CMD_REPORT_HOTKEY, ReportHotkeyCommand},
    {IDM_TRAY_SETTINGS, TraySettingsCommand},
    {IDM_TRAY_EXIT, TrayExitCommand},
    {0, NULL},
};

static const CommandRangeRow CommandRangeTable[] = {
    {TrayEntryFirstId, TrayEntryLastId, TrayEntryCommand},
    {0, 0, NULL},
};

// WM_TIMER by timer id; the save timer's ticks go to OnTimer through the
// message table.
static const TimerRow TimerTable[] = {
    {PrivateClearTimerId, PrivateClearTimer},
    {0, NULL},
};

static HINSTANCE savedInstance;

HINSTANCE GetSavedInstance(void)
{
    return savedInstance;
}

MessageHandler FindMessageHandler(UINT message)
{
    for (const MessageRow *row = MessageTable; row->handler != NULL; row++) {
        if (row->message == message)
            return row->handler;
    }
    // The shell's restart message has a number known only at run time.
    if (message != 0 && message == TaskbarCreatedMessage())
        return OnTaskbarCreated;
    if (message != 0 && message == ExitRequestMessage())
        return OnExitRequest;
    return NULL;
}

MessageHandler FindTimerHandler(WPARAM id)
{
    for (const TimerRow *row = TimerTable; row->handler != NULL; row++) {
        if (row->id == id)
            return row->handler;
    }
    return NULL;
}

MessageHandler FindCommandHandler(WORD id)
{
    for (const CommandRow *row = CommandTable; row->handler != NULL; row++) {
        if (row->id == id)
            return row->handler;
    }
    for (const CommandRangeRow *row = CommandRangeTable; row->handler != NULL; row++) {
        if (id >= row->first && id <= row->last)
            return row->handler;
    }
    return NULL;
}

LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CREATE)
        savedInstance = ((const CREATESTRUCTA *)lParam)->hInstance;
    MessageHandler handler = message == WM_TIMER ? FindTimerHandler(wParam) : NULL;
    if (handler == NULL)
        handler = FindMessageHandler(message);
    if (handler != NULL)
        return handler(savedInstance, window, message, wParam, lParam);
    return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT DispatchCommand(HINSTANCE instance, HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    // The key is the command or control id; the notification code stays in
    // wParam for the handler. Unknown ids are dropped.
    MessageHandler handler = FindCommandHandler(LOWORD(wParam));
    if (handler != NULL)
        return handler(instance, window, message, wParam, lParam);
    return 0;
}

LRESULT ExitCommand(HINSTANCE, HWND, UINT, WPARAM, LPARAM)
{
    // wParam IDM_EXIT is how the close handler tells Exit from other closes.
    SendMessageA(WindowSlot(0, MainWindowSlot, NULL), WM_CLOSE, IDM_EXIT, 0);
    return 0;
}

ATOM RegisterMainClass(HINSTANCE instance)
{
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = MainWndProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(instance, "MAIN_ICON");
    windowClass.hCursor = LoadCursorA(NULL, IDC_ARROW);
    windowClass.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
    windowClass.lpszMenuName = "MAIN_MENU";
    windowClass.lpszClassName = GetString(IDS_PRODUCT);
    return RegisterClassExA(&windowClass);
}
