#include "store/list_store.h"

#include <errno.h>
#include <stdlib.h>
#include <string.h>

#include "core/companion_format.h"
#include "core/format.h"
#include "core/rules.h"
#include "store/safe_write.h"
#include "system/list_entry.h"

// A companion larger than this holds more than any list could need.
enum { CompanionFileLimit = 64 * 1024 * 1024 };

static char entryText[ListEntryBufferSize];
static WCHAR wideText[ListEntryBufferSize];
static char utf8Text[TextEntryBufferSize];
static unsigned char listRecord[ListRecordHeaderSize + ListEntryWriteLimit];

int CompanionPathOf(const char *listPath, char *out, size_t size)
{
    return listPath != NULL && FormatPath(out, size, "%s.u", listPath);
}

// Where one entry's ANSI bytes lie in the block of all of them.
struct EntrySpan {
    size_t offset;
    uint32_t length;
};

// Grows a block to hold `needed` items of `itemSize`; 0 when memory ran out.
static int Reserve(void **block, size_t *capacity, size_t needed, size_t itemSize)
{
    if (needed <= *capacity)
        return 1;
    size_t grown = *capacity < 64 ? 64 : *capacity;
    while (grown < needed)
        grown *= 2;
    void *moved = realloc(*block, grown * itemSize);
    if (moved == NULL)
        return 0;
    *block = moved;
    *capacity = grown;
    return 1;
}

// The whole companion beside `listPath` in a block of its own, or NULL with
// the state (absent, unreadable) said.
static unsigned char *ReadCompanionBytes(const char *listPath, size_t *size, int *companion, unsigned long *error)
{
    char path[PathBufferSize];
    *size = 0;
    if (!CompanionPathOf(listPath, path, sizeof path)) {
        *companion = CompanionUnreadable;
        *error = ERROR_FILENAME_EXCED_RANGE;
        return NULL;
    }
    SetLastError(0);
    FILE *file = fopen(path, "rb");
    if (file == NULL) {
        *companion = errno == ENOENT ? CompanionAbsent : CompanionUnreadable;
        *error = GetLastError() != 0 ? GetLastError() : (unsigned long)ERROR_READ_FAULT;
        return NULL;
    }
    long length = -1;
    if (fseek(file, 0, SEEK_END) == 0)
        length = ftell(file);
    unsigned char *bytes = NULL;
    *companion = CompanionDamaged;
    if (length >= 0 && length <= CompanionFileLimit && fseek(file, 0, SEEK_SET) == 0) {
        bytes = (unsigned char *)malloc((size_t)length + 1);
        if (bytes == NULL) {
            *companion = CompanionUnreadable;
            *error = ERROR_NOT_ENOUGH_MEMORY;
        } else if (fread(bytes, 1, (size_t)length, file) != (size_t)length) {
            free(bytes);
            bytes = NULL;
            *companion = CompanionUnreadable;
            *error = ERROR_READ_FAULT;
        }
    }
    fclose(file);
    *size = bytes != NULL ? (size_t)length : 0;
    return bytes;
}

// The UTF-16 form of an entry; -1 when it would not fit the list box's
// longest entry.
static int WideOf(UINT codePage, const char *text, size_t length)
{
    wideText[0] = 0;
    if (length == 0)
        return 0;
    int units = MultiByteToWideChar(codePage, 0, text, (int)length, wideText, ARRAYSIZE(wideText) - 1);
    if (units <= 0)
        return -1;
    wideText[units] = 0;
    return units;
}

// CRC-32 and size of a whole open file, from its start; 0 when it cannot
// be read to its end.
static int CheckOfFile(FILE *file, uint32_t *check, uint32_t *size)
{
    static unsigned char chunk[16384];
    *check = 0;
    *size = 0;
    if (fseek(file, 0, SEEK_SET) != 0)
        return 0;
    size_t got;
    while ((got = fread(chunk, 1, sizeof chunk, file)) > 0) {
        *check = CompanionCrc(*check, chunk, got);
        *size += (uint32_t)got;
    }
    return ferror(file) == 0;
}

