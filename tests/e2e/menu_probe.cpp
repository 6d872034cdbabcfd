// menu_probe.dll: reads a window's menu from inside the process that owns
// it. Wine keeps a menu's items in the owning process only, so GetMenu and
// friends fail from the test process; the harness installs MenuProbeHook on
// the window's thread, sends it the probe message, and this code runs there.
//
// The answer goes into the shared memory block MenuProbeMapping as text,
// one line per item, popups' items after their bar item:
//   <depth> <id> <state> <left> <top> <right> <bottom> <text>
// id is -1 for a popup; the rect is on screen, all zero while not shown.
#include <windows.h>
#include <stdio.h>
#include <string.h>

#include "menu_probe.h"

static size_t describeMenu(HWND window, HMENU menu, int depth, char *out, size_t size, size_t used)
{
    int count = GetMenuItemCount(menu);
    for (int i = 0; i < count && used < size; i++) {
        char text[256] = "";
        GetMenuStringA(menu, (UINT)i, text, ARRAYSIZE(text), MF_BYPOSITION);
        // Keeps the line format whole whatever the item says.
        for (char *c = text; *c != '\0'; c++) {
            if (*c == '\n' || *c == '\r')
                *c = ' ';
        }
        RECT rect = {0, 0, 0, 0};
        if (!GetMenuItemRect(window, menu, (UINT)i, &rect))
            SetRectEmpty(&rect);
        HMENU popup = GetSubMenu(menu, i);
        int written = snprintf(out + used, size - used, "%d %d %u %ld %ld %ld %ld %s\n", depth,
                               popup != NULL ? -1 : (int)GetMenuItemID(menu, i),
                               GetMenuState(menu, (UINT)i, MF_BYPOSITION), rect.left, rect.top, rect.right,
                               rect.bottom, text);
        if (written < 0 || (size_t)written >= size - used)
            return size;
        used += (size_t)written;
        // The window is only right for the bar's own items; a popup's items
        // have a rect while it is open, which GetMenuItemRect finds by menu.
        if (popup != NULL)
            used = describeMenu(NULL, popup, depth + 1, out, size, used);
    }
    return used;
}

extern "C" __declspec(dllexport) LRESULT CALLBACK MenuProbeHook(int code, WPARAM wParam, LPARAM lParam)
{
    const CWPSTRUCT *call = (const CWPSTRUCT *)lParam;
    if (code == HC_ACTION && call->message == RegisterWindowMessageA(MenuProbeMessage)) {
        HANDLE mapping = OpenFileMappingA(FILE_MAP_WRITE, FALSE, MenuProbeMapping);
        char *out = mapping != NULL ? (char *)MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, MenuProbeSize) : NULL;
        if (out != NULL) {
            HMENU menu = GetMenu(call->hwnd);
            size_t used = menu != NULL ? describeMenu(call->hwnd, menu, 0, out, MenuProbeSize - 1, 0) : 0;
            out[used < MenuProbeSize ? used : MenuProbeSize - 1] = '\0';
            UnmapViewOfFile(out);
        }
        if (mapping != NULL)
            CloseHandle(mapping);
    }
    return CallNextHookEx(NULL, code, wParam, lParam);
}
