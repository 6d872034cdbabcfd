// List files: records of a 32-bit length and that many scrambled text bytes.
#include <gtest/gtest.h>
#include <stdio.h>
#include <string.h>
#include <string>
#include <vector>

#include "format_test_util.h"

namespace {

struct ListRecordTest : MaskInPlace {};

// A record whose header claims `length` followed by `present` text bytes.
std::vector<unsigned char> claimed(uint32_t length, size_t present)
{
    std::vector<unsigned char> bytes;
    appendLength(bytes, length);
    bytes.resize(bytes.size() + present, 0x61);
    return bytes;
}

std::vector<unsigned char> records(const std::vector<std::string> &texts)
{
    std::vector<unsigned char> bytes;
    for (const std::string &text : texts)
        appendRecord(bytes, text);
    return bytes;
}

TEST_F(ListRecordTest, DecodesOneRecordOrStops)
{
    struct Case {
        const char *label;
        std::vector<unsigned char> bytes;
        int expected;
        size_t consumed;
        size_t textLength;
    } cases[] = {
        {"no data", {}, 0, 0, 0},
        {"one byte", {0x00}, 0, 0, 0},
        {"two bytes", {0x00, 0x00}, 0, 0, 0},
        {"three bytes", {0x00, 0x00, 0x00}, 0, 0, 0},
        {"empty text", {0x00, 0x00, 0x00, 0x00}, 1, 4, 0},
        {"empty text, more data after it", {0x00, 0x00, 0x00, 0x00, 0x07, 0x00}, 1, 4, 0},
        {"one character", records({"x"}), 1, 5, 1},
        {"length 4009 with all its bytes", claimed(4009, 4009), 1, 4013, 4009},
        {"length 4009 one byte short", claimed(4009, 4008), 0, 0, 0},
        {"length 4010", claimed(4010, 4010), 0, 0, 0},
        {"length 0x80000000", claimed(0x80000000u, 64), 0, 0, 0},
        {"length 0xFFFFFFFF", claimed(0xFFFFFFFFu, 64), 0, 0, 0},
        {"length 5, three bytes present", claimed(5, 3), 0, 0, 0},
    };
    for (auto &c : cases) {
        SCOPED_TRACE(c.label);
        std::vector<char> text(ListEntryBufferSize, 'X');
        size_t consumed = 99;
        EXPECT_EQ(c.expected, DecodeListRecord(c.bytes.data(), c.bytes.size(), text.data(), &consumed));
        EXPECT_EQ(c.consumed, consumed);
        // The buffer is zero-filled first, so nothing of an earlier text survives.
        for (size_t i = c.textLength; i < text.size(); i++)
            ASSERT_EQ(0, text[i]) << "byte " << i;
    }
}

TEST_F(ListRecordTest, EncoderRefusesTooLongTextsAndSmallBuffers)
{
    std::vector<char> text(4010, 'q');
    struct Case {
        const char *label;
        uint32_t length;
        size_t outSize;
        size_t expected;
    } cases[] = {
        {"empty text", 0, 4, 4},
        {"empty text, no room", 0, 3, 0},
        {"five bytes, exact room", 5, 9, 9},
        {"five bytes, one short", 5, 8, 0},
        {"4000 bytes", 4000, 4004, 4004},
        {"4009 bytes, the longest the decoder accepts", 4009, 4013, 4013},
        {"4010 bytes", 4010, 8192, 0},
    };
    for (auto &c : cases) {
        SCOPED_TRACE(c.label);
        std::vector<unsigned char> out(8192, 0xEE);
        EXPECT_EQ(c.expected, EncodeListRecord(text.data(), c.length, out.data(), c.outSize));
        if (!c.expected)
            EXPECT_EQ(0xEE, out[0]) << "a refused record wrote something";
    }
}

TEST_F(ListRecordTest, EachTextIsScrambledWithItsOwnLength)
{
    const std::vector<unsigned char> bytes = records({"a", "bc", "def"});
    ASSERT_EQ(18u, bytes.size());

    size_t pos = 0;
    const char *texts[] = {"a", "bc", "def"};
    for (uint32_t length = 1; length <= 3; length++) {
        SCOPED_TRACE(length);
        const unsigned char header[4] = {(unsigned char)length, 0, 0, 0};
        EXPECT_EQ(0, memcmp(header, &bytes[pos], 4));
        unsigned char expected[3];
        memcpy(expected, texts[length - 1], length);
        ScrambleBytes(expected, length, (int32_t)length);
        EXPECT_EQ(0, memcmp(expected, &bytes[pos + 4], length));
        pos += 4 + length;
    }

    size_t used = 0;
    EXPECT_EQ((std::vector<std::string>{"a", "bc", "def"}), decodeListFile(bytes, &used));
    EXPECT_EQ(18u, used);
}

TEST_F(ListRecordTest, EqualTextsGiveEqualRecords)
{
    const std::string text = "same words, same bytes";
    const std::vector<unsigned char> bytes = records({text, text});
    const size_t half = bytes.size() / 2;
    EXPECT_EQ(0, memcmp(bytes.data(), bytes.data() + half, half));
    EXPECT_EQ((std::vector<std::string>{text, text}), decodeListFile(bytes));
}

TEST_F(ListRecordTest, LongestTextRoundTrips)
{
    std::string text(4009, ' ');
    for (size_t i = 0; i < text.size(); i++)
        text[i] = (char)(0x20 + i % 95);
    const std::vector<unsigned char> bytes = records({text, ""});
    ASSERT_EQ(4013u + 4u, bytes.size());
    EXPECT_EQ((std::vector<std::string>{text, ""}), decodeListFile(bytes));
}

TEST_F(ListRecordTest, TruncatedLastRecordIsDropped)
{
    std::vector<unsigned char> bytes = records({"one", "two", "three"});
    bytes.pop_back();
    size_t used = 0;
    EXPECT_EQ((std::vector<std::string>{"one", "two"}), decodeListFile(bytes, &used));
    EXPECT_EQ(14u, used);
}

TEST_F(ListRecordTest, TextEndsAtAnEmbeddedZero)
{
    const std::vector<unsigned char> bytes = records({std::string("ab\0cd", 5), "next"});
    std::vector<char> text(ListEntryBufferSize, 'X');
    size_t consumed = 0;
    ASSERT_EQ(1, DecodeListRecord(bytes.data(), bytes.size(), text.data(), &consumed));
    EXPECT_EQ(9u, consumed);
    EXPECT_STREQ("ab", text.data());
    ASSERT_EQ(1, DecodeListRecord(bytes.data() + consumed, bytes.size() - consumed, text.data(), &consumed));
    EXPECT_STREQ("next", text.data());
}

// Reading from a stream must agree with decoding the same bytes in memory.
TEST_F(ListRecordTest, StreamReadingMatchesDecoding)
{
    const std::vector<unsigned char> good = records({"first", "", "third entry", std::string(4000, 'z')});
    struct Case {
        const char *label;
        std::vector<unsigned char> tail;
    } cases[] = {
        {"clean end", {}},
        {"cut-short record", claimed(20, 19)},
        {"oversized length", claimed(0x80000000u, 32)},
        {"length 4010", claimed(4010, 4010)},
        {"stub of two bytes", {0x05, 0x00}},
    };
    for (auto &c : cases) {
        SCOPED_TRACE(c.label);
        std::vector<unsigned char> bytes = good;
        bytes.insert(bytes.end(), c.tail.begin(), c.tail.end());
        const std::vector<std::string> decoded = decodeListFile(bytes);
        ASSERT_EQ(4u, decoded.size());

        FILE *f = tmpfile();
        ASSERT_NE(nullptr, f);
        ASSERT_EQ(bytes.size(), fwrite(bytes.data(), 1, bytes.size(), f));
        rewind(f);
        std::vector<std::string> read;
        std::vector<char> text(ListEntryBufferSize, 'X');
        while (ReadListRecord(f, text.data()))
            read.emplace_back(text.data());
        fclose(f);

        EXPECT_EQ(decoded, read);
        for (char byte : text)
            ASSERT_EQ(0, byte) << "the failed read left text behind";
    }
}

} // namespace
