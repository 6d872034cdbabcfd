// The plain-text form of a list: UTF-8 with a byte order mark, one entry
// per line, CSV quoting for entries a plain line cannot carry. Plain C++ over bytes, no windows.h.
#ifndef VOMBLY_CORE_TEXT_CODEC_H
#define VOMBLY_CORE_TEXT_CODEC_H

#include <stddef.h>
#include <stdint.h>

#include "core/format.h"

// The form, for writers and readers alike:
// - The file starts with the UTF-8 byte order mark EF BB BF; a reader takes
//   a file with or without it.
// - Each entry is one line, ended by CR LF; a reader also takes LF alone,
//   a lone CR, and CR CR LF as one line end.
//   Blank lines are skipped.
// - An entry that is empty, holds a CR, LF, tab, double quote or comma, or
//   starts or ends with a space is written as a quoted field: a double quote,
//   the text with every double quote doubled, and a closing double quote.
//   Line breaks inside the quotes belong to the entry, byte for byte.
// - A line that starts with a double quote is read as a quoted field; any
//   other line is taken as it stands, commas and quotes included.
enum {
    TextBomSize = 3,
    // An entry of the longest size a list keeps, ListEntryWriteLimit bytes
    // in the ANSI code page, needs at most three UTF-8 bytes per byte. A
    // longer UTF-8 entry can never fit, so readers stop copying there.
    TextEntryMaxBytes = 3 * ListEntryWriteLimit,
    TextEntryBufferSize = TextEntryMaxBytes + 1,
    // Worst case of one written line: every byte a doubled quote, two
    // quotes around, CR LF.
    TextLineMaxBytes = 2 * TextEntryMaxBytes + 4
};

extern const unsigned char TextBom[TextBomSize];

// 1 when `length` bytes of UTF-8 entry text have to be written quoted.
int TextEntryNeedsQuotes(const char *text, size_t length);

// Writes one entry as a line, with its CR LF, into `out`. Returns the bytes
// written, or 0 when `outSize` is too small (2 * length + 4 always fits).
size_t EncodeTextLine(const char *text, size_t length, char *out, size_t outSize);

// What a whole file is, before any entry is read.
enum TextFileKind {
    TextFileOk = 0,
    TextFileEmpty = 1,    // no bytes, or only the byte order mark
    TextFileNotText = 2   // a zero byte, or bytes that are not UTF-8
};
// Checks the whole file: strict UTF-8 (no overlong forms, no surrogates,
// nothing above U+10FFFF) and no zero byte.
TextFileKind CheckTextFile(const unsigned char *bytes, size_t size);

// 1 when `size` bytes are strict UTF-8 as CheckTextFile takes it, with no
// zero byte; a byte order mark is a character like any other here.
int IsStrictUtf8(const unsigned char *bytes, size_t size);

// Reads a file's entries one after another. The bytes must stay valid while
// it reads.
struct TextReader {
    const unsigned char *bytes;
    size_t size;
    size_t position;
    uint32_t line; // the line the next entry starts on, from 1
};

void StartTextReader(TextReader *reader, const unsigned char *bytes, size_t size);

enum TextEntryResult {
    TextEntryEnd = 0,      // no more entries
    TextEntryRead = 1,     // the entry is in the buffer
    TextEntryTooLong = 2,  // longer than TextEntryMaxBytes; passed over
    TextEntryBadQuotes = 3 // a quoted field whose quote is not closed (the
                           // reader goes on at the line after its first one),
                           // or that has text after its closing quote (the
                           // reader goes on after the line of that quote)
};

// The next entry: its text, zero-terminated, into `text` (at least
// TextEntryBufferSize bytes) with its length in *length, and in *line the
// line it starts on. Blank lines are passed over.
TextEntryResult ReadTextEntry(TextReader *reader, char *text, size_t *length, uint32_t *line);

#endif
