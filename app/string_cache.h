// The string cache: the texts of the resource string table below the end
// marker, loaded once at start and looked up by id for the whole run.
#ifndef VOMBLY_APP_STRING_CACHE_H
#define VOMBLY_APP_STRING_CACHE_H

#include <windows.h>

// Loads ids 0 up to the end marker from `instance`. Returns 1, or 0 after a
// failed allocation, which leaves the cache empty.
int LoadStringCache(HINSTANCE instance);

// The cached text of `id`, or NULL when the id is not cached.
const char *GetString(unsigned int id);

// Frees every cached text; every id then yields NULL.
void FreeStringCache(void);

// The texts added after the fixed table, ids above the end marker up to
// MoreStringEnd: loaded from the module given to LoadStringCache the first
// time each is asked for, and kept until FreeStringCache. NULL for an id
// outside that range, before LoadStringCache, or after a failed allocation.
enum { MoreStringEnd = 200 };
const char *GetMoreString(unsigned int id);

#endif
