// Fuzzes the settings file reader. Accepted files must leave every list name
// ending inside its field and must survive a write and a second read.
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include "core/format.h"

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    SetScrambleMask(ScrambleMaskValue);
    return 0;
}

static void checkRoundTrip(const SettingsRecord &record)
{
    for (const ListState &list : record.lists)
        if (memchr(list.listName, 0, ListNameSize) == nullptr)
            abort();
    unsigned char file[SettingsFileSize];
    EncodeSettingsFile(&record, file);
    SettingsRecord again;
    memset(&again, 0xCC, sizeof again);
    if (DecodeSettingsFile(file, sizeof file, &again) != 1)
        abort();
    if (memcmp(&record, &again, sizeof record) != 0)
        abort();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    SettingsRecord record;
    memset(&record, 0xCC, sizeof record);
    SettingsRecord before = record;
    if (DecodeSettingsFile(data, size, &record))
        checkRoundTrip(record);
    else if (memcmp(&record, &before, sizeof record) != 0)
        abort(); // a rejected file changed the record

    // The same bytes taken as a record: whatever it holds, writing it and
    // reading it back gives it again, apart from the cut name fields.
    if (size >= SettingsRecordSize) {
        SettingsRecord raw;
        memcpy(&raw, data, SettingsRecordSize);
        unsigned char file[SettingsFileSize];
        EncodeSettingsFile(&raw, file);
        SettingsRecord decoded;
        if (DecodeSettingsFile(file, sizeof file, &decoded) != 1)
            abort();
        for (ListState &list : raw.lists)
            list.listName[ListNameSize - 1] = 0;
        if (memcmp(&raw, &decoded, sizeof raw) != 0)
            abort();
    }
    return 0;
}
