// Fuzzes the plain-text list reader: every file it accepts is walked to its
// end, every entry read writes back to a line that reads as the same entry,
// and a refused file is refused for a byte that is really not UTF-8 text.
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include "core/text_codec.h"

static char text[TextEntryBufferSize];
static char again[TextEntryBufferSize];
static char line[TextBomSize + TextLineMaxBytes];

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    TextFileKind kind = CheckTextFile(data, size);
    if (kind == TextFileEmpty && size > TextBomSize)
        abort();
    if (kind != TextFileOk)
        return 0;

    TextReader reader;
    StartTextReader(&reader, data, size);
    size_t lastPosition = reader.position;
    uint32_t lastLine = 0;
    for (;;) {
        size_t length = 0;
        uint32_t at = 0;
        TextEntryResult result = ReadTextEntry(&reader, text, &length, &at);
        if (result == TextEntryEnd)
            break;
        // Every entry moves the reader on, and lines only grow.
        if (reader.position <= lastPosition || reader.position > size || at <= lastLine)
            abort();
        lastPosition = reader.position;
        lastLine = at;
        if (result != TextEntryRead)
            continue;
        if (length > TextEntryMaxBytes || text[length] != '\0' || memchr(text, 0, length) != NULL)
            abort();

        // Written as a file is: after the byte order mark, which keeps an
        // entry that starts with one of its own.
        memcpy(line, TextBom, TextBomSize);
        size_t n = EncodeTextLine(text, length, line + TextBomSize, sizeof line - TextBomSize);
        if (n == 0)
            abort();
        n += TextBomSize;
        TextReader back;
        StartTextReader(&back, (const unsigned char *)line, n);
        size_t backLength = 0;
        uint32_t backLine = 0;
        if (ReadTextEntry(&back, again, &backLength, &backLine) != TextEntryRead || backLength != length ||
            memcmp(again, text, length) != 0 || back.position != n)
            abort();
    }
    return 0;
}
