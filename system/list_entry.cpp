#include "system/list_entry.h"

#include <string.h>

#include "core/format.h"

int ReadListEntryW(HWND listBox, int index, WCHAR *buffer, size_t units)
{
    if (buffer == NULL || units == 0)
        return -1;
    buffer[0] = 0;
    if (index < 0)
        return -1;
    LRESULT length = SendMessageW(listBox, LB_GETTEXTLEN, (WPARAM)index, 0);
    if (length == LB_ERR || length < 0 || (size_t)length >= units)
        return -1;
    length = SendMessageW(listBox, LB_GETTEXT, (WPARAM)index, (LPARAM)buffer);
    if (length == LB_ERR || length < 0 || (size_t)length >= units) {
        buffer[0] = 0;
        return -1;
    }
    buffer[length] = 0;
    return (int)length;
}

int AnsiFormOf(const WCHAR *text, int units, char *buffer, size_t size, int *exact)
{
    if (exact != NULL)
        *exact = 1;
    if (buffer == NULL || size == 0)
        return -1;
    buffer[0] = '\0';
    if (units <= 0)
        return units == 0 ? 0 : -1;
    // One conversion straight into the caller's buffer, which keeps a byte
    // for the terminating zero; a text that does not fit fails whole.
    int room = size - 1 > (size_t)0x7FFFFFFF ? 0x7FFFFFFF : (int)(size - 1);
    int length = room > 0 ? WideCharToMultiByte(CP_ACP, 0, text, units, buffer, room, NULL, NULL) : 0;
    if (length <= 0) {
        buffer[0] = '\0';
        return -1;
    }
    buffer[length] = '\0';
    if (exact != NULL) {
        // Replacements and look-alikes show only on the way back.
        static WCHAR back[ListEntryBufferSize];
        int backUnits = MultiByteToWideChar(CP_ACP, 0, buffer, length, back, ARRAYSIZE(back));
        *exact = backUnits == units && memcmp(back, text, (size_t)units * sizeof(WCHAR)) == 0;
    }
    return length;
}

// The list box keeps its items as Unicode. Reading them through the ANSI
// LB_GETTEXT makes the system convert into a buffer of its own, which some
// versions of the common controls size too small for long items; here the
// conversion happens in buffers the program sized for the longest entry.
int ReadListEntry(HWND listBox, int index, char *buffer, size_t size)
{
    if (buffer == NULL || size == 0)
        return -1;
    buffer[0] = '\0';
    static WCHAR wide[ListEntryBufferSize];
    int units = ReadListEntryW(listBox, index, wide, ARRAYSIZE(wide));
    return units < 0 ? -1 : AnsiFormOf(wide, units, buffer, size, NULL);
}

LRESULT AddListEntryW(HWND listBox, const WCHAR *text)
{
    return SendMessageW(listBox, LB_ADDSTRING, 0, (LPARAM)text);
}

int ListBoxSorts(HWND listBox)
{
    return (GetWindowLongA(listBox, GWL_STYLE) & LBS_SORT) != 0;
}

int CanMoveEntry(HWND listBox, int direction)
{
    LRESULT selected = SendMessageA(listBox, LB_GETCURSEL, 0, 0);
    LRESULT count = SendMessageA(listBox, LB_GETCOUNT, 0, 0);
    if (ListBoxSorts(listBox) || selected == LB_ERR || count == LB_ERR)
        return 0;
    LRESULT target = selected + direction;
    return target >= 0 && target < count;
}
