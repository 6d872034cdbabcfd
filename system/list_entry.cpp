#include "system/list_entry.h"

#include "core/format.h"

// The list box keeps its items as Unicode. Reading them through the ANSI
// LB_GETTEXT makes the system convert into a buffer of its own, which some
// versions of the common controls size too small for long items; here the
// conversion happens in buffers the program sized for the longest entry.
int ReadListEntry(HWND listBox, int index, char *buffer, size_t size)
{
    if (buffer == NULL || size == 0)
        return -1;
    buffer[0] = '\0';
    if (index < 0)
        return -1;
    LRESULT wideLength = SendMessageW(listBox, LB_GETTEXTLEN, (WPARAM)index, 0);
    // An ANSI text of n bytes never needs more than n UTF-16 units.
    static WCHAR wide[ListEntryBufferSize];
    if (wideLength == LB_ERR || wideLength < 0 || wideLength >= (LRESULT)ARRAYSIZE(wide))
        return -1;
    wideLength = SendMessageW(listBox, LB_GETTEXT, (WPARAM)index, (LPARAM)wide);
    if (wideLength == LB_ERR || wideLength < 0 || wideLength >= (LRESULT)ARRAYSIZE(wide))
        return -1;
    if (wideLength == 0)
        return 0;
    // One conversion straight into the caller's buffer, which keeps a byte
    // for the terminating zero; a text that does not fit fails whole.
    int room = size - 1 > (size_t)0x7FFFFFFF ? 0x7FFFFFFF : (int)(size - 1);
    int length = room > 0 ? WideCharToMultiByte(CP_ACP, 0, wide, (int)wideLength, buffer, room, NULL, NULL) : 0;
    if (length <= 0) {
        buffer[0] = '\0';
        return -1;
    }
    buffer[length] = '\0';
    return length;
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