int ReadListEntries(FILE *file, const char *listPath, ListEntrySink sink, void *context, long *endOfGood,
                    int *companion, unsigned long *companionError)
{
    *endOfGood = 0;
    *companion = CompanionAbsent;
    *companionError = 0;

    // Every entry's ANSI bytes are kept until the companion is matched.
    char *texts = NULL;
    EntrySpan *spans = NULL;
    size_t textsCapacity = 0, spansCapacity = 0, textsUsed = 0, count = 0;
    int memoryShort = 0;
    while (ReadListRecord(file, entryText)) {
        size_t length = strlen(entryText);
        if (!Reserve((void **)&texts, &textsCapacity, textsUsed + length + 1, 1) ||
            !Reserve((void **)&spans, &spansCapacity, count + 1, sizeof *spans)) {
            memoryShort = 1;
            break;
        }
        memcpy(texts + textsUsed, entryText, length);
        spans[count].offset = textsUsed;
        spans[count].length = (uint32_t)length;
        textsUsed += length;
        count++;
        *endOfGood = ftell(file);
    }

    size_t companionSize = 0;
    unsigned char *companionBytes = NULL;
    CompanionRecord *records = NULL;
    CompanionKey *keys = NULL;
    const CompanionRecord **match = NULL;
    unsigned char *taken = NULL;
    if (memoryShort) {
        *companion = CompanionUnreadable;
        *companionError = ERROR_NOT_ENOUGH_MEMORY;
    } else {
        companionBytes = ReadCompanionBytes(listPath, &companionSize, companion, companionError);
    }
    if (companionBytes != NULL) {
        size_t capacity = companionSize / CompanionRecordMinSize + 1;
        records = (CompanionRecord *)malloc(capacity * sizeof *records);
        keys = (CompanionKey *)malloc((count + 1) * sizeof *keys);
        match = (const CompanionRecord **)malloc((count + 1) * sizeof *match);
        taken = (unsigned char *)malloc(capacity);
        CompanionGeneration generations[CompanionMaxGenerations];
        int generationCount = 0;
        uint32_t listCheck = 0, listSize = 0;
        if (records == NULL || keys == NULL || match == NULL || taken == NULL ||
            !CheckOfFile(file, &listCheck, &listSize)) {
            *companion = CompanionUnreadable;
            *companionError = records == NULL || keys == NULL || match == NULL || taken == NULL
                                  ? (unsigned long)ERROR_NOT_ENOUGH_MEMORY
                                  : (unsigned long)ERROR_READ_FAULT;
        } else if (DecodeCompanion(companionBytes, companionSize, records, capacity, generations, &generationCount)) {
            for (size_t i = 0; i < count; i++) {
                keys[i].ansi = texts + spans[i].offset;
                keys[i].length = spans[i].length;
            }
            MatchCompanion(keys, count, listCheck, listSize, generations, generationCount, match, taken);
            *companion = CompanionUsed;
        }
    }

    int handed = 0;
    for (size_t i = 0; i < count; i++) {
        int units = -1;
        if (*companion == CompanionUsed && match[i] != NULL)
            units = WideOf(CP_UTF8, match[i]->utf8, match[i]->utf8Length);
        if (units < 0)
            units = WideOf(CP_ACP, texts + spans[i].offset, spans[i].length);
        if (units < 0)
            units = 0;
        handed++;
        if (!sink(context, wideText, units))
            break;
    }
    free(taken);
    free(match);
    free(keys);
    free(records);
    free(companionBytes);
    free(spans);
    free(texts);
    return handed;
}

// A block that grows as bytes are appended; `failed` once memory ran out.
struct Growing {
    unsigned char *bytes;
    size_t used;
    size_t capacity;
    int failed;
};

static void Append(Growing *block, const void *bytes, size_t length)
{
    if (block->failed || !Reserve((void **)&block->bytes, &block->capacity, block->used + length, 1)) {
        block->failed = 1;
        return;
    }
    memcpy(block->bytes + block->used, bytes, length);
    block->used += length;
}

// One Unicode record as written: its texts' places in the block of texts.
struct PendingRecord {
    uint32_t position;
    size_t ansiOffset;
    uint32_t ansiLength;
    size_t utf8Offset;
    uint32_t utf8Length;
};

// The whole of a file into `block`; 0 when it is not there or unreadable.
static int ReadWhole(const char *path, Growing *block)
{
    FILE *file = fopen(path, "rb");
    if (file == NULL)
        return 0;
    unsigned char chunk[4096];
    size_t got;
    while ((got = fread(chunk, 1, sizeof chunk, file)) > 0)
        Append(block, chunk, got);
    int ok = ferror(file) == 0 && !block->failed;
    fclose(file);
    return ok;
}

// The list file from its records in memory, written record by record like
// any list save.
static int WriteListFile(const char *path, const unsigned char *bytes, size_t size)
{
    SafeWrite write;
    if (!BeginSafeWrite(&write, path))
        return 0;
    for (size_t at = 0; at + ListRecordHeaderSize <= size;) {
        size_t length = ListRecordHeaderSize + ((size_t)bytes[at] | (size_t)bytes[at + 1] << 8 |
                                                (size_t)bytes[at + 2] << 16 | (size_t)bytes[at + 3] << 24);
        SafeWriteBytes(&write, bytes + at, length);
        at += length;
    }
    return CommitSafeWrite(&write);
}

