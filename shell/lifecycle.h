// The main window's own life: creation with the single-instance test, the
// tray icon, the save timer, the fixed size, close-to-tray, and the end.
#ifndef VOMBLY_SHELL_LIFECYCLE_H
#define VOMBLY_SHELL_LIFECYCLE_H

#include <windows.h>

// The message the tray icon sends to the main window.
enum { TrayNotifyMessage = WM_USER + 1, TrayIconId = 1 };
enum { SaveTimerPeriod = 300000, TicksBetweenSaves = 6, MainWindowWidth = 590, MainWindowHeight = 450 };

// The main window's outer size at `dpi`: 590 x 450 at 96 DPI, scaled above.
SIZE GetMainWindowSize(int dpi);

LRESULT OnCreate(HINSTANCE instance, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT OnDestroy(HINSTANCE instance, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT OnClose(HINSTANCE instance, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT OnTimer(HINSTANCE instance, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT OnTimeChange(HINSTANCE instance, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT OnGetMinMaxInfo(HINSTANCE instance, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT OnTrayNotify(HINSTANCE instance, HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The shell's "TaskbarCreated" message, registered when the window is
// created (0 before), and its handler, which puts the tray icon back after
// the shell restarts.
UINT TaskbarCreatedMessage(void);
LRESULT OnTaskbarCreated(HINSTANCE instance, HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The end of the session: nothing is asked; WM_ENDSESSION ends the program
// the one clean way, without any box.
LRESULT OnQueryEndSession(HINSTANCE instance, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT OnEndSession(HINSTANCE instance, HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The request by which the setup and the uninstaller end a running copy
// (registered under ExitRequestName; 0 before the window is created), and
// its handler: the same clean end, without any box. Answers 1.
#define ExitRequestName "Vombly-Exit-Request"
UINT ExitRequestMessage(void);
LRESULT OnExitRequest(HINSTANCE instance, HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The enumeration procedure of the single-instance test.
BOOL CALLBACK FindRunningCopy(HWND window, LPARAM lParam);

#endif
