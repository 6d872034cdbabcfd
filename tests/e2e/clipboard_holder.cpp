// clipboard_holder HOLD_MS: opens the clipboard for a window of its own and
// keeps it open for HOLD_MS milliseconds (or until that window is sent
// WM_CLOSE), as a busy program might. The harness finds it through
// GetOpenClipboardWindow. The clipboard's content is left alone.
// Exit code 0 after a hold, 2 when the clipboard could not be opened.
#include <windows.h>
#include <stdlib.h>

enum { OpenAttemptsMs = 5000, MaxHoldMs = 60000 };

int main(int argc, char **argv)
{
    long holdMs = argc > 1 ? strtol(argv[1], NULL, 10) : 0;
    if (holdMs <= 0 || holdMs > MaxHoldMs)
        holdMs = 1000;

    HWND window = CreateWindowExA(0, "STATIC", "clipboard holder", WS_POPUP, 0, 0, 0, 0, NULL, NULL, NULL, NULL);
    if (window == NULL)
        return 2;
    DWORD start = GetTickCount();
    while (!OpenClipboard(window)) {
        if (GetTickCount() - start >= OpenAttemptsMs)
            return 2;
        Sleep(10);
    }

    SetTimer(window, 1, (UINT)holdMs, NULL);
    MSG message;
    while (GetMessageA(&message, NULL, 0, 0) > 0) {
        if (message.message == WM_TIMER || message.message == WM_CLOSE)
            break;
        DispatchMessageA(&message);
    }
    CloseClipboard();
    DestroyWindow(window);
    return 0;
}
