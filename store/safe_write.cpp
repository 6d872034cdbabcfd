#include "store/safe_write.h"

#include <windows.h>
#include <io.h>
#include <string.h>

enum { ReplaceAttempts = 5, ReplaceRetryDelayMs = 40 };

static int faultStep;

// Counts one file operation; true when the test asked for this one to fail.
static int StepFails(void)
{
    if (faultStep <= 0)
        return 0;
    return --faultStep == 0;
}

void SetSafeWriteFaultStep(int step)
{
    faultStep = step;
}

int BeginSafeWrite(SafeWrite *write, const char *path)
{
    memset(write, 0, sizeof *write);
    if (path == NULL || !FormatPath(write->targetPath, sizeof write->targetPath, "%s", path) ||
        !TempPathFor(write->tempPath, sizeof write->tempPath, path))
        return 0;
    write->file = StepFails() ? NULL : fopen(write->tempPath, "wb");
    return write->file != NULL;
}

int SafeWriteBytes(SafeWrite *write, const void *bytes, size_t length)
{
    if (write->failed || write->file == NULL)
        return 0;
    if (StepFails() || fwrite(bytes, 1, length, write->file) != length)
        write->failed = 1;
    return !write->failed;
}

// Virus scanners and indexers hold files open for a moment; a replace that
// meets them is tried again briefly.
static int ReplaceTarget(const char *tempPath, const char *targetPath)
{
    for (int attempt = 0; attempt < ReplaceAttempts; attempt++) {
        if (attempt > 0)
            Sleep(ReplaceRetryDelayMs);
        if (StepFails())
            return 0;
        if (MoveFileExA(tempPath, targetPath, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return 1;
        DWORD error = GetLastError();
        if (error != ERROR_SHARING_VIOLATION && error != ERROR_ACCESS_DENIED && error != ERROR_LOCK_VIOLATION)
            return 0;
    }
    return 0;
}

int CommitSafeWrite(SafeWrite *write)
{
    if (write->file == NULL)
        return 0;
    int ok = !write->failed;
    ok = ok && !StepFails() && fflush(write->file) == 0;
    ok = ok && !StepFails() && _commit(_fileno(write->file)) == 0;
    // The file is closed whatever happened, so that it can be removed.
    int closeFails = StepFails();
    if (fclose(write->file) != 0 || closeFails)
        ok = 0;
    write->file = NULL;
    ok = ok && ReplaceTarget(write->tempPath, write->targetPath);
    if (!ok)
        DeleteFileA(write->tempPath);
    return ok;
}

int WriteWholeFile(const char *path, const void *bytes, size_t length)
{
    SafeWrite write;
    if (!BeginSafeWrite(&write, path))
        return 0;
    SafeWriteBytes(&write, bytes, length);
    return CommitSafeWrite(&write);
}
