#include "view/list_keys.h"

#include "res/resource.h"
#include "core/format.h"
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

enum { AnyControl = -1 };

// Every key of the list box: the key, whether Ctrl must be held (1), must
// not be (0) or does not matter, what the main window is sent, whether the
// dialog manager of the main window's message loop would otherwise take the
// key (Enter and Esc for the default button and Cancel, Ctrl+Tab for the
// next control), and whether the list keeps the focus afterwards.
struct ListKeyRow {
    WPARAM key;
    int control;
    UINT message;
    WPARAM command;
    int fromDialogManager;
    int keepFocus;
};

static const ListKeyRow ListKeyTable[] = {
    {VK_RETURN, AnyControl, WM_COMMAND, CMD_COPY_SELECTED, 1, 0},
    {VK_ESCAPE, AnyControl, WM_CLOSE, 0, 1, 0},
    // The main window gives the focus to itself when the Remove dialog
    // ends; the keys go on working in the list.
    {VK_DELETE, AnyControl, WM_COMMAND, IDM_REMOVE, 1, 1},
    {VK_TAB, 1, WM_COMMAND, IDM_TOGGLE, 1, 0},
    // The context menu's editing keys.
    {VK_F2, 0, WM_COMMAND, IDM_ENTRY_EDIT, 0, 0},
    {VK_UP, 1, WM_COMMAND, IDM_ENTRY_MOVE_UP, 0, 0},
    {VK_DOWN, 1, WM_COMMAND, IDM_ENTRY_MOVE_DOWN, 0, 0},
};

static const ListKeyRow *FindListKey(WPARAM key)
{
    int control = GetKeyState(VK_CONTROL) < 0;
    for (const ListKeyRow &row : ListKeyTable) {
        if (row.key == key && (row.control == AnyControl || row.control == control))
            return &row;
    }
    return NULL;
}

// The keys the list box takes for itself from the dialog manager.
static int IsOwnKey(const MSG *message)
{
    if (message->message == WM_KEYDOWN) {
        const ListKeyRow *row = FindListKey(message->wParam);
        return row != NULL && row->fromDialogManager;
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
    case WM_KEYDOWN: {
        const ListKeyRow *row = FindListKey(wParam);
        if (row == NULL)
            break;
        SendMessageA(window, row->message, row->command, 0);
        if (row->keepFocus)
            SetFocus(listBox);
        return 0;
    }
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
