// The companion file's byte format and the rule that matches its records to
// a list file's entries.
#include "core/companion_format.h"

#include <string.h>

static_assert(CompanionRecordMaxSize == 12 + 4009 + 12027, "a record holds the longest entry in both forms");

uint32_t CompanionCrc(uint32_t crc, const void *bytes, size_t length)
{
    const unsigned char *p = (const unsigned char *)bytes;
    crc = ~crc;
    for (size_t i = 0; i < length; i++) {
        crc ^= p[i];
        for (int bit = 0; bit < 8; bit++)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

static void PutU32(unsigned char *out, uint32_t value)
{
    for (int i = 0; i < 4; i++)
        out[i] = (unsigned char)(value >> (8 * i));
}

static uint32_t GetU32(const unsigned char *in)
{
    return (uint32_t)in[0] | (uint32_t)in[1] << 8 | (uint32_t)in[2] << 16 | (uint32_t)in[3] << 24;
}

// The checks the encoder and the decoder share, on plain (unscrambled) texts.
static int RecordTextsValid(const char *ansi, uint32_t ansiLength, const char *utf8, uint32_t utf8Length)
{
    if (ansi == NULL || utf8 == NULL || ansiLength == 0 || ansiLength > ListEntryWriteLimit || utf8Length == 0 ||
        utf8Length > TextEntryMaxBytes)
        return 0;
    if (memchr(ansi, 0, ansiLength) != NULL)
        return 0;
    return IsStrictUtf8((const unsigned char *)utf8, utf8Length);
}

size_t CompanionSizeOf(const CompanionGeneration *generations, int count)
{
    if (generations == NULL || count < 1 || count > CompanionMaxGenerations)
        return 0;
    size_t size = CompanionHeaderSize + CompanionTrailerSize;
    for (int g = 0; g < count; g++) {
        const CompanionGeneration *generation = &generations[g];
        // The count is written in 32 bits.
        uint64_t count64 = generation->count;
        if (count64 > 0xFFFFFFFFu || (generation->count > 0 && generation->records == NULL))
            return 0;
        size += CompanionGenerationHeaderSize;
        for (size_t r = 0; r < generation->count; r++) {
            const CompanionRecord *record = &generation->records[r];
            if (!RecordTextsValid(record->ansi, record->ansiLength, record->utf8, record->utf8Length) ||
                (r > 0 && record->position <= generation->records[r - 1].position))
                return 0;
            size += CompanionRecordHeaderSize + (size_t)record->ansiLength + record->utf8Length;
        }
    }
    return size;
}

size_t EncodeCompanion(const CompanionGeneration *generations, int count, unsigned char *out, size_t outSize)
{
    size_t size = CompanionSizeOf(generations, count);
    if (size == 0 || out == NULL || outSize < size)
        return 0;
    PutU32(out, CompanionMagic);
    out[4] = (unsigned char)CompanionVersion;
    out[5] = 0;
    out[6] = (unsigned char)count;
    out[7] = 0;
    size_t at = CompanionHeaderSize;
    for (int g = 0; g < count; g++) {
        const CompanionGeneration *generation = &generations[g];
        PutU32(out + at, generation->listCheck);
        PutU32(out + at + 4, generation->listSize);
        PutU32(out + at + 8, (uint32_t)generation->count);
        at += CompanionGenerationHeaderSize;
        for (size_t r = 0; r < generation->count; r++) {
            const CompanionRecord *record = &generation->records[r];
            PutU32(out + at, record->position);
            PutU32(out + at + 4, record->ansiLength);
            PutU32(out + at + 8, record->utf8Length);
            at += CompanionRecordHeaderSize;
            memcpy(out + at, record->ansi, record->ansiLength);
            ScrambleBytes(out + at, record->ansiLength, (int32_t)record->ansiLength);
            at += record->ansiLength;
            memcpy(out + at, record->utf8, record->utf8Length);
            ScrambleBytes(out + at, record->utf8Length, (int32_t)record->utf8Length);
            at += record->utf8Length;
        }
    }
    PutU32(out + at, CompanionCrc(0, out, at));
    return at + CompanionTrailerSize;
}

int DecodeCompanion(unsigned char *bytes, size_t size, CompanionRecord *records, size_t capacity,
                    CompanionGeneration generations[CompanionMaxGenerations], int *count)
{
    *count = 0;
    if (bytes == NULL || size < CompanionHeaderSize + CompanionGenerationHeaderSize + CompanionTrailerSize)
        return 0;
    size_t end = size - CompanionTrailerSize;
    int generationCount = bytes[6] | bytes[7] << 8;
    if (GetU32(bytes) != CompanionMagic || bytes[4] != CompanionVersion || bytes[5] != 0 || generationCount < 1 ||
        generationCount > CompanionMaxGenerations || GetU32(bytes + end) != CompanionCrc(0, bytes, end))
        return 0;
    size_t at = CompanionHeaderSize, found = 0;
    for (int g = 0; g < generationCount; g++) {
        if (end - at < CompanionGenerationHeaderSize)
            return 0;
        CompanionGeneration *generation = &generations[g];
        generation->listCheck = GetU32(bytes + at);
        generation->listSize = GetU32(bytes + at + 4);
        uint32_t told = GetU32(bytes + at + 8);
        at += CompanionGenerationHeaderSize;
        generation->records = records + found;
        generation->count = told;
        for (uint32_t r = 0; r < told; r++) {
            if (end - at < CompanionRecordHeaderSize || found == capacity)
                return 0;
            uint32_t position = GetU32(bytes + at), ansiLength = GetU32(bytes + at + 4);
            uint32_t utf8Length = GetU32(bytes + at + 8);
            at += CompanionRecordHeaderSize;
            if ((r > 0 && position <= records[found - 1].position) || ansiLength > end - at ||
                utf8Length > end - at - ansiLength)
                return 0;
            char *ansi = (char *)bytes + at;
            char *utf8 = ansi + ansiLength;
            UnscrambleBytes(ansi, ansiLength, (int32_t)ansiLength);
            UnscrambleBytes(utf8, utf8Length, (int32_t)utf8Length);
            if (!RecordTextsValid(ansi, ansiLength, utf8, utf8Length))
                return 0;
            records[found].position = position;
            records[found].ansi = ansi;
            records[found].ansiLength = ansiLength;
            records[found].utf8 = utf8;
            records[found].utf8Length = utf8Length;
            found++;
            at += (size_t)ansiLength + utf8Length;
        }
    }
    if (at != end)
        return 0;
    *count = generationCount;
    return 1;
}

static int SameBytes(const CompanionKey *entry, const CompanionRecord *record)
{
    return entry->ansi != NULL && entry->length == record->ansiLength &&
           memcmp(entry->ansi, record->ansi, entry->length) == 0;
}

void MatchCompanion(const CompanionKey *entries, size_t entryCount, uint32_t listCheck, uint32_t listSize,
                    const CompanionGeneration *generations, int generationCount, const CompanionRecord **match,
                    unsigned char *taken)
{
    for (size_t i = 0; i < entryCount; i++)
        match[i] = NULL;
    if (generations == NULL || generationCount < 1)
        return;
    // The pair as written together: every record is where it was put.
    for (int g = 0; g < generationCount; g++) {
        const CompanionGeneration *generation = &generations[g];
        if (generation->listCheck != listCheck || generation->listSize != listSize)
            continue;
        for (size_t r = 0; r < generation->count; r++) {
            const CompanionRecord *record = &generation->records[r];
            if (record->position < entryCount && SameBytes(&entries[record->position], record))
                match[record->position] = record;
        }
        return;
    }
    // A list file another build rewrote: the bytes decide.
    const CompanionRecord *records = generations[0].records;
    size_t recordCount = generations[0].count;
    if (recordCount > 0)
        memset(taken, 0, recordCount);
    // An entry where its record left it takes it first, so that equal ANSI
    // forms keep their own texts while nothing moved them.
    for (size_t r = 0; r < recordCount; r++) {
        uint32_t at = records[r].position;
        if (at < entryCount && match[at] == NULL && SameBytes(&entries[at], &records[r])) {
            match[at] = &records[r];
            taken[r] = 1;
        }
    }
    // Entries that build moved find theirs by their bytes alone.
    for (size_t i = 0; i < entryCount; i++) {
        for (size_t r = 0; r < recordCount && match[i] == NULL; r++) {
            if (!taken[r] && SameBytes(&entries[i], &records[r])) {
                match[i] = &records[r];
                taken[r] = 1;
            }
        }
    }
}
