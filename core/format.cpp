// The settings file and list file byte formats. Everything here works on
// plain bytes so the same code runs in the program, the native tests, the
// fuzzers and the default-file generator.
#include "core/format.h"

#include <bit>
#include <stddef.h>
#include <string.h>

// The settings record is written as its memory image, so its layout is the
// file layout and must never move.
static_assert(std::endian::native == std::endian::little, "the record image is little-endian");
static_assert(sizeof(ListState) == 68, "a list's state is 68 bytes");
static_assert(sizeof(SettingsRecord) == SettingsRecordSize, "the settings record is 1248 bytes");
static_assert(offsetof(SettingsRecord, reservedHead) == 0);
static_assert(offsetof(SettingsRecord, sortEntries) == 4);
static_assert(offsetof(SettingsRecord, minimiseAfterSelection) == 8);
static_assert(offsetof(SettingsRecord, activeList) == 12);
static_assert(offsetof(SettingsRecord, lists) + 0 * sizeof(ListState) + offsetof(ListState, listName) == 16);
static_assert(offsetof(SettingsRecord, lists) + 0 * sizeof(ListState) + offsetof(ListState, listSelection) == 80);
static_assert(offsetof(SettingsRecord, lists) + 1 * sizeof(ListState) + offsetof(ListState, listName) == 84);
static_assert(offsetof(SettingsRecord, lists) + 1 * sizeof(ListState) + offsetof(ListState, listSelection) == 148);
static_assert(offsetof(SettingsRecord, lists) + 2 * sizeof(ListState) + offsetof(ListState, listName) == 152);
static_assert(offsetof(SettingsRecord, lists) + 2 * sizeof(ListState) + offsetof(ListState, listSelection) == 216);
static_assert(offsetof(SettingsRecord, reservedTail) == 220);
static_assert(sizeof(SettingsRecord::reservedTail) == 1028);
static_assert(SettingsFileSize == SettingsRecordSize + 2, "the check value follows the record");

const uint16_t SettingsCheckSeed = 0x1331;

// Every stored file depends on this value; it must never change.
const uint32_t ScrambleMaskValue = 0x4C19A7FEu;

static uint32_t scrambleMask = 0;

uint32_t GetScrambleMask(void)
{
    return scrambleMask;
}

void SetScrambleMask(uint32_t mask)
{
    scrambleMask = mask;
}

// ---------------------------------------------------------------------------
// Scramble tables: eight permutations of 0..255 shuffled at compile time from
// a fixed seed. They are part of the file format, so the seed and the
// generator below are frozen; the golden-file tests fail if either changes.

static constexpr uint64_t tableSeed = 0x5DEECE66D3A4F2B1ull;

struct TableSet {
    unsigned char forward[8][256];
    unsigned char inverse[8][256];
};

