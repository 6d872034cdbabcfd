// Crash-safe replacement of a file: the new bytes go to a temporary file in
// the same folder, are flushed to the disk, and the temporary file then
// takes the old one's place in one step. On any failure the old file stays
// whole and the temporary file is removed.
#ifndef VOMBLY_STORE_SAFE_WRITE_H
#define VOMBLY_STORE_SAFE_WRITE_H

#include <stddef.h>
#include <stdio.h>

#include "core/rules.h"

struct SafeWrite {
    FILE *file;
    int failed;
    char targetPath[PathBufferSize];
    char tempPath[PathBufferSize];
};

// Opens the temporary file beside `path` for writing. Returns 0 (nothing to commit) on failure.
int BeginSafeWrite(SafeWrite *write, const char *path);

// The same for a file in a folder of the user's: the temporary file is
// made new under the first free name (<path>.tmp, <path>.1.tmp, ...), so
// that a file of the user's that happens to have such a name is never
// touched.
int BeginSafeWriteNew(SafeWrite *write, const char *path);

// Appends bytes; a failure is remembered and makes the commit fail.
int SafeWriteBytes(SafeWrite *write, const void *bytes, size_t length);

// Flushes, closes and puts the new file in place. Returns 1 when the target
// now holds exactly the bytes written; otherwise the target is unchanged.
int CommitSafeWrite(SafeWrite *write);

// The whole of a small file in one call. A NULL path fails.
int WriteWholeFile(const char *path, const void *bytes, size_t length);

// Opens a file for reading ("rb"). A file another program holds (a backup
// or sync tool) is tried again for up to `waitMs`; NULL then, with the
// system's error in *error (ERROR_FILE_NOT_FOUND for a missing file).
FILE *OpenHeldFile(const char *path, unsigned long waitMs, unsigned long *error);
enum { HeldFileWaitMs = 1000 };

// The system's error code of the last save that failed (since the last
// BeginSafeWrite), or 0 after one that has not failed.
unsigned long GetSafeWriteError(void);

// For fault-injection tests: the step-th file operation from now on (1 is
// the next one: open, a write, flush, commit, close or replace) fails as if
// the system had refused it. 0 injects nothing.
void SetSafeWriteFaultStep(int step);

#endif
