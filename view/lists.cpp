#include "view/lists.h"

#include <stdio.h>

#include "system/notices.h"
#include "system/paths.h"
#include "system/string_cache.h"
#include "system/window_slots.h"
#include "res/resource.h"
#include "store/safe_write.h"
#include "store/settings.h"
#include "view/save_settings.h"
#include "system/list_entry.h"
#include "store/list_store.h"

static char listFilePath[PathBufferSize];

// Set while the list box does not show what the active list's file holds
// because the file could not be read; the file is then never written.
static int activeListUnread;
static unsigned long unreadError;
// Per list number: told that its file could not be read, and its damaged
// file kept aside; both hold until the file is next read or written whole.
static int unreadTold[4];
static int damageKept[4];
// Per list number: told that an entry too long for its file was left out.
static int leftOutTold[4];
// Per list number: its damaged companion told (and kept aside), once.
static int companionTold[4];

static int IsListNumber(uint32_t list)
{
    return list >= 1 && list <= 3;
}

const char *ListFilePath(void)
{
    return ListFilePathOf(GetActiveList());
}

const char *ListFilePathOf(uint32_t list)
{
    const char *folder = DataFolder();
    if (folder == NULL || !FormatPath(listFilePath, sizeof listFilePath, "%s%s%d%s", folder,
                                      GetString(IDS_PRODUCT), (int)list, ".dat"))
        return NULL;
    return listFilePath;
}

// The size of an open file, or -1.
static long FileSize(FILE *file)
{
    if (fseek(file, 0, SEEK_END) != 0)
        return -1;
    long size = ftell(file);
    return fseek(file, 0, SEEK_SET) == 0 ? size : -1;
}

// A file that ends in damage keeps its readable entries on screen; before
// anything writes over it, the whole file is kept aside and the user told.
// When it cannot be kept, the list is treated as unread and never written.
static void KeepDamagedList(uint32_t list, const char *path, int entries)
{
    if (damageKept[list])
        return;
    char kept[PathBufferSize];
    int keptAside = KeepDamagedCopy(path, kept, sizeof kept);
    if (keptAside != 0) {
        damageKept[list] = 1;
        // The same damage already kept was told when it was kept.
        if (keptAside == 1)
            ShowNotice(MB_ICONWARNING, IDS_LIST_DAMAGED, (int)list, entries, kept);
        return;
    }
    unsigned long error = GetLastError();
    activeListUnread = 1;
    unreadError = error;
    if (!unreadTold[list]) {
        unreadTold[list] = 1;
        char reason[512];
        ErrorText(error, reason, sizeof reason);
        ShowNotice(MB_ICONERROR, IDS_LIST_UNREADABLE, (int)list, reason);
    }
}

static int AddLoadedEntry(void *context, const WCHAR *text, int)
{
    AddListEntryW((HWND)context, text);
    return 1;
}

// A damaged companion is kept aside and told once; its entries show the
// list file's text, and the next save writes a new one. One that cannot be
// read leaves the list unwritten, since a save would drop its texts.
static void NoteCompanion(uint32_t list, const char *listPath, int companion, unsigned long error)
{
    if (companion == CompanionUnreadable) {
        activeListUnread = 1;
        if (!unreadTold[list]) {
            unreadTold[list] = 1;
            char reason[512];
            ErrorText(error, reason, sizeof reason);
            ShowNotice(MB_ICONERROR, IDS_LIST_UNREADABLE, (int)list, reason);
        }
        return;
    }
    if (companion != CompanionDamaged) {
        companionTold[list] = 0;
        return;
    }
    if (companionTold[list])
        return;
    companionTold[list] = 1;
    char path[PathBufferSize], kept[PathBufferSize];
    if (CompanionPathOf(listPath, path, sizeof path) && KeepDamagedCopy(path, kept, sizeof kept)) {
        ShowNotice(MB_ICONWARNING, IDS_COMPANION_DAMAGED, (int)list, kept);
        return;
    }
    char reason[512];
    ErrorText(GetLastError(), reason, sizeof reason);
    ShowNotice(MB_ICONWARNING, IDS_COMPANION_NOT_KEPT, (int)list, reason);
}