int WriteListEntries(const char *listPath, int count, ListEntrySource source, void *context, int *leftOut)
{
    *leftOut = -1;
    char companionPath[PathBufferSize];
    int havePath = CompanionPathOf(listPath, companionPath, sizeof companionPath);
    Growing list = {}, texts = {}, pending = {}, oldList = {}, oldCompanion = {};
    uint32_t position = 0;
    size_t pendingCount = 0;
    for (int index = 0; index < count; index++) {
        const WCHAR *text = NULL;
        int units = source(context, index, &text);
        int exact = 1;
        int length = units >= 0 ? AnsiFormOf(text, units, entryText, sizeof entryText, &exact) : -1;
        size_t size = length >= 0 && length <= ListEntryWriteLimit
                          ? EncodeListRecord(entryText, (uint32_t)length, listRecord, sizeof listRecord)
                          : 0;
        if (size == 0) {
            if (*leftOut < 0)
                *leftOut = index;
            continue;
        }
        Append(&list, listRecord, size);
        int bytes = exact ? 0 : WideCharToMultiByte(CP_UTF8, 0, text, units, utf8Text, sizeof utf8Text - 1, NULL, NULL);
        if (bytes > 0 && IsStrictUtf8((const unsigned char *)utf8Text, (size_t)bytes)) {
            PendingRecord record = {position, texts.used, (uint32_t)length, texts.used + (size_t)length,
                                    (uint32_t)bytes};
            Append(&texts, entryText, (size_t)length);
            Append(&texts, utf8Text, (size_t)bytes);
            Append(&pending, &record, sizeof record);
            pendingCount++;
        }
        position++;
    }

    // The records the list file on disk was written with, while that file
    // is still there: a stop before the new list file is in place leaves it
    // beside them, read exactly as before.
    uint32_t newCheck = CompanionCrc(0, list.bytes, list.used), newSize = (uint32_t)list.used;
    CompanionGeneration generations[CompanionMaxGenerations] = {};
    int generationCount = 0;
    CompanionRecord *oldRecords = NULL;
    int companionThere = havePath && GetFileAttributesA(companionPath) != INVALID_FILE_ATTRIBUTES;
    if (companionThere && ReadWhole(listPath, &oldList) && ReadWhole(companionPath, &oldCompanion)) {
        uint32_t oldCheck = CompanionCrc(0, oldList.bytes, oldList.used), oldSize = (uint32_t)oldList.used;
        size_t capacity = oldCompanion.used / CompanionRecordMinSize + 1;
        oldRecords = (CompanionRecord *)malloc(capacity * sizeof *oldRecords);
        CompanionGeneration old[CompanionMaxGenerations];
        int oldCount = 0;
        if (oldRecords != NULL && (oldCheck != newCheck || oldSize != newSize) &&
            DecodeCompanion(oldCompanion.bytes, oldCompanion.used, oldRecords, capacity, old, &oldCount)) {
            for (int g = 0; g < oldCount; g++) {
                if (old[g].listCheck == oldCheck && old[g].listSize == oldSize && old[g].count > 0) {
                    generations[1] = old[g];
                    generationCount = 2;
                    break;
                }
            }
        }
    }

    CompanionRecord *newRecords = (CompanionRecord *)malloc((pendingCount + 1) * sizeof *newRecords);
    const PendingRecord *made = (const PendingRecord *)pending.bytes;
    for (size_t r = 0; newRecords != NULL && r < pendingCount; r++) {
        newRecords[r].position = made[r].position;
        newRecords[r].ansi = (const char *)texts.bytes + made[r].ansiOffset;
        newRecords[r].ansiLength = made[r].ansiLength;
        newRecords[r].utf8 = (const char *)texts.bytes + made[r].utf8Offset;
        newRecords[r].utf8Length = made[r].utf8Length;
    }
    generations[0].listCheck = newCheck;
    generations[0].listSize = newSize;
    generations[0].records = newRecords;
    generations[0].count = pendingCount;
    if (generationCount == 0)
        generationCount = 1;
    int needed = pendingCount > 0 || generationCount == 2;

    int saved = 0;
    if (list.failed || texts.failed || pending.failed || newRecords == NULL) {
        // Nothing is written from a list that could not be put together
        // whole; the refused write is what the failure is told as.
        WriteWholeFile(NULL, NULL, 0);
    } else if (!needed) {
        saved = WriteListFile(listPath, list.bytes, list.used);
    } else {
        size_t size = CompanionSizeOf(generations, generationCount);
        unsigned char *companion = size > 0 ? (unsigned char *)malloc(size) : NULL;
        // The companion first: until the new list file replaces the old one,
        // the old one is read with the generation kept for it.
        saved = companion != NULL && EncodeCompanion(generations, generationCount, companion, size) == size &&
                WriteWholeFile(havePath ? companionPath : NULL, companion, size) &&
                WriteListFile(listPath, list.bytes, list.used);
        if (companion == NULL)
            WriteWholeFile(NULL, NULL, 0);
        free(companion);
    }
    // A companion that holds nothing for the new list file goes; one that
    // stays only names list files that are gone, and is read by position
    // against none of them.
    if (saved && pendingCount == 0 && companionThere)
        DeleteFileA(companionPath);
    free(newRecords);
    free(oldRecords);
    free(oldCompanion.bytes);
    free(oldList.bytes);
    free(pending.bytes);
    free(texts.bytes);
    free(list.bytes);
    return saved;
}
