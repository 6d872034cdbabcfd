// Fuzzes the companion reader and the rule that matches its records: a file
// it accepts must write back to the very same bytes, and every match must
// pair an entry with a record of the same ANSI bytes. The input also serves
// as the list file's entries: its lines.
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

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    std::vector<unsigned char> bytes(data, data + size);
    std::vector<CompanionRecord> records(size / CompanionRecordMinSize + 1);
    CompanionGeneration generations[CompanionMaxGenerations];
    int count = 0;
    int ok = DecodeCompanion(bytes.data(), bytes.size(), records.data(), records.size(), generations, &count);
    if (!ok && count != 0)
        abort();

    if (ok) {
        std::vector<unsigned char> again(size + 1);
        if (EncodeCompanion(generations, count, again.data(), again.size()) != size ||
            memcmp(again.data(), data, size) != 0)
            abort(); // accepted, but not what the encoder writes for it
    } else {
        // Records of the raw input, the way a damaged-but-near file might
        // look, so that the matcher meets arbitrary positions and texts.
        size_t made = 0;
        for (size_t at = 0; at + 6 <= size && made < records.size(); at += 6) {
            records[made].position = data[at] % 16;
            records[made].ansi = (const char *)data + at + 1;
            records[made].ansiLength = data[at + 1] % 3;
            records[made].utf8 = (const char *)data + at + 4;
            records[made].utf8Length = 1;
            made++;
        }
        generations[0] = {size > 0 ? data[0] : 0u, (uint32_t)(size % 5), records.data(), made};
        count = 1;
    }

    std::vector<CompanionKey> entries;
    for (size_t start = 0, i = 0; i <= size; i++) {
        if (i == size || data[i] == '\n') {
            entries.push_back({(const char *)data + start, (uint32_t)(i - start)});
            start = i + 1;
        }
    }
    // Checked against both a list file the generations were written with
    // and one they were not.
    for (int same = 0; same < 2; same++) {
        uint32_t check = same ? generations[count - 1].listCheck : ~generations[0].listCheck;
        uint32_t listSize = same ? generations[count - 1].listSize : 0;
        std::vector<const CompanionRecord *> match(entries.size());
        std::vector<unsigned char> taken(generations[0].count + 1);
        MatchCompanion(entries.data(), entries.size(), check, listSize, generations, count, match.data(),
                       taken.data());
        std::vector<const CompanionRecord *> seen;
        for (size_t i = 0; i < entries.size(); i++) {
            const CompanionRecord *r = match[i];
            if (r == NULL)
                continue;
            for (const CompanionRecord *other : seen) {
                if (other == r)
                    abort(); // one record given to two entries
            }
            seen.push_back(r);
            if (r->ansiLength != entries[i].length || memcmp(r->ansi, entries[i].ansi, r->ansiLength) != 0)
                abort();
        }
    }
    return 0;
}
