// Type-ahead in a list: the characters typed in quick succession and the
// rule that finds the entry they start. Plain C++, no windows.h.
#ifndef VOMBLY_CORE_TYPE_AHEAD_H
#define VOMBLY_CORE_TYPE_AHEAD_H

#include <stddef.h>
#include <stdint.h>

enum {
    // A pause longer than this between two characters starts a new search.
    TypeAheadPauseMs = 1000,
    TypeAheadMaxChars = 64
};

struct TypeAhead {
    char typed[TypeAheadMaxChars + 1];
    size_t length;
    uint32_t lastTick;
};

// Adds one typed character at time `tick` (milliseconds, wrapping). Returns
// 1 when it begins a new search (the first character, or one after a pause),
// 0 when it extends the one going on. Characters beyond TypeAheadMaxChars
// are dropped; the search goes on with what was kept.
int AddTypeAheadChar(TypeAhead *state, char typed, uint32_t tick);

// 1 when `entry` starts with `typed`, letters compared without regard to
// case (ASCII and the Western European ANSI code page).
int StartsWithTyped(const char *entry, const char *typed);

// The entry to select for `typed`, among `count` entries read with `entryAt`
// (NULL for an entry that cannot be read), the selection being `current`
// (-1 for none). A new search looks from the entry after the selection, so
// typing the same first letter again moves on to the next entry with it; an
// extended search looks from the selection itself, so the entry found so far
// stays while it still matches. Both wrap round. -1 when nothing matches.
int FindTypeAheadMatch(int count, int current, int newSearch, const char *typed,
                       const char *(*entryAt)(int index, void *context), void *context);

#endif
