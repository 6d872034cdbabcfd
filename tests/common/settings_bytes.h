// Settings records and settings-file images for the tests of every tree,
// made with the program's own encoders (core/format.h, core/options_format.h)
// and the current scramble mask. A test that wants a damaged file starts from
// these bytes and damages them itself, so that only the damage is its own.
#ifndef VOMBLY_TESTS_COMMON_SETTINGS_BYTES_H
#define VOMBLY_TESTS_COMMON_SETTINGS_BYTES_H

#include <stdint.h>
#include <stdio.h>
#include <string.h>
#include <vector>

#include "core/format.h"
#include "core/options_format.h"

// One list's name and remembered selection.
struct ListValues {
    const char *name;
    int32_t selection;
};

// The lists of the shipped default settings file.
inline constexpr ListValues DefaultListValues[3] = {
    {"List 1: Home and Personal Items", 0},
    {"List 2: Office and Work Items", 0},
    {"List 3: Other Items", 0},
};

// A record with these values and every other byte 0, so that its tail holds
// no options block and reads as the default options.
inline SettingsRecord settingsRecord(uint32_t activeList, int32_t sortEntries, int32_t minimiseAfterSelection,
                                     const ListValues (&lists)[3] = DefaultListValues)
{
    SettingsRecord record;
    memset(&record, 0, sizeof record);
    record.sortEntries = sortEntries;
    record.minimiseAfterSelection = minimiseAfterSelection;
    record.activeList = activeList;
    for (int i = 0; i < 3; i++) {
        snprintf(record.lists[i].listName, ListNameSize, "%s", lists[i].name);
        record.lists[i].listSelection = lists[i].selection;
    }
    return record;
}

// `record` with `options` written into its tail as the program writes them.
inline SettingsRecord withOptions(SettingsRecord record, const OptionsBlock &options)
{
    EncodeOptions(&options, record.reservedTail);
    return record;
}

// The settings file of `record`: SettingsFileSize bytes, which verify only
// while the scramble mask is in place.
inline std::vector<unsigned char> settingsFileBytes(const SettingsRecord &record)
{
    std::vector<unsigned char> bytes(SettingsFileSize);
    EncodeSettingsFile(&record, bytes.data());
    return bytes;
}

#endif
