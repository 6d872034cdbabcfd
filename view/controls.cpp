#include "view/controls.h"

#include "system/dpi.h"
#include "system/string_cache.h"
#include "system/window_slots.h"
#include "res/resource.h"
#include "store/settings.h"
#include "view/list_keys.h"

static const DWORD ControlExStyle = WS_EX_CLIENTEDGE | WS_EX_WINDOWEDGE;
static const DWORD ListBoxStyle = WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | WS_TABSTOP | LBS_NOTIFY;
static const DWORD ButtonStyle = WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | BS_PUSHBUTTON;

static HWND CreateControl(HINSTANCE instance, HWND parent, const char *className, const char *text,
                          DWORD style, int id, HFONT font)
{
    HWND control = CreateWindowExA(ControlExStyle, className, text, style, 0, 0, 0, 0, parent,
                                   (HMENU)(INT_PTR)id, instance, NULL);
    // The control id is also the control's window slot.
    WindowSlot(1, (unsigned int)id, control);
    SendMessageA(control, WM_SETFONT, (WPARAM)font, 0);
    return control;
}

void CreateMainControls(HINSTANCE instance, HWND window)
{
    SetMainWindowDpi(GetWindowDpi(window));
    HFONT font = GetDpiFont(GetMainWindowDpi());
    // The sort style is fixed here; a changed setting applies at next start.
    DWORD listStyle = ListBoxStyle | (GetSortEntries() == 1 ? LBS_SORT : 0);
    SubclassListBox(CreateControl(instance, window, "listbox", NULL, listStyle, IDC_LISTBOX, font));

    static const struct {
        int id;
        unsigned int textId;
    } buttons[] = {{IDC_ADD, IDS_ADD}, {IDC_REMOVE, IDS_REMOVE}, {IDC_TOGGLE, IDS_TOGGLE_LIST}};
    for (const auto &button : buttons)
        CreateControl(instance, window, "button", GetString(button.textId), ButtonStyle, button.id, font);
}

// Width and height of the main window's client area.
static SIZE ClientSize(void)
{
    RECT client = {0, 0, 0, 0};
    GetClientRect(WindowSlot(0, MainWindowSlot, NULL), &client);
    SIZE size = {client.right, client.bottom};
    return size;
}

void PlaceControl(HWND control, int xPercent, int yPercent, int widthPercent, int heightSpec, BOOL repaint)
{
    SIZE client = ClientSize();
    int height;
    if (heightSpec == TwoTextLines) {
        // A fresh device context carries the system font, not the control's.
        TEXTMETRICA metrics = {};
        HDC dc = GetDC(control);
        GetTextMetricsA(dc, &metrics);
        ReleaseDC(control, dc);
        height = 2 * (metrics.tmHeight + metrics.tmExternalLeading);
        // That font follows the screen's scale; on a monitor of another
        // scale the lines are scaled to it.
        height = MulDiv(height, GetMainWindowDpi(), GetWindowDpi(NULL));
    } else {
        height = heightSpec * client.cy / 100;
    }
    MoveWindow(control, xPercent * client.cx / 100, yPercent * client.cy / 100, widthPercent * client.cx / 100,
               height, repaint);
}

static void LayOutControls(void)
{
    static const struct {
        unsigned int slot;
        int x, y, width, height;
    } layout[] = {
        {IDC_LISTBOX, 5, 8, 52, 75},
        {IDC_ADD, 5, 86, 14, TwoTextLines},
        {IDC_REMOVE, 24, 86, 14, TwoTextLines},
        {IDC_TOGGLE, 43, 86, 14, TwoTextLines},
    };
    for (const auto &place : layout)
        PlaceControl(WindowSlot(0, place.slot, NULL), place.x, place.y, place.width, place.height, TRUE);
}

LRESULT OnSize(HINSTANCE, HWND window, UINT, WPARAM wParam, LPARAM)
{
    LayOutControls();
    // A minimised window leaves the screen for the tray.
    if (wParam == SIZE_MINIMIZED)
        ShowWindow(window, SW_HIDE);
    return 0;
}

void PercentRect(int topPercent, int leftPercent, int bottomPercent, int rightPercent, RECT *rect)
{
    SIZE client = ClientSize();
    rect->top = topPercent * client.cy / 100;
    rect->left = leftPercent * client.cx / 100;
    rect->bottom = bottomPercent * client.cy / 100;
    rect->right = rightPercent * client.cx / 100;
}

LRESULT OnDpiChanged(HINSTANCE, HWND window, UINT, WPARAM wParam, LPARAM lParam)
{
    SetMainWindowDpi(HIWORD(wParam));
    HFONT font = GetDpiFont(GetMainWindowDpi());
    static const unsigned int slots[] = {IDC_LISTBOX, IDC_ADD, IDC_REMOVE, IDC_TOGGLE};
    for (unsigned int slot : slots)
        SendMessageA(WindowSlot(0, slot, NULL), WM_SETFONT, (WPARAM)font, 0);
    const RECT *suggested = (const RECT *)lParam;
    if (suggested != NULL)
        SetWindowPos(window, NULL, suggested->left, suggested->top, suggested->right - suggested->left,
                     suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
    // A size that did not change brings no WM_SIZE, but the buttons' height
    // and the fonts did.
    LayOutControls();
    InvalidateRect(window, NULL, TRUE);
    return 0;
}
