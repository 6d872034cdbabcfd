// Settings file: the scrambled 1248-byte record and its check value.
#include <gtest/gtest.h>
#include <string.h>
#include <vector>

#include "format_test_util.h"

namespace {

struct SettingsFileTest : MaskInPlace {};

SettingsRecord sampleRecord()
{
    SettingsRecord record = settingsRecord(2, 1, 1, {{"Home", 0}, {"Office", 12}, {"Other", 3}});
    // Reserved bytes travel with the record untouched.
    for (size_t i = 0; i < sizeof record.reservedTail; i += 97)
        record.reservedTail[i] = (unsigned char)(i | 1);
    return record;
}

SettingsRecord untouchedRecord()
{
    SettingsRecord record;
    memset(&record, 0xCC, sizeof record);
    return record;
}

bool isUntouched(const SettingsRecord &record)
{
    SettingsRecord marker = untouchedRecord();
    return memcmp(&marker, &record, sizeof record) == 0;
}

TEST_F(SettingsFileTest, RoundTripsTheRecordByteForByte)
{
    struct Case {
        const char *label;
        void (*adjust)(SettingsRecord &);
    } cases[] = {
        {"sample record", [](SettingsRecord &) {}},
        {"activeList 7", [](SettingsRecord &r) { r.activeList = 7; }},
        {"no selection", [](SettingsRecord &r) { r.lists[1].listSelection = -1; }},
        {"extremes",
         [](SettingsRecord &r) {
             r.sortEntries = INT32_MIN;
             r.minimiseAfterSelection = INT32_MAX;
             r.activeList = 0xFFFFFFFFu;
             r.lists[0].listSelection = INT32_MIN;
             r.lists[2].listSelection = -1;
         }},
        {"reserved head set", [](SettingsRecord &r) { r.reservedHead = 0xA5A55A5Au; }},
        {"all zero", [](SettingsRecord &r) { memset(&r, 0, sizeof r); }},
    };
    for (auto &c : cases) {
        SCOPED_TRACE(c.label);
        SettingsRecord record = sampleRecord();
        c.adjust(record);
        const SettingsRecord before = record;

        std::vector<unsigned char> file = settingsFileBytes(record);
        EXPECT_EQ(0, memcmp(&before, &record, sizeof record)) << "encoding changed the record";
        EXPECT_NE(0, memcmp(file.data(), &record, SettingsRecordSize)) << "record stored plain";

        // The check value of the plain record follows it, low byte first.
        uint16_t check = 0;
        ASSERT_EQ(1, ComputeCheckValue(&record, SettingsRecordSize, SettingsCheckSeed, &check));
        EXPECT_EQ(check & 0xFF, file[1248]);
        EXPECT_EQ(check >> 8, file[1249]);

        SettingsRecord decoded = untouchedRecord();
        ASSERT_EQ(1, DecodeSettingsFile(file.data(), file.size(), &decoded));
        EXPECT_EQ(0, memcmp(&record, &decoded, sizeof record));
        EXPECT_EQ(record.activeList, decoded.activeList);
        EXPECT_EQ(record.lists[1].listSelection, decoded.lists[1].listSelection);
    }
}

TEST_F(SettingsFileTest, AnySingleByteChangeFailsVerification)
{
    const std::vector<unsigned char> good = settingsFileBytes(sampleRecord());
    const unsigned char flips[] = {0x01, 0x10, 0x80, 0xFF};
    std::vector<size_t> accepted;
    for (size_t pos = 0; pos < SettingsRecordSize; pos++) {
        for (unsigned char flip : flips) {
            std::vector<unsigned char> bad = good;
            bad[pos] ^= flip;
            SettingsRecord record = untouchedRecord();
            if (DecodeSettingsFile(bad.data(), bad.size(), &record) != 0 || !isUntouched(record))
                accepted.push_back(pos);
        }
    }
    EXPECT_TRUE(accepted.empty()) << accepted.size() << " damaged files accepted, first at byte "
                                  << (accepted.empty() ? 0 : accepted[0]);
}

TEST_F(SettingsFileTest, LengthDecides)
{
    const std::vector<unsigned char> good = settingsFileBytes(sampleRecord());
    struct Case {
        const char *label;
        size_t length;
        int expected;
    } cases[] = {
        {"empty", 0, 0},
        {"one byte", 1, 0},
        {"record without check value", 1248, 0},
        {"one byte short", 1249, 0},
        {"exact", 1250, 1},
        {"one byte more", 1251, 1},
        {"much longer", 8192, 1},
    };
    for (auto &c : cases) {
        SCOPED_TRACE(c.label);
        // Whatever follows the first 1250 bytes is ignored.
        std::vector<unsigned char> bytes(c.length > good.size() ? c.length : good.size(), 0xAB);
        memcpy(bytes.data(), good.data(), good.size());
        SettingsRecord record = untouchedRecord();
        EXPECT_EQ(c.expected, DecodeSettingsFile(bytes.data(), c.length, &record));
        const SettingsRecord sample = sampleRecord();
        if (c.expected)
            EXPECT_EQ(0, memcmp(&sample, &record, sizeof record));
        else
            EXPECT_TRUE(isUntouched(record));
    }
}

TEST_F(SettingsFileTest, FullNameFieldIsCutToEndInsideIt)
{
    for (int list = 0; list < 3; list++) {
        SCOPED_TRACE(list);
        SettingsRecord record = sampleRecord();
        memset(record.lists[list].listName, 'N', ListNameSize);
        std::vector<unsigned char> file = settingsFileBytes(record);

        SettingsRecord decoded = untouchedRecord();
        ASSERT_EQ(1, DecodeSettingsFile(file.data(), file.size(), &decoded));
        EXPECT_EQ(0, decoded.lists[list].listName[63]);
        EXPECT_EQ(63u, strnlen(decoded.lists[list].listName, ListNameSize));

        // Nothing but that one byte differs.
        const unsigned char *a = (const unsigned char *)&record;
        const unsigned char *b = (const unsigned char *)&decoded;
        const size_t cut = (size_t)((const unsigned char *)&record.lists[list].listName[63] - a);
        for (size_t i = 0; i < sizeof record; i++) {
            if (i != cut && a[i] != b[i]) {
                ADD_FAILURE() << "byte " << i << " changed";
                break;
            }
        }
    }
}

TEST_F(SettingsFileTest, NothingIsReadOrWrittenWithoutTheMask)
{
    const std::vector<unsigned char> good = settingsFileBytes(sampleRecord());

    SetScrambleMask(0);
    SettingsRecord record = untouchedRecord();
    EXPECT_EQ(0, DecodeSettingsFile(good.data(), good.size(), &record));
    EXPECT_TRUE(isUntouched(record));
    const std::vector<unsigned char> early = settingsFileBytes(sampleRecord());

    // A file written before the mask was in place is never accepted later.
    SetScrambleMask(ScrambleMaskValue);
    EXPECT_EQ(0, DecodeSettingsFile(early.data(), early.size(), &record));
    EXPECT_TRUE(isUntouched(record));
    EXPECT_EQ(1, DecodeSettingsFile(good.data(), good.size(), &record));
}

} // namespace
