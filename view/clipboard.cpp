#include "view/clipboard.h"

#include <string.h>

#include "core/format.h"
#include "store/settings.h"
#include "system/notices.h"
#include "res/resource.h"
#include "system/list_entry.h"

static int PlaceOnClipboard(HWND owner, const char *text, size_t length, const WCHAR *wide, int units,
                            int privateCopy);

// The last private copy: the window that owns it and the clipboard's
// sequence number right after it was made.
static HWND privateOwner;
static DWORD privateSequence;
static int privatePending;
static int clearRetriesLeft;
// Why the last copy failed, 0 after one that worked.
static unsigned long copyError;

unsigned long GetCopyError(void)
{
    return copyError;
}

// Marks honoured by Windows' clipboard history and cloud clipboard, and by
// clipboard managers.
static const char ExcludeFormatName[] = "ExcludeClipboardContentFromMonitorProcessing";
static const char HistoryFormatName[] = "CanIncludeInClipboardHistory";
static const char CloudFormatName[] = "CanUploadToCloudClipboard";
static const char ViewerIgnoreFormatName[] = "Clipboard Viewer Ignore";

// Another program may hold the clipboard for a moment; a few short tries,
// never a wait without end.
static int OpenClipboardRetrying(HWND owner)
{
    for (int attempt = 0; attempt < ClipboardOpenTries; attempt++) {
        if (attempt > 0)
            Sleep(ClipboardRetryMs);
        if (OpenClipboard(owner))
            return 1;
    }
    return 0;
}

static HGLOBAL BlockOf(const void *bytes, size_t size)
{
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT | GMEM_DDESHARE, size);
    if (block == NULL)
        return NULL;
    void *copy = GlobalLock(block);
    if (copy == NULL) {
        GlobalFree(block);
        return NULL;
    }
    if (bytes != NULL)
        memcpy(copy, bytes, size);
    GlobalUnlock(block);
    return block;
}

// The text as UTF-16 with its terminating zero, in a clipboard block.
static HGLOBAL UnicodeBlockOf(const char *text, size_t length)
{
    int units = 0;
    if (length > 0) {
        units = MultiByteToWideChar(CP_ACP, 0, text, (int)length, NULL, 0);
        if (units <= 0)
            return NULL;
    }
    HGLOBAL block = BlockOf(NULL, ((size_t)units + 1) * sizeof(WCHAR));
    if (block == NULL)
        return NULL;
    WCHAR *wide = (WCHAR *)GlobalLock(block);
    if (wide == NULL) {
        GlobalFree(block);
        return NULL;
    }
    int written = units > 0 ? MultiByteToWideChar(CP_ACP, 0, text, (int)length, wide, units) : 0;
    wide[units] = 0;
    GlobalUnlock(block);
    if (written != units) {
        GlobalFree(block);
        return NULL;
    }
    return block;
}

// `units` WCHARs of text and a terminating zero, in a clipboard block.
static HGLOBAL WideBlockOf(const WCHAR *text, int units)
{
    HGLOBAL block = BlockOf(NULL, ((size_t)units + 1) * sizeof(WCHAR));
    WCHAR *wide = block != NULL ? (WCHAR *)GlobalLock(block) : NULL;
    if (wide == NULL) {
        if (block != NULL)
            GlobalFree(block);
        return NULL;
    }
    if (units > 0)
        memcpy(wide, text, (size_t)units * sizeof(WCHAR));
    wide[units] = 0;
    GlobalUnlock(block);
    return block;
}

enum { MarkCount = 4 };

// The four marks of a private copy: two empty ones and two DWORD zeros.
static int MakeMarks(UINT formats[MarkCount], HGLOBAL blocks[MarkCount])
{
    static const char *const names[MarkCount] = {ExcludeFormatName, HistoryFormatName, CloudFormatName,
                                                 ViewerIgnoreFormatName};
    static const DWORD zero = 0;
    for (int i = 0; i < MarkCount; i++) {
        formats[i] = RegisterClipboardFormatA(names[i]);
        int dwordMark = names[i] == HistoryFormatName || names[i] == CloudFormatName;
        // An empty mark is one zero byte: some readers refuse a block of no bytes.
        blocks[i] = formats[i] != 0 ? BlockOf(&zero, dwordMark ? sizeof zero : 1) : NULL;
        if (blocks[i] == NULL)
            return 0;
    }
    return 1;
}

int CopyTextToClipboard(HWND owner, const char *text, size_t length)
{
    return CopyEntryToClipboard(owner, text, length, 0);
}

int CopyEntryToClipboard(HWND owner, const char *text, size_t length, int privateCopy)
{
    return PlaceOnClipboard(owner, text, length, NULL, 0, privateCopy);
}

int CopyListEntryToClipboardW(HWND owner, int32_t list, const WCHAR *text, int units)
{
    static char ansi[ListEntryBufferSize];
    int length = AnsiFormOf(text, units, ansi, sizeof ansi, NULL);
    if (length < 0) {
        copyError = ERROR_INVALID_DATA;
        return 0;
    }
    return PlaceOnClipboard(owner, ansi, (size_t)length, text, units, GetListPrivate(list) == 1);
}

