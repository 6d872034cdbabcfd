// The companion file beside a list file: the Unicode text of exactly those
// entries whose text the list file's ANSI form cannot carry, keyed by the
// entry's ANSI bytes so that a stale companion never gives an entry another
// entry's text. Plain C++ over bytes, no windows.h.
#ifndef VOMBLY_CORE_COMPANION_FORMAT_H
#define VOMBLY_CORE_COMPANION_FORMAT_H

#include <stddef.h>
#include <stdint.h>

#include "core/format.h"
#include "core/text_codec.h"

// The file, 32-bit and 16-bit values little-endian:
//   header   magic "VUNI" (4), version 1 (2), zero (2)
//   records  position (4), ANSI length A (4), UTF-8 length U (4),
//            A bytes of ANSI text scrambled with selector A,
//            U bytes of UTF-8 text scrambled with selector U
//   trailer  record count (4), CRC-32 of every byte before it (4)
// Records come in rising position order; no text holds a zero byte; the
// UTF-8 is strict (no overlong forms, no surrogates).
enum {
    CompanionMagic = 0x494E5556u, // "VUNI"
    CompanionVersion = 1,
    CompanionHeaderSize = 8,
    CompanionTrailerSize = 8,
    CompanionRecordHeaderSize = 12,
    CompanionRecordMaxSize = CompanionRecordHeaderSize + ListEntryWriteLimit + TextEntryMaxBytes,
    // The smallest record: one byte of each text.
    CompanionRecordMinSize = CompanionRecordHeaderSize + 2
};

// One record as decoded: the texts point into the decoded bytes and are not
// zero-terminated.
struct CompanionRecord {
    uint32_t position;
    const char *ansi;
    uint32_t ansiLength;
    const char *utf8;
    uint32_t utf8Length;
};

// CRC-32 (the one of zip and PNG), continued from `crc` (0 to start).
uint32_t CompanionCrc(uint32_t crc, const void *bytes, size_t length);

// Writes a companion piece by piece, keeping the count and check value.
struct CompanionWriter {
    uint32_t count;
    uint32_t crc;
    uint32_t nextPosition; // a record's position must be at least this
};

// The header into `out`; returns CompanionHeaderSize.
size_t StartCompanion(CompanionWriter *writer, unsigned char out[CompanionHeaderSize]);

// One record into `out`; returns its size, or 0 (the writer unchanged) when a
// text is empty, too long or holds a zero byte, the UTF-8 is not strict, the
// position is below the last one's or `outSize` is too small.
size_t EncodeCompanionRecord(CompanionWriter *writer, uint32_t position, const char *ansi, uint32_t ansiLength,
                             const char *utf8, uint32_t utf8Length, unsigned char *out, size_t outSize);

// The trailer into `out`; returns CompanionTrailerSize.
size_t FinishCompanion(CompanionWriter *writer, unsigned char out[CompanionTrailerSize]);

// The record count a whole companion says it holds (0 when it is too short to
// say); what a reader sizes its records for before DecodeCompanion.
uint32_t CompanionCountOf(const unsigned char *bytes, size_t size);

// Decodes a whole companion. It unscrambles the texts in place, so `bytes`
// must stay as they are while the records are used. Returns 1 with
// *count records in `records` (`capacity` of them at least
// CompanionCountOf); returns 0 with *count 0 for damage of any kind: a wrong
// magic, version or check value, a record out of bounds or out of order,
// a text the encoder would refuse, or a count that differs. After a 0 the
// bytes are no longer the file's.
int DecodeCompanion(unsigned char *bytes, size_t size, CompanionRecord *records, size_t capacity, size_t *count);

// One entry of the list file: its ANSI bytes, up to its first zero byte.
struct CompanionKey {
    const char *ansi;
    uint32_t length;
};

// Which record each of `entryCount` list-file entries takes its text from.
// An entry takes a record only when their ANSI bytes are equal: first the
// record at the entry's own position, then, for the entries left, the first
// record not yet taken. match[i] is the record's index, or -1 when entry i
// keeps the list file's text. `taken` is scratch of `recordCount` bytes.
void MatchCompanion(const CompanionKey *entries, size_t entryCount, const CompanionRecord *records,
                    size_t recordCount, int32_t *match, unsigned char *taken);

#endif
