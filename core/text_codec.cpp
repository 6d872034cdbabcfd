#include "core/text_codec.h"

#include <string.h>

const unsigned char TextBom[TextBomSize] = {0xEF, 0xBB, 0xBF};

static int HasBom(const unsigned char *bytes, size_t size)
{
    return size >= TextBomSize && memcmp(bytes, TextBom, TextBomSize) == 0;
}

int TextEntryNeedsQuotes(const char *text, size_t length)
{
    // An empty entry would be a blank line, which readers skip; spaces at
    // either end are what a person editing the file loses first.
    if (length == 0 || text[0] == ' ' || text[length - 1] == ' ')
        return 1;
    for (size_t i = 0; i < length; i++) {
        char c = text[i];
        if (c == '\r' || c == '\n' || c == '\t' || c == '"' || c == ',')
            return 1;
    }
    return 0;
}

size_t EncodeTextLine(const char *text, size_t length, char *out, size_t outSize)
{
    int quoted = TextEntryNeedsQuotes(text, length);
    size_t needed = length + 2;
    if (quoted) {
        needed += 2;
        for (size_t i = 0; i < length; i++)
            needed += text[i] == '"';
    }
    if (outSize < needed)
        return 0;
    size_t n = 0;
    if (quoted)
        out[n++] = '"';
    for (size_t i = 0; i < length; i++) {
        if (quoted && text[i] == '"')
            out[n++] = '"';
        out[n++] = text[i];
    }
    if (quoted)
        out[n++] = '"';
    out[n++] = '\r';
    out[n++] = '\n';
    return n;
}

// The length of the well-formed UTF-8 sequence at `bytes`, or 0.
static size_t Utf8SequenceLength(const unsigned char *bytes, size_t available)
{
    unsigned char lead = bytes[0];
    if (lead < 0x80)
        return 1;
    size_t length;
    unsigned char low = 0x80, high = 0xBF; // range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0)
            low = 0xA0;  // overlong below U+0800
        else if (lead == 0xED)
            high = 0x9F; // UTF-16 surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0)
            low = 0x90;  // overlong below U+10000
        else if (lead == 0xF4)
            high = 0x8F; // above U+10FFFF
    } else {
        return 0;
    }
    if (available < length || bytes[1] < low || bytes[1] > high)
        return 0;
    for (size_t i = 2; i < length; i++) {
        if (bytes[i] < 0x80 || bytes[i] > 0xBF)
            return 0;
    }
    return length;
}

TextFileKind CheckTextFile(const unsigned char *bytes, size_t size)
{
    size_t position = HasBom(bytes, size) ? TextBomSize : 0;
    if (position == size)
        return TextFileEmpty;
    while (position < size) {
        if (bytes[position] == 0)
            return TextFileNotText;
        size_t length = Utf8SequenceLength(bytes + position, size - position);
        if (length == 0)
            return TextFileNotText;
        position += length;
    }
    return TextFileOk;
}

int IsStrictUtf8(const unsigned char *bytes, size_t size)
{
    for (size_t position = 0; position < size;) {
        size_t length = bytes[position] != 0 ? Utf8SequenceLength(bytes + position, size - position) : 0;
        if (length == 0)
            return 0;
        position += length;
    }
    return 1;
}

void StartTextReader(TextReader *reader, const unsigned char *bytes, size_t size)
{
    reader->bytes = bytes;
    reader->size = size;
    reader->position = HasBom(bytes, size) ? TextBomSize : 0;
    reader->line = 1;
}

// The length of the line break at `position`, or 0: LF, CR LF, CR CR LF
// (left by a CR LF converted once more) and a lone CR (old Mac files) each
// end one line.
static size_t LineBreakAt(const TextReader *reader, size_t position)
{
    const unsigned char *bytes = reader->bytes;
    size_t size = reader->size;
    if (position >= size)
        return 0;
    if (bytes[position] == '\n')
        return 1;
    if (bytes[position] != '\r')
        return 0;
    if (position + 1 < size && bytes[position + 1] == '\n')
        return 2;
    if (position + 2 < size && bytes[position + 1] == '\r' && bytes[position + 2] == '\n')
        return 3;
    return 1;
}

// Where the line that holds `position` ends: its first CR or LF, or the end.
static size_t LineEndFrom(const TextReader *reader, size_t position)
{
    while (position < reader->size && reader->bytes[position] != '\n' && reader->bytes[position] != '\r')
        position++;
    return position;
}

// Passes over a badly quoted field: reading goes on with the line after
// the one that holds `at`, so a field with text after its closing quote
// costs its own lines, and one that never closes costs its first line.
static TextEntryResult SkipBadField(TextReader *reader, char *text, size_t at, uint32_t linesInside)
{
    text[0] = '\0';
    size_t end = LineEndFrom(reader, at);
    reader->position = end + LineBreakAt(reader, end);
    reader->line += linesInside + 1;
    return TextEntryBadQuotes;
}

TextEntryResult ReadTextEntry(TextReader *reader, char *text, size_t *length, uint32_t *line)
{
    const unsigned char *bytes = reader->bytes;
    size_t size = reader->size;
    for (size_t blank; (blank = LineBreakAt(reader, reader->position)) != 0;) {
        reader->position += blank;
        reader->line++;
    }
    *length = 0;
    text[0] = '\0';
    *line = reader->line;
    if (reader->position >= size)
        return TextEntryEnd;

    size_t n = 0;
    int tooLong = 0;
    size_t p = reader->position;
    uint32_t linesInside = 0;
    if (bytes[p] == '"') {
        p++;
        for (;;) {
            if (p >= size)
                return SkipBadField(reader, text, reader->position, 0);
            unsigned char c = bytes[p];
            if (c == '"') {
                if (p + 1 < size && bytes[p + 1] == '"') {
                    p++;
                } else {
                    p++;
                    break;
                }
            } else if (c == '\n' || (c == '\r' && LineBreakAt(reader, p) != 2 && LineBreakAt(reader, p) != 3)) {
                // Each line break counts once, whichever bytes make it.
                linesInside++;
            }
            if (n < TextEntryMaxBytes)
                text[n++] = (char)c;
            else
                tooLong = 1;
            p++;
        }
        size_t lineBreak = LineBreakAt(reader, p);
        if (lineBreak == 0 && p < size)
            return SkipBadField(reader, text, p, linesInside);
        reader->position = p + lineBreak;
        reader->line += linesInside + 1;
    } else {
        size_t end = LineEndFrom(reader, p);
        reader->position = end + LineBreakAt(reader, end);
        reader->line++;
        size_t count = end - p;
        if (count > TextEntryMaxBytes) {
            tooLong = 1;
            count = TextEntryMaxBytes;
        }
        memcpy(text, bytes + p, count);
        n = count;
    }
    if (tooLong) {
        text[0] = '\0';
        return TextEntryTooLong;
    }
    text[n] = '\0';
    *length = n;
    return TextEntryRead;
}
