#include "view/list_entry.h"

#include "store/format.h"

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
    int length = WideCharToMultiByte(CP_ACP, 0, wide, (int)wideLength, NULL, 0, NULL, NULL);
    if (length <= 0 || (size_t)length >= size)
        return -1;
    length = WideCharToMultiByte(CP_ACP, 0, wide, (int)wideLength, buffer, length, NULL, NULL);
    if (length <= 0)
        return -1;
    buffer[length] = '\0';
    return length;
}
