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

size_t StartCompanion(CompanionWriter *writer, unsigned char out[CompanionHeaderSize])
{
    PutU32(out, CompanionMagic);
    out[4] = (unsigned char)CompanionVersion;
    out[5] = 0;
    out[6] = 0;
    out[7] = 0;
    writer->count = 0;
    writer->nextPosition = 0;
    writer->crc = CompanionCrc(0, out, CompanionHeaderSize);
    return CompanionHeaderSize;
}

// The checks the encoder and the decoder share, on plain (unscrambled) texts.
static int RecordTextsValid(const char *ansi, uint32_t ansiLength, const char *utf8, uint32_t utf8Length)
{
    if (ansiLength == 0 || ansiLength > ListEntryWriteLimit || utf8Length == 0 || utf8Length > TextEntryMaxBytes)
        return 0;
    if (memchr(ansi, 0, ansiLength) != NULL)
        return 0;
    return IsStrictUtf8((const unsigned char *)utf8, utf8Length);
}

size_t EncodeCompanionRecord(CompanionWriter *writer, uint32_t position, const char *ansi, uint32_t ansiLength,
                             const char *utf8, uint32_t utf8Length, unsigned char *out, size_t outSize)
{
    if (ansi == NULL || utf8 == NULL || out == NULL || position < writer->nextPosition ||
        position == UINT32_MAX || !RecordTextsValid(ansi, ansiLength, utf8, utf8Length))
        return 0;
    size_t size = (size_t)CompanionRecordHeaderSize + ansiLength + utf8Length;
    if (outSize < size)
        return 0;
    PutU32(out, position);
    PutU32(out + 4, ansiLength);
    PutU32(out + 8, utf8Length);
    unsigned char *text = out + CompanionRecordHeaderSize;
    memcpy(text, ansi, ansiLength);
    ScrambleBytes(text, ansiLength, (int32_t)ansiLength);
    memcpy(text + ansiLength, utf8, utf8Length);
    ScrambleBytes(text + ansiLength, utf8Length, (int32_t)utf8Length);
    writer->crc = CompanionCrc(writer->crc, out, size);
    writer->count++;
    writer->nextPosition = position + 1;
    return size;
}

size_t FinishCompanion(CompanionWriter *writer, unsigned char out[CompanionTrailerSize])
{
    PutU32(out, writer->count);
    PutU32(out + 4, CompanionCrc(writer->crc, out, 4));
    return CompanionTrailerSize;
}

uint32_t CompanionCountOf(const unsigned char *bytes, size_t size)
{
    if (bytes == NULL || size < CompanionHeaderSize + CompanionTrailerSize)
        return 0;
    return GetU32(bytes + size - CompanionTrailerSize);
}

int DecodeCompanion(unsigned char *bytes, size_t size, CompanionRecord *records, size_t capacity, size_t *count)
{
    *count = 0;
    if (bytes == NULL || size < CompanionHeaderSize + CompanionTrailerSize)
        return 0;
    size_t end = size - CompanionTrailerSize;
    if (GetU32(bytes) != CompanionMagic || bytes[4] != CompanionVersion || bytes[5] != 0 ||
        GetU32(bytes + size - 4) != CompanionCrc(0, bytes, size - 4))
        return 0;
    uint32_t expected = GetU32(bytes + end);
    if (expected > capacity || (records == NULL && expected > 0))
        return 0;
    size_t position = CompanionHeaderSize, found = 0;
    uint32_t nextPosition = 0;
    while (position < end) {
        if (end - position < CompanionRecordHeaderSize || found == expected)
            return 0;
        const unsigned char *header = bytes + position;
        uint32_t entry = GetU32(header), ansiLength = GetU32(header + 4), utf8Length = GetU32(header + 8);
        position += CompanionRecordHeaderSize;
        if (entry < nextPosition || entry == UINT32_MAX || ansiLength > end - position ||
            utf8Length > end - position - ansiLength)
            return 0;
        char *ansi = (char *)bytes + position;
        char *utf8 = ansi + ansiLength;
        UnscrambleBytes(ansi, ansiLength, (int32_t)ansiLength);
        UnscrambleBytes(utf8, utf8Length, (int32_t)utf8Length);
        if (!RecordTextsValid(ansi, ansiLength, utf8, utf8Length))
            return 0;
        records[found].position = entry;
        records[found].ansi = ansi;
        records[found].ansiLength = ansiLength;
        records[found].utf8 = utf8;
        records[found].utf8Length = utf8Length;
        found++;
        nextPosition = entry + 1;
        position += (size_t)ansiLength + utf8Length;
    }
    if (found != expected)
        return 0;
    *count = found;
    return 1;
}

static int SameBytes(const CompanionKey *entry, const CompanionRecord *record)
{
    return entry->ansi != NULL && entry->length == record->ansiLength &&
           memcmp(entry->ansi, record->ansi, entry->length) == 0;
}

void MatchCompanion(const CompanionKey *entries, size_t entryCount, const CompanionRecord *records,
                    size_t recordCount, int32_t *match, unsigned char *taken)
{
    for (size_t i = 0; i < entryCount; i++)
        match[i] = -1;
    if (recordCount > 0)
        memset(taken, 0, recordCount);
    // An entry where its record left it takes it first, so that equal ANSI
    // forms (two names of the same length in a script the code page lacks)
    // keep their own texts while nothing moved.
    for (size_t r = 0; r < recordCount; r++) {
        uint32_t at = records[r].position;
        if (at < entryCount && match[at] < 0 && SameBytes(&entries[at], &records[r])) {
            match[at] = (int32_t)r;
            taken[r] = 1;
        }
    }
    // Entries another build moved find theirs by bytes alone.
    for (size_t i = 0; i < entryCount; i++) {
        for (size_t r = 0; r < recordCount && match[i] < 0; r++) {
            if (!taken[r] && SameBytes(&entries[i], &records[r])) {
                match[i] = (int32_t)r;
                taken[r] = 1;
            }
        }
    }
}
