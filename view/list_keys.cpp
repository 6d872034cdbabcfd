#include "view/list_keys.h"

#include "res/resource.h"
#include "core/format.h"
#include "view/context_menu.h"
#include "system/list_entry.h"
#include "core/type_ahead.h"

static WNDPROC listBoxProc;
static TypeAhead typeAhead;
static char typeAheadEntry[ListEntryBufferSize];

// The list box stays a Unicode window: subclassed through the ANSI call it
// would get every message converted, its items' texts included, through
// the system's buffers, which some versions size too small for long items.
void SubclassListBox(HWND listBox)
{
    listBoxProc = (WNDPROC)SetWindowLongPtrW(listBox, GWLP_WNDPROC, (LONG_PTR)ListKeysProc);
}

static int ControlHeld(void)
{
    return GetKeyState(VK_CONTROL) < 0;
}

// The keys the list box takes for itself, though the dialog manager of the
// main window's message loop would otherwise take them: Enter and Esc (the
// default button and Cancel), Ctrl+Tab (the next control).
static int IsOwnKey(const MSG *message)
{
    if (message->message == WM_KEYDOWN) {
        switch (message->wParam) {
        case VK_RETURN:
        case VK_ESCAPE:
        case VK_DELETE:
            return 1;
        case VK_TAB:
            return ControlHeld();
        }
        return 0;
    }
    return message->message == WM_CHAR && (message->wParam == '\r' || message->wParam == 0x1B);
}

static const char *TypeAheadEntryAt(int index, void *context)
{
    if (ReadListEntry((HWND)context, index, typeAheadEntry, sizeof typeAheadEntry) < 0)
        return NULL;
    return typeAheadEntry;
}

static void TypeAheadCharacter(HWND listBox, char character)
{
    int newSearch = AddTypeAheadChar(&typeAhead, character, GetTickCount());
    int count = (int)SendMessageA(listBox, LB_GETCOUNT, 0, 0);
    int current = (int)SendMessageA(listBox, LB_GETCURSEL, 0, 0);
    int found = FindTypeAheadMatch(count, current, newSearch, typeAhead.typed, TypeAheadEntryAt, listBox);
    if (found >= 0 && found != current)
        SendMessageA(listBox, LB_SETCURSEL, (WPARAM)found, 0);
}

LRESULT CALLBACK ListKeysProc(HWND listBox, UINT message, WPARAM wParam, LPARAM lParam)
{
    HWND window = GetParent(listBox);
    switch (message) {
    case WM_GETDLGCODE: {
        LRESULT code = CallWindowProcW(listBoxProc, listBox, message, wParam, lParam);
        const MSG *keyMessage = (const MSG *)lParam;
        if (keyMessage != NULL && IsOwnKey(keyMessage))
            code |= DLGC_WANTMESSAGE | DLGC_WANTALLKEYS | (keyMessage->wParam == VK_TAB ? DLGC_WANTTAB : 0);
        return code;
    }
    case WM_KEYDOWN:
        switch (wParam) {
        case VK_RETURN:
            SendMessageA(window, WM_COMMAND, CMD_COPY_SELECTED, 0);
            return 0;
        case VK_ESCAPE:
            SendMessageA(window, WM_CLOSE, 0, 0);
            return 0;
        case VK_DELETE:
            SendMessageA(window, WM_COMMAND, IDM_REMOVE, 0);
            // The main window gives the focus to itself when the dialog
            // ends; the keys go on working in the list.
            SetFocus(listBox);
            return 0;
        case VK_TAB:
            if (ControlHeld()) {
                SendMessageA(window, WM_COMMAND, IDM_TOGGLE, 0);
                return 0;
            }
            break;
        }
        // F2 and Ctrl+Up/Down: the editing keys of the context menu.
        if (HandleListEditKey(window, wParam))
            return 0;
        break;
    case WM_CHAR: {
        // Control characters (Enter, Esc, Ctrl+letter) search for nothing;
        // the entries are in the ANSI code page, and so is what is searched.
        WCHAR wide = (WCHAR)wParam;
        char character[4];
        if (wide >= L' ' &&
            WideCharToMultiByte(CP_ACP, 0, &wide, 1, character, sizeof character, NULL, NULL) == 1)
            TypeAheadCharacter(listBox, character[0]);
        return 0;
    }
    }
    return CallWindowProcW(listBoxProc, listBox, message, wParam, lParam);
}
