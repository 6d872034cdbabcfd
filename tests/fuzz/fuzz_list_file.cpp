// Fuzzes the list file reader: records are decoded one after another, each
// accepted one must write back to the very same bytes, and reading the data
// as a stream must give the same records.
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "core/format.h"

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    SetScrambleMask(ScrambleMaskValue);
    return 0;
}

static char text[ListEntryBufferSize];
static char streamText[ListEntryBufferSize];
static unsigned char encoded[ListRecordHeaderSize + ListEntryBufferSize];

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // The stream reader must walk the same records as the memory decoder.
    FILE *stream = size ? fmemopen((void *)data, size, "rb") : nullptr;

    size_t pos = 0, consumed = 0;
    while (DecodeListRecord(data + pos, size - pos, text, &consumed)) {
        size_t length = consumed - ListRecordHeaderSize;
        if (consumed < ListRecordHeaderSize || length >= ListEntryBufferSize || consumed > size - pos)
            abort();
        for (size_t i = length; i < ListEntryBufferSize; i++)
            if (text[i] != 0)
                abort(); // text beyond the record was not cleared

        if (length <= ListEntryWriteLimit) {
            size_t n = EncodeListRecord(text, (uint32_t)length, encoded, sizeof encoded);
            if (n != consumed || memcmp(encoded, data + pos, n) != 0)
                abort();
            static char again[ListEntryBufferSize];
            size_t againConsumed = 0;
            if (!DecodeListRecord(encoded, n, again, &againConsumed) || againConsumed != n ||
                memcmp(again, text, ListEntryBufferSize) != 0)
                abort();
        }

        if (stream && (!ReadListRecord(stream, streamText) || memcmp(streamText, text, ListEntryBufferSize) != 0))
            abort();
        pos += consumed;
    }
    if (consumed != 0)
        abort(); // a refused record still reported a size

    if (stream) {
        if (ReadListRecord(stream, streamText))
            abort(); // the stream found a record the decoder refused
        fclose(stream);
    }
    return 0;
}