LRESULT LoadListCommand(HINSTANCE, HWND, UINT, WPARAM, LPARAM)
{
    HWND listBox = WindowSlot(0, IDC_LISTBOX, NULL);
    uint32_t list = GetActiveList();
    // Entries whose save failed exist only in the list box: the reload
    // waits until they are in the file, and only the remembered entry is
    // selected.
    if (SaveFailed((int)list)) {
        SendMessageA(listBox, LB_SETCURSEL, (WPARAM)GetActiveListSelection(), 0);
        return 0;
    }
    const char *path = ListFilePath();
    unsigned long openError = 0;
    FILE *file = OpenHeldFile(path, HeldFileWaitMs, &openError);
    int missing = path != NULL && file == NULL && (openError == ERROR_FILE_NOT_FOUND || openError == ERROR_PATH_NOT_FOUND);

    // Another list's entries must never stay on screen under this list's
    // name, where the next save would write them into this list's file.
    SendMessageA(listBox, LB_RESETCONTENT, 0, 0);
    if (file == NULL) {
        activeListUnread = !missing;
        unreadError = openError;
        if (activeListUnread && IsListNumber(list) && !unreadTold[list]) {
            unreadTold[list] = 1;
            char reason[512];
            ErrorText(openError, reason, sizeof reason);
            ShowNotice(MB_ICONERROR, IDS_LIST_UNREADABLE, (int)list, reason);
        }
        return 0;
    }
    activeListUnread = 0;
    if (IsListNumber(list))
        unreadTold[list] = 0;
    long size = FileSize(file);
    long endOfGood = 0;
    int entries = 0;
    // A big list fills faster when the list box neither repaints nor grows
    // its storage entry by entry: it is told the file's size up front (the
    // text bytes cannot exceed it; entries are guessed at 32 bytes each).
    SendMessageA(listBox, WM_SETREDRAW, FALSE, 0);
    if (size > 0)
        SendMessageA(listBox, LB_INITSTORAGE, (WPARAM)(size / 32 + 1), (LPARAM)size);
    int companion = CompanionAbsent;
    unsigned long companionError = 0;
    entries = ReadListEntries(file, path, AddLoadedEntry, listBox, &endOfGood, &companion, &companionError);
    SendMessageA(listBox, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(listBox, NULL, TRUE);
    SendMessageA(listBox, LB_SETCURSEL, (WPARAM)GetActiveListSelection(), 0);
    fclose(file);
    if (IsListNumber(list)) {
        if (endOfGood != size)
            KeepDamagedList(list, path, entries);
        else
            damageKept[list] = 0;
        NoteCompanion(list, path, companion, companionError);
    }
    return 0;
}

static int SavedEntryAt(void *context, int index, const WCHAR **text)
{
    static WCHAR entry[ListEntryBufferSize];
    *text = entry;
    return ReadListEntryW((HWND)context, index, entry, ARRAYSIZE(entry));
}

int SaveActiveList(void)
{
    HWND listBox = WindowSlot(0, IDC_LISTBOX, NULL);
    LRESULT count = SendMessageA(listBox, LB_GETCOUNT, 0, 0);
    uint32_t list = GetActiveList();
    // Only the three lists have files; an unread file is never written over.
    if (count == LB_ERR || activeListUnread || !IsListNumber(list))
        return 0;

    int leftOut = -1;
    int saved = WriteListEntries(ListFilePath(), (int)count, SavedEntryAt, listBox, &leftOut);
    if (saved)
        damageKept[list] = 0;
    NoteSaveOutcome((int)list, saved, saved ? 0 : GetSafeWriteError());
    // An entry left out of the file is gone at the next start: the user is
    // told once, while it is still on screen to be shortened.
    if (saved && leftOut >= 0 && !leftOutTold[list]) {
        leftOutTold[list] = 1;
        ShowNotice(MB_ICONWARNING, IDS_ENTRY_LEFT_OUT, (int)leftOut + 1, (int)list, (int)ListEntryWriteLimit);
    } else if (saved && leftOut < 0) {
        leftOutTold[list] = 0;
    }
    return saved;
}

int ActiveListChangeable(void)
{
    if (!activeListUnread)
        return 1;
    // The program that held the file may have let go of it. The list box
    // holds nothing of the user's while the file is unread, so a reload
    // loses nothing.
    LoadListCommand(NULL, NULL, WM_COMMAND, CMD_LOAD_LIST, 0);
    if (!activeListUnread)
        return 1;
    char reason[512];
    ErrorText(unreadError, reason, sizeof reason);
    ShowNotice(MB_ICONERROR, IDS_LIST_NOT_CHANGED, (int)GetActiveList(), reason);
    return 0;
}

LRESULT SaveListCommand(HINSTANCE, HWND, UINT, WPARAM, LPARAM)
{
    return SaveActiveList();
}

void RetryFailedSaves(void)
{
    if (SaveFailed((int)GetActiveList()))
        SaveActiveList();
    if (SaveFailed(SaveTargetSettings))
        SaveSettings();
}

static int UnsavedPath(uint32_t list, int place, char *path, size_t size)
{
    return UnsavedCopyPath(ListFilePathOf(list), place, path, size);
}

int KeepUnsavedEntries(char *kept, size_t size)
{
    uint32_t list = GetActiveList();
    if (!IsListNumber(list) || !SaveFailed((int)list))
        return 0;
    HWND listBox = WindowSlot(0, IDC_LISTBOX, NULL);
    LRESULT count = SendMessageA(listBox, LB_GETCOUNT, 0, 0);
    for (int place = 0; place < UnsavedPlaces && count != LB_ERR; place++) {
        int leftOut = -1;
        if (UnsavedPath(list, place, kept, size) &&
            WriteListEntries(kept, (int)count, SavedEntryAt, listBox, &leftOut))
            return 1;
    }
    return -1;
}

// 1 when `path` is a whole list file.
static int WholeListFile(const char *path)
{
    FILE *file = fopen(path, "rb");
    if (file == NULL)
        return 0;
    long size = FileSize(file);
    long endOfGood = 0;
    static char entry[ListEntryBufferSize];
    while (ReadListRecord(file, entry))
        endOfGood = ftell(file);
    fclose(file);
    return size >= 0 && endOfGood == size;
}

// Replaces `target` with a copy of `source`, crash-safely; 1 when done.
static int CopyFileSafely(const char *source, const char *target)
{
    FILE *file = fopen(source, "rb");
    SafeWrite write;
    int copied = file != NULL && BeginSafeWrite(&write, target);
    if (copied) {
        static unsigned char bytes[16384];
        size_t length;
        while ((length = fread(bytes, 1, sizeof bytes, file)) > 0)
            SafeWriteBytes(&write, bytes, length);
        if (ferror(file))
            write.failed = 1;
        copied = CommitSafeWrite(&write);
    }
    if (file != NULL)
        fclose(file);
    return copied;
}

void OfferKeptEntries(void)
{
    for (uint32_t list = 1; list <= 3; list++) {
        for (int place = 0; place < UnsavedPlaces; place++) {
            char kept[PathBufferSize];
            if (!UnsavedPath(list, place, kept, sizeof kept) || GetFileAttributesA(kept) == INVALID_FILE_ATTRIBUTES)
                continue;
            if (ShowNotice(MB_YESNO | MB_ICONWARNING, IDS_KEPT_OFFER, (int)list, kept) != IDYES)
                continue;
            // The kept file is the whole list as it was on screen at the end:
            // it takes the list file's place, crash-safely, and then goes.
            const char *listPath = ListFilePathOf(list);
            char target[PathBufferSize];
            int taken = listPath != NULL && FormatPath(target, sizeof target, "%s", listPath) && WholeListFile(kept);
            unsigned long error = taken ? 0 : (unsigned long)ERROR_FILE_CORRUPT;
            // Its Unicode texts, where it has them, go first, as at every
            // save: a stop between the two leaves the list file beside
            // records that cannot attach to the wrong entry.
            char keptCompanion[PathBufferSize], targetCompanion[PathBufferSize];
            int withCompanion = taken && CompanionPathOf(kept, keptCompanion, sizeof keptCompanion) &&
                                CompanionPathOf(target, targetCompanion, sizeof targetCompanion) &&
                                GetFileAttributesA(keptCompanion) != INVALID_FILE_ATTRIBUTES;
            if (withCompanion)
                taken = CopyFileSafely(keptCompanion, targetCompanion);
            if (taken)
                taken = CopyFileSafely(kept, target);
            if (!taken && error == 0)
                error = GetSafeWriteError();
            if (!taken) {
                char reason[512];
                ErrorText(error != 0 ? error : (unsigned long)ERROR_READ_FAULT, reason, sizeof reason);
                ShowNotice(MB_ICONERROR, IDS_KEPT_NOT_TAKEN, (int)list, reason, kept);
                continue;
            }
            DeleteFileA(kept);
            // A kept list without Unicode texts needs none from the old file.
            if (withCompanion)
                DeleteFileA(keptCompanion);
            else if (CompanionPathOf(target, targetCompanion, sizeof targetCompanion))
                DeleteFileA(targetCompanion);
            if (list == GetActiveList())
                LoadListCommand(NULL, NULL, WM_COMMAND, CMD_LOAD_LIST, 0);
        }
    }
}

LRESULT ToggleListCommand(HINSTANCE, HWND window, UINT, WPARAM, LPARAM)
{
    HWND listBox = WindowSlot(0, IDC_LISTBOX, NULL);
    SetActiveListSelection((int32_t)SendMessageA(listBox, LB_GETCURSEL, 0, 0));
    // Entries whose save failed are only on screen; the list stays until
    // they are in its file.
    uint32_t current = GetActiveList();
    if (SaveFailed((int)current) && !SaveActiveList()) {
        char reason[512];
        ErrorText(GetSafeWriteError(), reason, sizeof reason);
        ShowNotice(MB_ICONERROR, IDS_TOGGLE_NOT_SAVED, (int)current, reason);
        return 0;
    }
    SetActiveList(NextList(current));
    SendMessageA(window, WM_COMMAND, CMD_LOAD_LIST, 0);
    SaveSettings();
    return 0;
}