// The copy itself: CF_TEXT from `text`, CF_UNICODETEXT from `wide` when
// given, otherwise converted from `text`.
static int PlaceOnClipboard(HWND owner, const char *text, size_t length, const WCHAR *wide, int units,
                            int privateCopy)
{
    enum { TextSlot, UnicodeSlot, FirstMarkSlot, SlotCount = FirstMarkSlot + MarkCount };
    UINT formats[SlotCount] = {CF_TEXT, CF_UNICODETEXT};
    HGLOBAL blocks[SlotCount] = {};
    int count = privateCopy ? SlotCount : FirstMarkSlot;

    // Every block is made before the clipboard is opened, so a failure
    // leaves the clipboard as it was.
    int made = 0;
    blocks[TextSlot] = BlockOf(NULL, length + 1);
    if (blocks[TextSlot] != NULL) {
        char *copy = (char *)GlobalLock(blocks[TextSlot]);
        if (copy != NULL) {
            memcpy(copy, text, length);
            copy[length] = '\0';
            GlobalUnlock(blocks[TextSlot]);
            blocks[UnicodeSlot] = wide != NULL ? WideBlockOf(wide, units) : UnicodeBlockOf(text, length);
            made = blocks[UnicodeSlot] != NULL &&
                   (!privateCopy || MakeMarks(formats + FirstMarkSlot, blocks + FirstMarkSlot));
        }
    }

    int taken = 0;
    copyError = !made ? (unsigned long)ERROR_NOT_ENOUGH_MEMORY : 0;
    if (made && !OpenClipboardRetrying(owner))
        copyError = ERROR_BUSY;
    else if (made) {
        EmptyClipboard();
        // Once the clipboard holds a block it owns it; until then it is ours.
        for (taken = 0; taken < count; taken++) {
            if (SetClipboardData(formats[taken], blocks[taken]) == NULL) {
                copyError = GetLastError() != 0 ? GetLastError() : (unsigned long)ERROR_NOT_ENOUGH_MEMORY;
                break;
            }
            blocks[taken] = NULL;
        }
        // A copy that lacks a format is taken back whole: a private copy
        // without its marks would land in the history.
        if (taken < count)
            EmptyClipboard();
        CloseClipboard();
    }
    for (int i = 0; i < count; i++) {
        if (blocks[i] != NULL)
            GlobalFree(blocks[i]);
    }
    if (taken < count)
        return 0;
    copyError = 0;

    // Whatever this copy replaced, a private copy before it is gone now.
    if (privatePending && privateOwner != NULL)
        KillTimer(privateOwner, PrivateClearTimerId);
    privatePending = 0;
    if (privateCopy) {
        privateOwner = owner;
        privateSequence = GetClipboardSequenceNumber();
        privatePending = 1;
        clearRetriesLeft = PrivateClearRetries;
        uint32_t seconds = GetPrivateClearSeconds();
        if (seconds > 0 && owner != NULL)
            SetTimer(owner, PrivateClearTimerId, seconds * 1000u, NULL);
    }
    return 1;
}

int CopyListEntryToClipboard(HWND owner, int32_t list, const char *text, size_t length)
{
    return CopyEntryToClipboard(owner, text, length, GetListPrivate(list) == 1);
}

int PrivateCopyPending(void)
{
    return privatePending;
}

int ClearPrivateCopy(void)
{
    if (!privatePending)
        return 0;
    // Anything copied since, by the user or by another program, is theirs.
    if (GetClipboardSequenceNumber() != privateSequence) {
        privatePending = 0;
        return 0;
    }
    if (!OpenClipboardRetrying(privateOwner))
        return 0;
    int cleared = 0;
    // Checked again while the clipboard is open, so nothing can come between.
    if (GetClipboardSequenceNumber() == privateSequence)
        cleared = EmptyClipboard() != 0;
    CloseClipboard();
    privatePending = 0;
    return cleared;
}

int ClearPrivateCopyAtExit(void)
{
    // A user who chose never to have private copies cleared keeps them.
    if (GetPrivateClearSeconds() == 0) {
        privatePending = 0;
        return 0;
    }
    return ClearPrivateCopy();
}

LRESULT PrivateClearTimer(HINSTANCE, HWND window, UINT, WPARAM, LPARAM)
{
    KillTimer(window, PrivateClearTimerId);
    ClearPrivateCopy();
    if (privatePending && clearRetriesLeft > 0) {
        clearRetriesLeft--;
        SetTimer(window, PrivateClearTimerId, PrivateClearRetryMs, NULL);
    } else if (privatePending) {
        // Given up while another program keeps the clipboard: the private
        // entry is still on it, and the user must know.
        privatePending = 0;
        ShowNotice(MB_ICONWARNING, IDS_PRIVATE_NOT_CLEARED);
    }
    return 0;
}