static constexpr uint64_t splitMixNext(uint64_t &state)
{
    state += 0x9E3779B97F4A7C15ull;
    uint64_t z = state;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

static constexpr TableSet buildTables()
{
    TableSet set{};
    uint64_t state = tableSeed;
    for (int t = 0; t < 8; t++) {
        for (int i = 0; i < 256; i++)
            set.forward[t][i] = (unsigned char)i;
        // Fisher-Yates from the top down.
        for (int i = 255; i > 0; i--) {
            int j = (int)(splitMixNext(state) % (uint64_t)(i + 1));
            unsigned char held = set.forward[t][i];
            set.forward[t][i] = set.forward[t][j];
            set.forward[t][j] = held;
        }
        for (int i = 0; i < 256; i++)
            set.inverse[t][set.forward[t][i]] = (unsigned char)i;
    }
    return set;
}

static constexpr TableSet tableSet = buildTables();

static constexpr bool tablesAreUsable()
{
    for (int t = 0; t < 8; t++) {
        bool seen[256] = {};
        bool identity = true;
        for (int i = 0; i < 256; i++) {
            if (seen[tableSet.forward[t][i]])
                return false;
            seen[tableSet.forward[t][i]] = true;
            if (tableSet.forward[t][i] != i)
                identity = false;
            if (tableSet.inverse[t][tableSet.forward[t][i]] != i)
                return false;
        }
        if (identity)
            return false;
        for (int u = 0; u < t; u++) {
            bool same = true;
            for (int i = 0; i < 256 && same; i++)
                same = tableSet.forward[t][i] == tableSet.forward[u][i];
            if (same)
                return false;
        }
    }
    return true;
}
static_assert(tablesAreUsable(), "eight different, non-identity, invertible tables");

// The exported tables are plain arrays; spell their initialisers out of the
// compile-time set, one braced row of 256 per table.
#define VT_1(a, t, n) tableSet.a[t][n]
#define VT_4(a, t, n) VT_1(a, t, n), VT_1(a, t, (n) + 1), VT_1(a, t, (n) + 2), VT_1(a, t, (n) + 3)
#define VT_16(a, t, n) VT_4(a, t, n), VT_4(a, t, (n) + 4), VT_4(a, t, (n) + 8), VT_4(a, t, (n) + 12)
#define VT_64(a, t, n) VT_16(a, t, n), VT_16(a, t, (n) + 16), VT_16(a, t, (n) + 32), VT_16(a, t, (n) + 48)
#define VT_ROW(a, t) {VT_64(a, t, 0), VT_64(a, t, 64), VT_64(a, t, 128), VT_64(a, t, 192)}
#define VT_ALL(a)                                                                                  \
    {                                                                                              \
        VT_ROW(a, 0), VT_ROW(a, 1), VT_ROW(a, 2), VT_ROW(a, 3), VT_ROW(a, 4), VT_ROW(a, 5),        \
            VT_ROW(a, 6), VT_ROW(a, 7)                                                             \
    }

const unsigned char ScrambleTables[8][256] = VT_ALL(forward);
const unsigned char UnscrambleTables[8][256] = VT_ALL(inverse);

#undef VT_ALL
#undef VT_ROW
#undef VT_64
#undef VT_16
#undef VT_4
#undef VT_1

// ---------------------------------------------------------------------------
// Check value

uint16_t CheckStep(uint16_t state, unsigned char byte)
{
    unsigned lo = (state & 0xFFu) ^ byte;
    lo = (lo & 1u) ? (lo >> 1) ^ 0x59u : lo >> 1;
    unsigned hi = ((unsigned)state >> 8) ^ byte;
    hi = (hi & 1u) ? (hi >> 1) ^ 0xA6u : hi >> 1;
    return (uint16_t)((hi << 8) | lo);
}

static uint16_t checkOver(const unsigned char *bytes, uint32_t length, uint16_t seed)
{
    uint16_t state = seed;
    for (uint32_t i = 0; i < length; i++)
        state = CheckStep(state, bytes[i]);
    return state;
}

int ComputeCheckValue(const void *bytes, uint32_t length, uint16_t seed, uint16_t *checkValue)
{
    // A value computed before the mask is in place would not match any file.
    if (scrambleMask == 0 || !checkValue || (!bytes && length))
        return 0;
    *checkValue = checkOver((const unsigned char *)bytes, length, seed);
    return 1;
}

// ---------------------------------------------------------------------------
// Scrambler: XOR with a key byte that cycles every four positions, then
// substitute through the selected table.

static unsigned char keyByte(uint32_t position)
{
    // Add first, then keep the low byte: the carry out of the low byte is lost.
    return (unsigned char)((scrambleMask + (position & 3u)) & 0xFFu);
}

uint32_t ScrambleBytes(void *buffer, uint32_t length, int32_t selector)
{
    if (!buffer)
        return 0;
    const unsigned char *table = ScrambleTables[(uint32_t)selector & 7u];
    unsigned char *bytes = (unsigned char *)buffer;
    for (uint32_t i = 0; i < length; i++)
        bytes[i] = table[bytes[i] ^ keyByte(i)];
    return length;
}

uint32_t UnscrambleBytes(void *buffer, uint32_t length, int32_t selector)
{
    if (!buffer)
        return 0;
    const unsigned char *table = UnscrambleTables[(uint32_t)selector & 7u];
    unsigned char *bytes = (unsigned char *)buffer;
    for (uint32_t i = 0; i < length; i++)
        bytes[i] = (unsigned char)(table[bytes[i]] ^ keyByte(i));
    return length;
}

// ---------------------------------------------------------------------------
// Settings file

void EncodeSettingsFile(const SettingsRecord *record, unsigned char file[SettingsFileSize])
{
    uint16_t check = 0;
    // Without the mask there is no valid file to write; zeros never verify.
    if (!ComputeCheckValue(record, SettingsRecordSize, SettingsCheckSeed, &check)) {
        memset(file, 0, SettingsFileSize);
        return;
    }
    memcpy(file, record, SettingsRecordSize);
    ScrambleBytes(file, SettingsRecordSize, check);
    file[SettingsRecordSize] = (unsigned char)(check & 0xFFu);
    file[SettingsRecordSize + 1] = (unsigned char)(check >> 8);
}

int DecodeSettingsFile(const unsigned char *file, size_t length, SettingsRecord *record)
{
    if (!file || !record || length < SettingsFileSize)
        return 0;
    uint16_t stored = (uint16_t)(file[SettingsRecordSize] | (file[SettingsRecordSize + 1] << 8));

    // Work on a copy so a file that fails the check leaves *record alone.
    unsigned char plain[SettingsRecordSize];
    memcpy(plain, file, SettingsRecordSize);
    UnscrambleBytes(plain, SettingsRecordSize, stored);
    uint16_t computed = 0;
    if (!ComputeCheckValue(plain, SettingsRecordSize, SettingsCheckSeed, &computed))
        return 0;
    if (computed != stored)
        return 0;

    memcpy(record, plain, SettingsRecordSize);
    // A verified file may still hold a name field with no NUL; readers rely
    // on every name ending inside its field.
    for (ListState &list : record->lists)
        list.listName[ListNameSize - 1] = 0;
    return 1;
}

// ---------------------------------------------------------------------------
// List records

static uint32_t readLength(const unsigned char *p)
{
    return (uint32_t)p[0] | ((uint32_t)p[1] << 8) | ((uint32_t)p[2] << 16) | ((uint32_t)p[3] << 24);
}

size_t EncodeListRecord(const char *text, uint32_t length, unsigned char *out, size_t outSize)
{
    if (length > ListEntryWriteLimit || !out || (!text && length))
        return 0;
    if (outSize < (size_t)ListRecordHeaderSize + length)
        return 0;
    out[0] = (unsigned char)(length & 0xFFu);
    out[1] = (unsigned char)((length >> 8) & 0xFFu);
    out[2] = (unsigned char)((length >> 16) & 0xFFu);
    out[3] = (unsigned char)((length >> 24) & 0xFFu);
    if (length)
        memcpy(out + ListRecordHeaderSize, text, length);
    ScrambleBytes(out + ListRecordHeaderSize, length, (int32_t)length);
    return ListRecordHeaderSize + (size_t)length;
}

int DecodeListRecord(const unsigned char *bytes, size_t available, char text[ListEntryBufferSize], size_t *consumed)
{
    if (consumed)
        *consumed = 0;
    if (!text)
        return 0;
    memset(text, 0, ListEntryBufferSize);
    if (!bytes || available < ListRecordHeaderSize)
        return 0;
    // Unsigned on purpose: a length with the top bit set is just too long.
    uint32_t length = readLength(bytes);
    if (length > ListEntryBufferSize - 1)
        return 0;
    if (available - ListRecordHeaderSize < length)
        return 0;
    memcpy(text, bytes + ListRecordHeaderSize, length);
    UnscrambleBytes(text, length, (int32_t)length);
    if (consumed)
        *consumed = ListRecordHeaderSize + (size_t)length;
    return 1;
}

int ReadListRecord(FILE *file, char text[ListEntryBufferSize])
{
    if (!text)
        return 0;
    memset(text, 0, ListEntryBufferSize);
    if (!file)
        return 0;
    unsigned char header[ListRecordHeaderSize];
    if (fread(header, 1, sizeof header, file) != sizeof header)
        return 0;
    uint32_t length = readLength(header);
    if (length > ListEntryBufferSize - 1)
        return 0;
    if (fread(text, 1, length, file) != length) {
        // A record cut short is not returned, not even in part.
        memset(text, 0, ListEntryBufferSize);
        return 0;
    }
    UnscrambleBytes(text, length, (int32_t)length);
    return 1;
}
