// The main window's map: MainWndProc looks every message up in MessageTable
// and every WM_COMMAND id up in CommandTable, and calls the handler found.
#ifndef VOMBLY_APP_DISPATCH_H
#define VOMBLY_APP_DISPATCH_H

#include <windows.h>

// The signature of every handler in both tables; every handler returns 0.
typedef LRESULT (*MessageHandler)(HINSTANCE instance, HWND window, UINT message, WPARAM wParam, LPARAM lParam);

LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Registers the main window's class "Vombly" with MainWndProc, the icon,
// the button-face background and MAIN_MENU. Returns the class atom, 0 on
// failure.
ATOM RegisterMainClass(HINSTANCE instance);

// The module instance, taken from WM_CREATE; NULL before it.
HINSTANCE GetSavedInstance(void);

// The handler of a message or of a command id, or NULL when none has a row.
MessageHandler FindMessageHandler(UINT message);
MessageHandler FindCommandHandler(WORD id);
// The handler of a timer other than the save timer, or NULL.
MessageHandler FindTimerHandler(WPARAM id);

LRESULT DispatchCommand(HINSTANCE instance, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT ExitCommand(HINSTANCE instance, HWND window, UINT message, WPARAM wParam, LPARAM lParam);

#endif
