// The options block in the settings record's reserved tail: defaults for a
// tail that holds none, values read back as written, bytes around the block
// kept for the builds that came before and will come after this one.
#include <gtest/gtest.h>
#include <string.h>
#include <string>
#include <vector>

#include "format_test_util.h"
#include "core/options_format.h"

namespace {

const std::string fixturesDir = VOMBLY_FIXTURES_DIR;

struct Tail {
    unsigned char bytes[OptionsTailSize];
};

Tail tailFilledWith(unsigned char value)
{
    Tail tail;
    memset(tail.bytes, value, sizeof tail.bytes);
    return tail;
}

void put32(Tail &tail, size_t offset, uint32_t value)
{
    for (int i = 0; i < 4; i++)
        tail.bytes[offset + i] = (unsigned char)(value >> (8 * i));
}

void put16(Tail &tail, size_t offset, uint16_t value)
{
    tail.bytes[offset] = (unsigned char)value;
    tail.bytes[offset + 1] = (unsigned char)(value >> 8);
}

// A version 1 block as its bytes, written field by field, not through the
// encoder under test.
Tail tailWithBlock(uint16_t version, uint16_t length, uint32_t modifiers, uint32_t key, uint32_t paste,
                   uint32_t privateLists, uint32_t seconds)
{
    Tail tail = tailFilledWith(0xEE);
    put32(tail, 0, 0x54504F56u);
    put16(tail, 4, version);
    put16(tail, 6, length);
    put32(tail, 8, modifiers);
    put32(tail, 12, key);
    put32(tail, 16, paste);
    put32(tail, 20, privateLists);
    put32(tail, 24, seconds);
    return tail;
}

void expectDefaults(const OptionsBlock &options)
{
    EXPECT_EQ(6u, options.hotkeyModifiers) << "Ctrl+Shift";
    EXPECT_EQ(0x2Du, options.hotkeyKey) << "Insert";
    EXPECT_EQ(0u, options.pasteAfterHotkey) << "typing into another window is opt-in";
    EXPECT_EQ(0u, options.privateLists);
    EXPECT_EQ(30u, options.privateClearSeconds);
}

TEST(OptionsBlockTest, TailsWithoutAValidBlockReadAsDefaults)
{
    struct Case {
        const char *label;
        Tail tail;
    } cases[] = {
        {"all zero, as a file from before the options", tailFilledWith(0)},
        {"another build's bytes", tailFilledWith(0x5A)},
        {"wrong magic", [] { Tail t = tailWithBlock(1, 28, 2, 0x41, 1, 7, 5); t.bytes[0] ^= 1; return t; }()},
        {"version 0", tailWithBlock(0, 28, 2, 0x41, 1, 7, 5)},
        {"length shorter than version 1", tailWithBlock(1, 27, 2, 0x41, 1, 7, 5)},
        {"length beyond the tail", tailWithBlock(1, 1029, 2, 0x41, 1, 7, 5)},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.label);
        OptionsBlock options;
        memset(&options, 0xCC, sizeof options);
        EXPECT_EQ(0, DecodeOptions(c.tail.bytes, &options));
        expectDefaults(options);
    }
}

