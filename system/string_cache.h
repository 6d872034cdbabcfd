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

// Loads a text that is not cached (ids above the end marker) from the
// program's own resources into `buffer`. Returns its length; 0, with an
// empty buffer, when there is no such text.
int LoadTextString(unsigned int id, char *buffer, int size);

// Frees every cached text; every id then yields NULL.
void FreeStringCache(void);

#endif
