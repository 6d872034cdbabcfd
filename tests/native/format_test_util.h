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
#include "tests/common/settings_bytes.h"

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

// Appends the record of `text` to `out`.
inline void appendRecord(std::vector<unsigned char> &out, const std::string &text)
{
    bool ok = false;
    std::vector<unsigned char> record = encodeListFile({text}, &ok);
    ASSERT_TRUE(ok) << "text of " << text.size() << " bytes";
    out.insert(out.end(), record.begin(), record.end());
}

#endif
