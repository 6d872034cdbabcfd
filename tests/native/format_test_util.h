// Shared helpers of the format tests.
#ifndef VOMBLY_TESTS_FORMAT_TEST_UTIL_H
#define VOMBLY_TESTS_FORMAT_TEST_UTIL_H

#include <gtest/gtest.h>
#include <stdio.h>
#include <string.h>
#include <string>
#include <vector>

#include "core/format.h"
#include "tests/common/file_bytes.h"
#include "tests/common/list_bytes.h"

// Every file is read and written with the mask in place; put it there for
// each test and put back whatever was there before.
struct MaskInPlace : ::testing::Test {
    uint32_t savedMask = 0;
    void SetUp() override
    {
        savedMask = GetScrambleMask();
        SetScrambleMask(ScrambleMaskValue);
    }
    void TearDown() override { SetScrambleMask(savedMask); }
};

struct ListValues {
    const char *name;
    int32_t selection;
};

// A record with these values and every other byte 0.
inline SettingsRecord settingsRecordOf(int32_t sortEntries, int32_t minimiseAfterSelection, uint32_t activeList,
                                       const ListValues (&lists)[3])
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

// Appends the record of `text` to `out`.
inline void appendRecord(std::vector<unsigned char> &out, const std::string &text)
{
    bool ok = false;
    std::vector<unsigned char> record = encodeListFile({text}, &ok);
    ASSERT_TRUE(ok) << "text of " << text.size() << " bytes";
    out.insert(out.end(), record.begin(), record.end());
}

#endif
