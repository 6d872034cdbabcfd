// Shared helpers of the format tests.
#ifndef VOMBLY_TESTS_FORMAT_TEST_UTIL_H
#define VOMBLY_TESTS_FORMAT_TEST_UTIL_H

#include <gtest/gtest.h>
#include <stdio.h>
#include <string.h>
#include <string>
#include <vector>

#include "store/format.h"
#include "tests/common/file_bytes.h"

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

// All records of a list file image, in order, until the first one that does
// not decode. *used gets the bytes taken by the decoded records.
inline std::vector<std::string> decodeAllRecords(const std::vector<unsigned char> &bytes, size_t *used = nullptr)
{
    std::vector<std::string> texts;
    std::vector<char> text(ListEntryBufferSize);
    size_t pos = 0, consumed = 0;
    while (DecodeListRecord(bytes.data() + pos, bytes.size() - pos, text.data(), &consumed)) {
        texts.emplace_back(text.data(), consumed - ListRecordHeaderSize);
        pos += consumed;
    }
    if (used)
        *used = pos;
    return texts;
}

inline void appendRecord(std::vector<unsigned char> &out, const std::string &text)
{
    std::vector<unsigned char> record(ListRecordHeaderSize + text.size());
    size_t n = EncodeListRecord(text.data(), (uint32_t)text.size(), record.data(), record.size());
    ASSERT_EQ(record.size(), n) << "text of " << text.size() << " bytes";
    out.insert(out.end(), record.begin(), record.end());
}

inline void appendLength(std::vector<unsigned char> &out, uint32_t length)
{
    for (int i = 0; i < 4; i++)
        out.push_back((unsigned char)(length >> (8 * i)));
}

#endif