TEST(OptionsBlockTest, StoredValuesReadBackAndOutOfRangeOnesAreTamed)
{
    struct Case {
        const char *label;
        Tail tail;
        uint32_t modifiers, key, paste, privateLists, seconds;
    } cases[] = {
        {"every field set", tailWithBlock(1, 28, 1 | 8, 0x7B, 1, 5, 0), 9, 0x7B, 1, 5, 0},
        {"no hotkey", tailWithBlock(1, 28, 0, 0, 0, 0, 45), 0, 0, 0, 0, 45},
        {"unknown modifier bits", tailWithBlock(1, 28, 0xFFFFFFFF, 0x41, 0, 0, 30), 0x0F, 0x41, 0, 0, 30},
        {"key beyond a byte", tailWithBlock(1, 28, 2, 0x141, 0, 0, 30), 2, 0, 0, 0, 30},
        {"paste neither 0 nor 1", tailWithBlock(1, 28, 2, 0x41, 2, 0, 30), 2, 0x41, 0, 0, 30},
        {"private bits beyond list 3", tailWithBlock(1, 28, 2, 0x41, 0, 0xFF, 30), 2, 0x41, 0, 7, 30},
        {"seconds beyond a day", tailWithBlock(1, 28, 2, 0x41, 0, 0, 0xFFFFFFFF), 2, 0x41, 0, 0, 86400},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.label);
        OptionsBlock options;
        EXPECT_EQ(1, DecodeOptions(c.tail.bytes, &options));
        EXPECT_EQ(c.modifiers, options.hotkeyModifiers);
        EXPECT_EQ(c.key, options.hotkeyKey);
        EXPECT_EQ(c.paste, options.pasteAfterHotkey);
        EXPECT_EQ(c.privateLists, options.privateLists);
        EXPECT_EQ(c.seconds, options.privateClearSeconds);
    }
}

TEST(OptionsBlockTest, EncodingWritesTheBlockAndKeepsTheRestOfTheTail)
{
    Tail tail = tailFilledWith(0x5A);
    OptionsBlock options;
    DefaultOptions(&options);
    options.hotkeyKey = 0x76;
    options.privateLists = 2;
    EncodeOptions(&options, tail.bytes);

    const Tail expected = [] {
        Tail t = tailWithBlock(1, 28, 6, 0x76, 0, 2, 30);
        memset(t.bytes + 28, 0x5A, sizeof t.bytes - 28);
        return t;
    }();
    EXPECT_EQ(0, memcmp(expected.bytes, tail.bytes, sizeof tail.bytes));
}

TEST(OptionsBlockTest, ALaterVersionsFieldsSurviveThisBuildsWrite)
{
    // A later version wrote 40 bytes; this build knows the first 28.
    Tail tail = tailWithBlock(3, 40, 2, 0x41, 0, 0, 30);
    for (int i = 28; i < 40; i++)
        tail.bytes[i] = (unsigned char)(0xA0 + i);

    OptionsBlock options;
    ASSERT_EQ(1, DecodeOptions(tail.bytes, &options));
    options.pasteAfterHotkey = 1;
    EncodeOptions(&options, tail.bytes);

    Tail expected = tailWithBlock(3, 40, 2, 0x41, 1, 0, 30);
    for (int i = 28; i < 40; i++)
        expected.bytes[i] = (unsigned char)(0xA0 + i);
    EXPECT_EQ(0, memcmp(expected.bytes, tail.bytes, sizeof tail.bytes));
}

struct OptionsGoldenTest : MaskInPlace {};

// A settings file whose tail holds a block: 1250 bytes, a check value that
// verifies, the specified fields where they always were.
TEST_F(OptionsGoldenTest, SettingsFileWithOptions)
{
    const std::vector<unsigned char> fixture = readFileBytes(fixturesDir + "/settings_options_golden.cfg");
    ASSERT_EQ((size_t)SettingsFileSize, fixture.size()) << "missing or damaged fixture";

    OptionsBlock options;
    DefaultOptions(&options);
    options.hotkeyModifiers = 1 | 4;
    options.hotkeyKey = 0x56;
    options.pasteAfterHotkey = 1;
    options.privateLists = 4;
    options.privateClearSeconds = 45;
    const SettingsRecord expected =
        withOptions(settingsRecord(3, 0, 1, {{"Addresses", 2}, {"Replies", -1}, {"Secrets", 0}}), options);
    EXPECT_EQ(fixture, settingsFileBytes(expected));

    SettingsRecord decoded;
    ASSERT_EQ(1, DecodeSettingsFile(fixture.data(), fixture.size(), &decoded));
    EXPECT_EQ(0, memcmp(&expected, &decoded, sizeof decoded));
    OptionsBlock read;
    ASSERT_EQ(1, DecodeOptions(decoded.reservedTail, &read));
    EXPECT_EQ(0, memcmp(&options, &read, sizeof read));
}

