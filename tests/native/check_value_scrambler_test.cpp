// Check value and byte scrambler.
#include <gtest/gtest.h>
#include <stdint.h>
#include <string.h>
#include <vector>

#include "format_test_util.h"

namespace {

struct CheckValueTest : MaskInPlace {};

TEST(CheckStep, RegistersShiftSeparatelyAndLogically)
{
    struct Case {
        const char *label;
        uint16_t state;
        unsigned char byte;
        uint16_t expected;
    } cases[] = {
        {"low register odd: feedback 0x59 into the low byte only", 0x0001, 0x00, 0x0059},
        {"high register odd: feedback 0xA6 into the high byte only", 0x0100, 0x00, 0xA600},
        {"low register bit 7 shifts down without sign fill", 0x0080, 0x00, 0x0040},
        {"high register bit 7 shifts down without sign fill", 0x8000, 0x00, 0x4000},
        {"the byte goes into both registers", 0x0000, 0x01, 0xA659},
        {"equal halves cancel the byte", 0xFFFF, 0xFF, 0x0000},
    };
    for (auto &c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(c.expected, CheckStep(c.state, c.byte));
    }
}

TEST_F(CheckValueTest, KnownValues)
{
    struct Case {
        const char *label;
        std::vector<unsigned char> bytes;
        uint16_t seed;
        uint16_t expected;
    } cases[] = {
        {"abc", {'a', 'b', 'c'}, 0x1331, 0x7423},
        {"empty range gives the seed", {}, 0x1331, 0x1331},
        {"high bytes", {0xFF, 0x80, 0x01, 0xFE}, 0x1331, 0xC759},
        {"digits", {'1', '2', '3', '4', '5', '6', '7', '8', '9'}, 0x1331, 0x2A5B},
        {"zeros from a zero seed", {0, 0, 0, 0, 0}, 0x0000, 0x0000},
    };
    for (auto &c : cases) {
        SCOPED_TRACE(c.label);
        uint16_t value = 0xBEEF;
        ASSERT_EQ(1, ComputeCheckValue(c.bytes.data(), (uint32_t)c.bytes.size(), c.seed, &value));
        EXPECT_EQ(c.expected, value);
    }
    EXPECT_EQ(0x1331, SettingsCheckSeed);
}

TEST_F(CheckValueTest, RefusedWhileTheMaskIsNotInPlace)
{
    SetScrambleMask(0);
    uint16_t value = 0xBEEF;
    EXPECT_EQ(0, ComputeCheckValue("abc", 3, SettingsCheckSeed, &value));
    EXPECT_EQ(0xBEEF, value);
    SetScrambleMask(ScrambleMaskValue);
    EXPECT_EQ(1, ComputeCheckValue("abc", 3, SettingsCheckSeed, &value));
    EXPECT_EQ(0x7423, value);
}

TEST(ScrambleTables, EachIsAPermutationAndInvertedByItsUnscrambleTable)
{
    for (int t = 0; t < 8; t++) {
        SCOPED_TRACE(t);
        bool seen[256] = {};
        for (int i = 0; i < 256; i++) {
            EXPECT_FALSE(seen[ScrambleTables[t][i]]) << "value " << (int)ScrambleTables[t][i] << " twice";
            seen[ScrambleTables[t][i]] = true;
            EXPECT_EQ(i, UnscrambleTables[t][ScrambleTables[t][i]]);
            EXPECT_EQ(i, ScrambleTables[t][UnscrambleTables[t][i]]);
        }
    }
}

TEST(ScrambleTables, AllEightDifferAndNoneIsTheIdentity)
{
    static const unsigned char identity[256] = {
#define ID4(n) (n), (n) + 1, (n) + 2, (n) + 3
#define ID16(n) ID4(n), ID4((n) + 4), ID4((n) + 8), ID4((n) + 12)
#define ID64(n) ID16(n), ID16((n) + 16), ID16((n) + 32), ID16((n) + 48)
        ID64(0), ID64(64), ID64(128), ID64(192)
#undef ID64
#undef ID16
#undef ID4
    };
    for (int t = 0; t < 8; t++) {
        SCOPED_TRACE(t);
        EXPECT_NE(0, memcmp(ScrambleTables[t], identity, 256));
        for (int u = 0; u < t; u++)
            EXPECT_NE(0, memcmp(ScrambleTables[t], ScrambleTables[u], 256)) << "same as table " << u;
    }
}

// Every stored file depends on the exact tables, so pin all 2048 bytes.
TEST_F(CheckValueTest, TablesNeverChange)
{
    uint16_t forward = 0, inverse = 0;
    ASSERT_EQ(1, ComputeCheckValue(ScrambleTables, sizeof ScrambleTables, SettingsCheckSeed, &forward));
    ASSERT_EQ(1, ComputeCheckValue(UnscrambleTables, sizeof UnscrambleTables, SettingsCheckSeed, &inverse));
    EXPECT_EQ(0x814E, forward);
    EXPECT_EQ(0x2D4B, inverse);
}

struct ScrambleTest : MaskInPlace {};

TEST_F(ScrambleTest, UnscrambleRestoresAnyBufferForEverySelector)
{
    std::vector<unsigned char> original(1031);
    uint32_t x = 12345;
    for (size_t i = 0; i < original.size(); i++) {
        x = x * 1103515245u + 12345u;
        original[i] = i < 256 ? (unsigned char)i : (unsigned char)(x >> 16);
    }
    const int32_t selectors[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 15, 4009, -1, -8, -4001, INT32_MIN, INT32_MAX};
    for (int32_t selector : selectors) {
        SCOPED_TRACE(selector);
        std::vector<unsigned char> buffer = original;
        EXPECT_EQ(buffer.size(), ScrambleBytes(buffer.data(), (uint32_t)buffer.size(), selector));
        EXPECT_NE(original, buffer);

        // Only the low three bits of the selector choose the table.
        std::vector<unsigned char> viaLowBits = original;
        ScrambleBytes(viaLowBits.data(), (uint32_t)viaLowBits.size(), selector & 7);
        EXPECT_EQ(viaLowBits, buffer);

        EXPECT_EQ(buffer.size(), UnscrambleBytes(buffer.data(), (uint32_t)buffer.size(), selector));
        EXPECT_EQ(original, buffer);
    }
}

TEST_F(ScrambleTest, KeyRepeatsEveryFourPositions)
{
    // The key byte is the low byte of (mask + position % 4): the carry out of
    // the low byte is lost, and the upper mask bytes never take part.
    struct Case {
        const char *label;
        uint32_t mask;
        unsigned char keys[4];
    } cases[] = {
        {"program mask", ScrambleMaskValue,
         {(unsigned char)ScrambleMaskValue, (unsigned char)(ScrambleMaskValue + 1),
          (unsigned char)(ScrambleMaskValue + 2), (unsigned char)(ScrambleMaskValue + 3)}},
        {"low byte wraps", 0x000000FFu, {0xFF, 0x00, 0x01, 0x02}},
        {"upper bytes ignored", 0x12345601u, {0x01, 0x02, 0x03, 0x04}},
        {"whole mask wraps", 0xFFFFFFFEu, {0xFE, 0xFF, 0x00, 0x01}},
    };
    const unsigned char fill = 0x5C;
    for (auto &c : cases) {
        SCOPED_TRACE(c.label);
        SetScrambleMask(c.mask);
        for (int32_t selector = 0; selector < 8; selector++) {
            SCOPED_TRACE(selector);
            unsigned char buffer[13];
            memset(buffer, fill, sizeof buffer);
            ScrambleBytes(buffer, sizeof buffer, selector);
            for (size_t i = 0; i < sizeof buffer; i++)
                EXPECT_EQ(ScrambleTables[selector][fill ^ c.keys[i % 4]], buffer[i]) << "position " << i;
        }
    }
    EXPECT_EQ(0xFEu, ScrambleMaskValue & 0xFFu) << "the program mask should exercise the wrap";
}

TEST_F(ScrambleTest, PositionsStartAtZeroOnEveryCall)
{
    const char text[] = "positions restart";
    const uint32_t length = sizeof text - 1;
    unsigned char whole[sizeof text], split[sizeof text], tailAlone[sizeof text];
    memcpy(whole, text, length);
    memcpy(split, text, length);
    memcpy(tailAlone, text + 3, length - 3);

    ScrambleBytes(whole, length, 2);
    ScrambleBytes(split, 3, 2);
    ScrambleBytes(split + 3, length - 3, 2);
    ScrambleBytes(tailAlone, length - 3, 2);

    EXPECT_EQ(0, memcmp(whole, split, 3));
    EXPECT_EQ(0, memcmp(tailAlone, split + 3, length - 3));
    EXPECT_NE(0, memcmp(whole + 3, split + 3, length - 3)) << "a split at 3 restarts the key cycle";
}

TEST_F(ScrambleTest, ZeroLengthTouchesNothing)
{
    unsigned char byte = 0x42;
    EXPECT_EQ(0u, ScrambleBytes(&byte, 0, 3));
    EXPECT_EQ(0u, UnscrambleBytes(&byte, 0, 3));
    EXPECT_EQ(0x42, byte);
}

} // namespace
