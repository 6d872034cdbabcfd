// The program's rules that need no window: path texts (bounded formatting,
// the start-up folder's backslash, a file's temporary twin), which list the
// toggle shows next, and which entry is selected after a removal.
#ifndef VOMBLY_CORE_RULES_H
#define VOMBLY_CORE_RULES_H

#include <stddef.h>
#include <stdint.h>

enum { PathBufferSize = 261, ShortPathBufferSize = 260 };

// Formats into a buffer of `size` bytes. Returns 1 when the whole text fit,
// 0 when it would have been cut (the buffer then holds an empty text).
int FormatPath(char *buffer, size_t size, const char *format, ...);

// The temporary file that stands beside `path` while it is being replaced:
// <path>.tmp. Returns 1, or 0 when it would not fit the buffer.
int TempPathFor(char *buffer, size_t size, const char *path);
extern const char TempPathSuffix[];

// The start-up folder, always ending in a backslash. SetStartupFolder
// returns 0, leaving the folder empty, when the text would not fit or
// `directory` is NULL (the current directory could not be read).
const char *GetStartupFolder(void);
int SetStartupFolder(const char *directory);

// The list the toggle shows after `current`: 1, 2, 3 and round again; any
// other number (a damaged settings file) goes to 1.
uint32_t NextList(uint32_t current);

// The selection after a removal: the entry before the removed one, or the
// first when the first was removed.
int SelectionAfterRemoval(int removedIndex);

#endif
