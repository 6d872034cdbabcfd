#include "store/safe_write.h"

#include <windows.h>
#include <errno.h>
#include <fcntl.h>
#include <stdint.h>
#include <io.h>
#include <string.h>

enum { ReplaceAttempts = 5, ReplaceRetryDelayMs = 40 };

static int faultStep;
static unsigned long lastError;

// Counts one file operation; true when the test asked for this one to fail.
// An injected failure reads as a full disk, the commonest real one.
static int StepFails(void)
{
    if (faultStep <= 0)
        return 0;
    if (--faultStep != 0)
        return 0;
    SetLastError(ERROR_DISK_FULL);
    return 1;
}

// Remembers why the save in progress failed; the first reason counts.
static void NoteFailure(void)
{
    if (lastError == 0)
        lastError = GetLastError() != 0 ? GetLastError() : (unsigned long)ERROR_WRITE_FAULT;
}

unsigned long GetSafeWriteError(void)
{
    return lastError;
}

void SetSafeWriteFaultStep(int step)
{
    faultStep = step;
}

int BeginSafeWrite(SafeWrite *write, const char *path)
{
    memset(write, 0, sizeof *write);
    lastError = 0;
    if (path == NULL || !FormatPath(write->targetPath, sizeof write->targetPath, "%s", path) ||
        !TempPathFor(write->tempPath, sizeof write->tempPath, path)) {
        lastError = ERROR_FILENAME_EXCED_RANGE;
        return 0;
    }
    SetLastError(0);
    write->file = StepFails() ? NULL : fopen(write->tempPath, "wb");
    if (write->file == NULL)
        NoteFailure();
    return write->file != NULL;
}

int BeginSafeWriteNew(SafeWrite *write, const char *path)
{
    enum { TempNameTries = 100 };
    memset(write, 0, sizeof *write);
    lastError = 0;
    if (path == NULL || !FormatPath(write->targetPath, sizeof write->targetPath, "%s", path)) {
        lastError = ERROR_FILENAME_EXCED_RANGE;
        return 0;
    }
    for (int n = 0; n < TempNameTries; n++) {
        int fits = n == 0 ? TempPathFor(write->tempPath, sizeof write->tempPath, path)
                          : FormatPath(write->tempPath, sizeof write->tempPath, "%s.%d.tmp", path, n);
        if (!fits) {
            lastError = ERROR_FILENAME_EXCED_RANGE;
            return 0;
        }
        if (StepFails()) {
            NoteFailure();
            return 0;
        }
        HANDLE handle = CreateFileA(write->tempPath, GENERIC_WRITE, 0, NULL, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, NULL);
        if (handle == INVALID_HANDLE_VALUE) {
            DWORD error = GetLastError();
            if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS)
                continue;
            NoteFailure();
            return 0;
        }
        int descriptor = _open_osfhandle((intptr_t)handle, _O_BINARY | _O_WRONLY);
        write->file = descriptor >= 0 ? _fdopen(descriptor, "wb") : NULL;
        if (write->file == NULL) {
            if (descriptor >= 0)
                _close(descriptor);
            else
                CloseHandle(handle);
            DeleteFileA(write->tempPath);
            NoteFailure();
            return 0;
        }
        return 1;
    }
    lastError = ERROR_FILE_EXISTS;
    return 0;
}

int SafeWriteBytes(SafeWrite *write, const void *bytes, size_t length)
{
    if (write->failed || write->file == NULL)
        return 0;
    if (StepFails() || fwrite(bytes, 1, length, write->file) != length) {
        NoteFailure();
        write->failed = 1;
    }
    return !write->failed;
}

// Virus scanners and indexers hold files open for a moment; a replace that
// meets them is tried again briefly.
static int ReplaceTarget(const char *tempPath, const char *targetPath)
{
    for (int attempt = 0; attempt < ReplaceAttempts; attempt++) {
        if (attempt > 0)
            Sleep(ReplaceRetryDelayMs);
        if (StepFails()) {
            NoteFailure();
            return 0;
        }
        if (MoveFileExA(tempPath, targetPath, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return 1;
        DWORD error = GetLastError();
        if (error != ERROR_SHARING_VIOLATION && error != ERROR_ACCESS_DENIED && error != ERROR_LOCK_VIOLATION)
            break;
    }
    NoteFailure();
    return 0;
}

int CommitSafeWrite(SafeWrite *write)
{
    if (write->file == NULL) {
        if (lastError == 0)
            lastError = ERROR_WRITE_FAULT;
        return 0;
    }
    int ok = !write->failed;
    SetLastError(0);
    ok = ok && !StepFails() && fflush(write->file) == 0;
    ok = ok && !StepFails() && _commit(_fileno(write->file)) == 0;
    if (!ok)
        NoteFailure();
    // The file is closed whatever happened, so that it can be removed.
    int closeFails = StepFails();
    if (fclose(write->file) != 0 || closeFails) {
        NoteFailure();
        ok = 0;
    }
    write->file = NULL;
    ok = ok && ReplaceTarget(write->tempPath, write->targetPath);
    if (!ok)
        DeleteFileA(write->tempPath);
    return ok;
}

FILE *OpenHeldFile(const char *path, unsigned long waitMs, unsigned long *error)
{
    enum { RetryDelayMs = 50 };
    *error = ERROR_FILE_NOT_FOUND;
    if (path == NULL)
        return NULL;
    for (unsigned long waited = 0;; waited += RetryDelayMs) {
        SetLastError(0);
        FILE *file = fopen(path, "rb");
        if (file != NULL) {
            *error = 0;
            return file;
        }
        *error = GetLastError() != 0 ? GetLastError() : (errno == ENOENT ? ERROR_FILE_NOT_FOUND : ERROR_ACCESS_DENIED);
        if (errno == ENOENT && *error != ERROR_SHARING_VIOLATION)
            *error = ERROR_FILE_NOT_FOUND;
        if ((*error != ERROR_SHARING_VIOLATION && *error != ERROR_LOCK_VIOLATION) || waited >= waitMs)
            return NULL;
        Sleep(RetryDelayMs);
    }
}

int WriteWholeFile(const char *path, const void *bytes, size_t length)
{
    SafeWrite write;
    if (!BeginSafeWrite(&write, path))
        return 0;
    SafeWriteBytes(&write, bytes, length);
    return CommitSafeWrite(&write);
}
