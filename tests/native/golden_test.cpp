// Golden files: a settings file and a list file written once and committed.
// They pin the record layout, check value, mask and tables for good; if one
// of these tests fails, existing users' files would no longer read.
#include <gtest/gtest.h>
#include <string.h>
#include <string>
#include <vector>

#include "format_test_util.h"

namespace {

struct GoldenFileTest : MaskInPlace {};

const std::string fixturesDir = VOMBLY_FIXTURES_DIR;

SettingsRecord goldenRecord()
{
    SettingsRecord record = settingsRecord(2, 1, 0, {{"Addresses", 0}, {"Replies", 3}, {"Code snippets", -1}});
    record.reservedTail[0] = 0x5A;
    record.reservedTail[1027] = 0xA5;
    return record;
}

std::vector<std::string> goldenEntries()
{
    return {
        "Hello, world",
        "",
        "Tab\there & <angle> \"quotes\"",
        "caf\xE9 \xA3" "5 \x80",
        "A somewhat longer line that runs past the first few key cycles of the scrambler.",
    };
}

TEST_F(GoldenFileTest, SettingsFile)
{
    const std::vector<unsigned char> fixture = readFileBytes(fixturesDir + "/settings_golden.cfg");
    ASSERT_EQ((size_t)SettingsFileSize, fixture.size()) << "missing or damaged fixture";

    const SettingsRecord expected = goldenRecord();
    SettingsRecord decoded;
    memset(&decoded, 0xCC, sizeof decoded);
    ASSERT_EQ(1, DecodeSettingsFile(fixture.data(), fixture.size(), &decoded));
    EXPECT_EQ(0, memcmp(&expected, &decoded, sizeof decoded));
    EXPECT_STREQ("Code snippets", decoded.lists[2].listName);
    EXPECT_EQ(-1, decoded.lists[2].listSelection);
    EXPECT_EQ(2u, decoded.activeList);

    EXPECT_EQ(fixture, settingsFileBytes(expected));
}

TEST_F(GoldenFileTest, ListFile)
{
    const std::vector<unsigned char> fixture = readFileBytes(fixturesDir + "/list_golden.dat");
    ASSERT_FALSE(fixture.empty()) << "missing fixture";

    size_t used = 0;
    EXPECT_EQ(goldenEntries(), decodeListFile(fixture, &used));
    EXPECT_EQ(fixture.size(), used);

    std::vector<unsigned char> encoded;
    for (const std::string &entry : goldenEntries())
        appendRecord(encoded, entry);
    EXPECT_EQ(fixture, encoded);
}

} // namespace
