// The string cache: the texts of the resource string table below the end
// marker and those added after it, loaded once at start and looked up by id.
#ifndef VOMBLY_SYSTEM_STRING_CACHE_H
#define VOMBLY_SYSTEM_STRING_CACHE_H

#include <windows.h>

// Loads ids 0 up to the end marker, and every id after it that has a text,
// from `instance`. Returns 1, or 0 after a failed allocation, which leaves
// the cache empty.
int LoadStringCache(HINSTANCE instance);

// The cached text of `id`, or NULL when the id is not cached.
const char *GetString(unsigned int id);

// The caption of a dialog or a message box, "Vombly - <string titleId>",
// into `buffer` (cut to fit).
void FormatCaption(unsigned int titleId, char *buffer, size_t size);

// Frees every cached text; every id then yields NULL.
void FreeStringCache(void);

#endif