TEST(ListNamesTest, AUnicodeNameComesBackOnlyForItsOwnAnsiName)
{
    const char *greek = "\xCE\x95\xCE\xBB\xCE\xAD\xCE\xBD\xCE\xB7"; // Ελένη
    const char *thumb = "\xF0\x9F\x91\x8D";                           // 👍
    Tail tail = tailFilledWith(0);
    ASSERT_EQ(1, EncodeListNameUtf8(tail.bytes, 2, "?????", greek));
    ASSERT_EQ(1, EncodeListNameUtf8(tail.bytes, 3, "??", thumb));
    struct Case {
        const char *label;
        int list;
        const char *ansiName;
        const char *expected; // NULL: none
    } cases[] = {
        {"its own name", 2, "?????", greek},
        {"another list's", 3, "??", thumb},
        {"an older build renamed the list", 2, "Work", NULL},
        {"a list without one", 1, "?????", NULL},
        {"no such list", 4, "??", NULL},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.label);
        char utf8[ListNameUtf8Size];
        EXPECT_EQ(c.expected != NULL, DecodeListNameUtf8(tail.bytes, c.list, c.ansiName, utf8, sizeof utf8));
        EXPECT_STREQ(c.expected != NULL ? c.expected : "", utf8);
    }
    // Forgotten again, and too long or not UTF-8: refused, nothing changed.
    ASSERT_EQ(1, EncodeListNameUtf8(tail.bytes, 2, "?????", NULL));
    char utf8[ListNameUtf8Size];
    EXPECT_EQ(0, DecodeListNameUtf8(tail.bytes, 2, "?????", utf8, sizeof utf8));
    const Tail before = tail;
    EXPECT_EQ(0, EncodeListNameUtf8(tail.bytes, 1, "x", std::string(ListNameUtf8Size, 'a').c_str()));
    EXPECT_EQ(0, EncodeListNameUtf8(tail.bytes, 1, "x", "\xC0\xAF"));
    EXPECT_EQ(0, EncodeListNameUtf8(tail.bytes, 1, std::string(ListNameSize, 'n').c_str(), "x"));
    EXPECT_EQ(0, memcmp(before.bytes, tail.bytes, sizeof tail.bytes));
}

TEST(ListNamesTest, NamesLeaveTheOptionsAndAnAnsiOnlyTailAlone)
{
    // Forgetting a name in a tail that never had one changes no byte: the
    // settings file of a user with ANSI names stays as it was.
    Tail tail = tailFilledWith(0x5A);
    ASSERT_EQ(1, EncodeListNameUtf8(tail.bytes, 1, "Home", NULL));
    EXPECT_EQ(0, memcmp(tailFilledWith(0x5A).bytes, tail.bytes, sizeof tail.bytes));

    tail = tailWithBlock(1, 28, 6, 0x76, 0, 2, 30);
    const Tail options = tail;
    ASSERT_EQ(1, EncodeListNameUtf8(tail.bytes, 1, "??", "\xE5\xBC\xA0\xE4\xBC\x9F"));
    EXPECT_EQ(0, memcmp(options.bytes, tail.bytes, ListNamesOffset));
    OptionsBlock decoded;
    EXPECT_EQ(1, DecodeOptions(tail.bytes, &decoded));
    EXPECT_EQ(0x76u, decoded.hotkeyKey);
    // And the options written over it keep the names.
    decoded.hotkeyKey = 0x77;
    EncodeOptions(&decoded, tail.bytes);
    char utf8[ListNameUtf8Size];
    EXPECT_EQ(1, DecodeListNameUtf8(tail.bytes, 1, "??", utf8, sizeof utf8));
}

} // namespace
