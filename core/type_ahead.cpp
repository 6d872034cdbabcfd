#include "core/type_ahead.h"

int AddTypeAheadChar(TypeAhead *state, char typed, uint32_t tick)
{
    // Unsigned difference: right across the tick counter's wrap.
    int newSearch = state->length == 0 || (uint32_t)(tick - state->lastTick) > TypeAheadPauseMs;
    if (newSearch)
        state->length = 0;
    state->lastTick = tick;
    if (state->length < TypeAheadMaxChars)
        state->typed[state->length++] = typed;
    state->typed[state->length] = '\0';
    return newSearch;
}

// Lower case of one byte: ASCII letters, and the capitals of Windows-1252
// (A grave to Thorn but the multiplication sign, and S caron, OE, Z caron,
// Y diaeresis).
static unsigned char FoldCase(unsigned char c)
{
    if (c >= 'A' && c <= 'Z')
        return (unsigned char)(c + 32);
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7)
        return (unsigned char)(c + 32);
    switch (c) {
    case 0x8A: return 0x9A;
    case 0x8C: return 0x9C;
    case 0x8E: return 0x9E;
    case 0x9F: return 0xFF;
    }
    return c;
}

int StartsWithTyped(const char *entry, const char *typed)
{
    if (entry == nullptr || typed == nullptr)
        return 0;
    for (; *typed != '\0'; entry++, typed++) {
        if (*entry == '\0' || FoldCase((unsigned char)*entry) != FoldCase((unsigned char)*typed))
            return 0;
    }
    return 1;
}

int FindTypeAheadMatch(int count, int current, int newSearch, const char *typed,
                       const char *(*entryAt)(int index, void *context), void *context)
{
    if (count <= 0 || typed == nullptr || typed[0] == '\0')
        return -1;
    if (current < 0 || current >= count)
        current = newSearch ? -1 : 0;
    int start = newSearch ? current + 1 : current;
    for (int step = 0; step < count; step++) {
        int index = (start + step) % count;
        if (StartsWithTyped(entryAt(index, context), typed))
            return index;
    }
    return -1;
}
