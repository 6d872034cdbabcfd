// The companion file beside a list file: the Unicode text of exactly those
// entries whose text the list file's ANSI form cannot carry. Each set of
// records names the list file it was written with, so that the pair in
// step is read exactly; against a list file another build rewrote, a
// record is keyed by the entry's ANSI bytes, so that it never gives an entry
// a text written for other bytes. Plain C++ over bytes, no windows.h.
#ifndef VOMBLY_CORE_COMPANION_FORMAT_H
#define VOMBLY_CORE_COMPANION_FORMAT_H

#include <stddef.h>
#include <stdint.h>

#include "core/format.h"
#include "core/text_codec.h"

// The file, 32-bit and 16-bit values little-endian:
//   header      magic "VUNI" (4), version 1 (1), zero (1), generations G (2)
//   G times     list check (4): CRC-32 of the list file written with it,
//               list size (4), record count N (4), then N records:
//                 position (4), ANSI length A (4), UTF-8 length U (4),
//                 A bytes of ANSI text scrambled with selector A,
//                 U bytes of UTF-8 text scrambled with selector U
//   trailer     CRC-32 of every byte before it (4)
// G is 1 or 2: the newest first, then the one the list file on disk held
// while the newest was written. Within a generation positions rise; no text
// holds a zero byte; the UTF-8 is strict.
enum {
    CompanionMagic = 0x494E5556u, // "VUNI"
    CompanionVersion = 1,
    CompanionMaxGenerations = 2,
    CompanionHeaderSize = 8,
    CompanionGenerationHeaderSize = 12,
    CompanionTrailerSize = 4,
    CompanionRecordHeaderSize = 12,
    CompanionRecordMaxSize = CompanionRecordHeaderSize + ListEntryWriteLimit + TextEntryMaxBytes,
    // The smallest record: one byte of each text.
    CompanionRecordMinSize = CompanionRecordHeaderSize + 2
};

// One record: the texts are not zero-terminated.
struct CompanionRecord {
    uint32_t position;
    const char *ansi;
    uint32_t ansiLength;
    const char *utf8;
    uint32_t utf8Length;
};

// The records written with one list file.
struct CompanionGeneration {
    uint32_t listCheck; // CompanionCrc of the list file's bytes
    uint32_t listSize;
    const CompanionRecord *records;
    size_t count;
};

// CRC-32 (the one of zip and PNG), continued from `crc` (0 to start).
uint32_t CompanionCrc(uint32_t crc, const void *bytes, size_t length);

// The encoded size of these generations, or 0 when the encoder would refuse
// them: no generation or more than two, a text empty, too long or holding a
// zero byte, UTF-8 that is not strict, or positions that do not rise.
size_t CompanionSizeOf(const CompanionGeneration *generations, int count);

// Encodes into `out` (at least CompanionSizeOf bytes); returns the size, or 0.
size_t EncodeCompanion(const CompanionGeneration *generations, int count, unsigned char *out, size_t outSize);

// Decodes a whole companion. It unscrambles the texts in place, so `bytes`
// must stay as they are while the records are used; `records` needs room for
// size / CompanionRecordMinSize of them. Returns 1 with the generations (their
// records in `records`) and their count; returns 0 with *count 0 for damage
// of any kind: a wrong magic, version or check value, a generation or record
// out of bounds or out of order, or a text the encoder would refuse. After a
// 0 the bytes are no longer the file's.
int DecodeCompanion(unsigned char *bytes, size_t size, CompanionRecord *records, size_t capacity,
                    CompanionGeneration generations[CompanionMaxGenerations], int *count);

// One entry of the list file: its ANSI bytes, up to its first zero byte.
struct CompanionKey {
    const char *ansi;
    uint32_t length;
};

// Which record each of `entryCount` list-file entries takes its text from
// (match[i], or NULL to keep the list file's text). When a generation was
// written with this very list file (`listCheck`, `listSize`), its records
// are placed by position. Otherwise the newest generation's are matched by
// the entries' ANSI bytes: first the record at the entry's own position,
// then, for the entries left, the first record not yet taken. `taken` is
// scratch of as many bytes as the newest generation has records.
void MatchCompanion(const CompanionKey *entries, size_t entryCount, uint32_t listCheck, uint32_t listSize,
                    const CompanionGeneration *generations, int generationCount, const CompanionRecord **match,
                    unsigned char *taken);

#endif
