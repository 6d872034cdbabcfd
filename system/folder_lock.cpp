#include "system/folder_lock.h"

#include "core/rules.h"
#include "system/string_cache.h"
#include "res/resource.h"

// Between two tries of a lock another copy holds.
enum { LockRetryMs = 50 };

// Locks the first byte of the open file. Returns 1 when locked, 0 when
// another handle holds it, -1 when the file takes no lock at all.
static int LockFirstByte(HANDLE file)
{
    OVERLAPPED at = {};
    if (LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at))
        return 1;
    return GetLastError() == ERROR_LOCK_VIOLATION ? 0 : -1;
}

int HoldDataFolder(const char *folder, unsigned long waitMs, HANDLE *held)
{
    *held = NULL;
    const char *product = GetString(IDS_PRODUCT);
    char path[PathBufferSize];
    if (folder == NULL || product == NULL)
        return 1;
    if (!FormatPath(path, sizeof path, "%s%s.lock", folder, product))
        return 1;

    // Every kind of sharing, so that the lock alone decides: a backup tool
    // may read the file, and the setup's removal of the data folder may
    // delete it.
    HANDLE file = CreateFileA(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              NULL, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return 1;
    DWORD start = GetTickCount();
    for (;;) {
        int locked = LockFirstByte(file);
        if (locked != 0) {
            if (locked > 0)
                *held = file;
            else
                CloseHandle(file);
            return 1;
        }
        if (GetTickCount() - start >= waitMs)
            break;
        Sleep(LockRetryMs);
    }
    CloseHandle(file);
    return 0;
}
