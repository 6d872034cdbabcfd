// The byte formats of the settings file and the list files: the settings
// record layout, the check value, the byte scrambler and its tables, and the
// encoders and decoders of both files. Plain C++ over bytes, no windows.h.
#ifndef VOMBLY_CORE_FORMAT_H
#define VOMBLY_CORE_FORMAT_H

#include <stddef.h>
#include <stdint.h>
#include <stdio.h>

// A list name field holds at most 63 characters and its terminating NUL.
enum { ListNameSize = 64 };

struct ListState {
    char listName[ListNameSize];
    int32_t listSelection;
};

// The memory image of the record is the file format: 32-bit little-endian
// integers, 8-bit texts, no gaps. Offsets are pinned in format.cpp.
struct SettingsRecord {
    uint32_t reservedHead;
    int32_t sortEntries;
    int32_t minimiseAfterSelection;
    uint32_t activeList;
    ListState lists[3];
    unsigned char reservedTail[1028];
};

enum {
    SettingsRecordSize = 1248,
    SettingsFileSize = 1250,
    // Texts longer than this are never written to a list file: every text
    // the decoders accept is written back whole.
    ListEntryWriteLimit = 4009,
    // One entry's text with its terminating zero must fit this buffer.
    ListEntryBufferSize = 4010,
    ListRecordHeaderSize = 4
};

extern const uint16_t SettingsCheckSeed;   // 0x1331
extern const uint32_t ScrambleMaskValue;   // the value put in place at start
extern const unsigned char ScrambleTables[8][256];
extern const unsigned char UnscrambleTables[8][256];

// scrambleMask is zero until the program puts it in place; every file is
// read and written with the same non-zero value.
uint32_t GetScrambleMask(void);
void SetScrambleMask(uint32_t mask);

// One step of the check value: the two bytes of the state are two separate
// 8-bit registers, each shifted once per input byte.
uint16_t CheckStep(uint16_t state, unsigned char byte);

// Check value over a byte range. Returns 1 and stores the value; returns 0
// and leaves *checkValue untouched while scrambleMask is not in place.
int ComputeCheckValue(const void *bytes, uint32_t length, uint16_t seed, uint16_t *checkValue);

// Scramble or unscramble in place with table (selector & 7); positions count
// from 0 at the start of every call. Return the length processed.
uint32_t ScrambleBytes(void *buffer, uint32_t length, int32_t selector);
uint32_t UnscrambleBytes(void *buffer, uint32_t length, int32_t selector);

// Settings file: the scrambled record followed by its check value. Encoding
// does not change the record; before the mask is in place it writes zeros,
// which never verify. Decoding accepts the first SettingsFileSize
// bytes when the check value verifies, copies them into *record, makes every
// list name end within its field, and returns 1; otherwise 0 and *record is
// left alone.
void EncodeSettingsFile(const SettingsRecord *record, unsigned char file[SettingsFileSize]);
int DecodeSettingsFile(const unsigned char *file, size_t length, SettingsRecord *record);

// List files: records of a 32-bit little-endian length L followed by L text
// bytes scrambled with selector L.
//
// EncodeListRecord writes one record for a text of `length` bytes into `out`
// (outSize must be at least ListRecordHeaderSize + length) and returns the
// bytes written, or 0 when the text is longer than ListEntryWriteLimit or
// does not fit.
size_t EncodeListRecord(const char *text, uint32_t length, unsigned char *out, size_t outSize);

// DecodeListRecord reads the record at the start of `bytes`. On success it
// fills `text` (ListEntryBufferSize bytes, zero-filled first, so the text
// ends at its first zero byte), stores the record's size in *consumed and
// returns 1. It returns 0, with *consumed 0, for the end of the data, a
// record cut short, or a length above ListEntryBufferSize - 1.
int DecodeListRecord(const unsigned char *bytes, size_t available, char text[ListEntryBufferSize], size_t *consumed);

// The same for an open stream, record by record: returns 1 with the text in
// `text`, or 0 at the end of the file or at the first damaged record.
int ReadListRecord(FILE *file, char text[ListEntryBufferSize]);

#endif
