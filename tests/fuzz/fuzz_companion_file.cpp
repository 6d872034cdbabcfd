// Fuzzes the companion reader and the rule that matches its records: a file
// it accepts must write back to the very same bytes, and every match must
// pair an entry with a record of the same ANSI bytes, each record at most
// once. The input also serves as the list file's entries: its lines.
#include <stdint.h>
#include <stdlib.h>
#include <string.h>
#include <vector>

#include "core/companion_format.h"

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    SetScrambleMask(ScrambleMaskValue);
    return 0;
}

static unsigned char record[CompanionRecordMaxSize];

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    std::vector<unsigned char> bytes(data, data + size);
    uint32_t told = CompanionCountOf(bytes.data(), bytes.size());
    // A count no file of this size could hold is damage before any record.
    size_t capacity = told <= size / CompanionRecordMinSize ? told : 0;
    std::vector<CompanionRecord> records(capacity + 1);
    size_t count = 0;
    int ok = DecodeCompanion(bytes.data(), bytes.size(), records.data(), capacity, &count);
    if (!ok && count != 0)
        abort();

    if (ok) {
        std::vector<unsigned char> again(CompanionHeaderSize);
        CompanionWriter writer;
        StartCompanion(&writer, again.data());
        for (size_t i = 0; i < count; i++) {
            const CompanionRecord &r = records[i];
            size_t n = EncodeCompanionRecord(&writer, r.position, r.ansi, r.ansiLength, r.utf8, r.utf8Length, record,
                                             sizeof record);
            if (n == 0)
                abort(); // the decoder accepted a record the encoder refuses
            again.insert(again.end(), record, record + n);
        }
        unsigned char trailer[CompanionTrailerSize];
        FinishCompanion(&writer, trailer);
        again.insert(again.end(), trailer, trailer + CompanionTrailerSize);
        if (again.size() != size || memcmp(again.data(), data, size) != 0)
            abort();
    } else {
        // Records of the raw input, the way a damaged-but-near file might
        // look, so that the matcher meets arbitrary positions and texts.
        count = 0;
        for (size_t at = 0; at + 6 <= size && count < 64; at += 6) {
            records.resize(count + 1);
            records[count].position = data[at] % 16;
            records[count].ansi = (const char *)data + at + 1;
            records[count].ansiLength = data[at + 1] % 3;
            records[count].utf8 = (const char *)data + at + 4;
            records[count].utf8Length = 1;
            count++;
        }
    }

    std::vector<CompanionKey> entries;
    for (size_t start = 0, i = 0; i <= size; i++) {
        if (i == size || data[i] == '\n') {
            entries.push_back({(const char *)data + start, (uint32_t)(i - start)});
            start = i + 1;
        }
    }
    std::vector<int32_t> match(entries.size());
    std::vector<unsigned char> taken(count + 1);
    MatchCompanion(entries.data(), entries.size(), records.data(), count, match.data(), taken.data());
    std::vector<unsigned char> seen(count + 1, 0);
    for (size_t i = 0; i < entries.size(); i++) {
        if (match[i] < 0)
            continue;
        if ((size_t)match[i] >= count || seen[(size_t)match[i]]++)
            abort();
        const CompanionRecord &r = records[(size_t)match[i]];
        if (r.ansiLength != entries[i].length || memcmp(r.ansi, entries[i].ansi, r.ansiLength) != 0)
            abort();
    }
    return 0;
}
