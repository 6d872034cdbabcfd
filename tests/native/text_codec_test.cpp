// The plain-text form of a list: what is written for each kind of entry,
// what a hand-edited or foreign file reads as, which files are refused, and
// that every entry comes back byte for byte from what was written.
#include <gtest/gtest.h>
#include <string.h>
#include <string>
#include <vector>

#include "core/text_codec.h"

namespace {

typedef std::vector<std::string> Entries;

const std::string Bom = "\xEF\xBB\xBF";

std::string encodeFile(const Entries &entries)
{
    std::string file = Bom;
    std::vector<char> line(TextLineMaxBytes);
    for (const std::string &entry : entries) {
        size_t n = EncodeTextLine(entry.data(), entry.size(), line.data(), line.size());
        EXPECT_NE(0u, n) << entry.substr(0, 40);
        file.append(line.data(), n);
    }
    return file;
}

struct Read {
    TextEntryResult result;
    std::string text;
    uint32_t line;
    bool operator==(const Read &other) const
    {
        return result == other.result && text == other.text && line == other.line;
    }
};

void PrintTo(const Read &read, std::ostream *out)
{
    *out << "{" << read.result << ", \"" << read.text.substr(0, 60) << "\" (" << read.text.size() << " bytes), line "
         << read.line << "}";
}

// Every result up to the end; bounded in case the reader stops advancing.
std::vector<Read> readAll(const std::string &file)
{
    std::vector<Read> reads;
    TextReader reader;
    StartTextReader(&reader, (const unsigned char *)file.data(), file.size());
    static char text[TextEntryBufferSize];
    for (size_t guard = 0; guard <= file.size() + 1; guard++) {
        size_t length = 99;
        uint32_t line = 0;
        TextEntryResult result = ReadTextEntry(&reader, text, &length, &line);
        if (result == TextEntryEnd)
            return reads;
        EXPECT_EQ(strlen(text), length);
        reads.push_back({result, std::string(text, length), line});
    }
    ADD_FAILURE() << "the reader never reached the end";
    return reads;
}

Entries entriesOf(const std::vector<Read> &reads)
{
    Entries entries;
    for (const Read &read : reads) {
        EXPECT_EQ(TextEntryRead, read.result) << read.text.substr(0, 60);
        entries.push_back(read.text);
    }
    return entries;
}

TEST(TextCodec, EveryAwkwardEntryComesBackExactlyAndInOrder)
{
    const Entries entries = {
        "plain words",
        "",
        " leading space",
        "trailing space ",
        "   ",
        "a, b, c",
        "she said \"hi\"",
        "\"",
        "\"quoted\"",
        "tab\there",
        "two\r\nlines",
        "line feed\nonly",
        "carriage return\ronly",
        "ends with a break\r\n",
        "\r\n",
        "Gr\xC3\xBC\xC3\x9F" "e \xE2\x82\xAC 12",
        "\xF0\x9F\x98\x80 outside the first plane",
        std::string(999, 'n'),
        std::string(TextEntryMaxBytes, 'm'),
        "last",
    };
    std::string file = encodeFile(entries);
    ASSERT_EQ(Bom, file.substr(0, 3));
    EXPECT_EQ(TextFileOk, CheckTextFile((const unsigned char *)file.data(), file.size()));
    EXPECT_EQ(entries, entriesOf(readAll(file)));
}

TEST(TextCodec, WritesPlainLinesAndQuotesOnlyWhatNeedsIt)
{
    const struct Case {
        const char *label;
        std::string entry;
        std::string line;
    } cases[] = {
        {"plain", "abc", "abc\r\n"},
        {"a quote inside is doubled", "x\"y", "\"x\"\"y\"\r\n"},
        {"inner spaces", "a b", "a b\r\n"},
        {"empty", "", "\"\"\r\n"},
        {"comma", "a,b", "\"a,b\"\r\n"},
        {"tab", "a\tb", "\"a\tb\"\r\n"},
        {"leading space", " a", "\" a\"\r\n"},
        {"trailing space", "a ", "\"a \"\r\n"},
        {"line break kept raw", "a\nb", "\"a\nb\"\r\n"},
        {"high bytes plain", "\xE2\x82\xAC", "\xE2\x82\xAC\r\n"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.label);
        char out[64];
        size_t n = EncodeTextLine(c.entry.data(), c.entry.size(), out, sizeof out);
        EXPECT_EQ(c.line, std::string(out, n));
        // One byte less than the line is refused, never cut.
        EXPECT_EQ(0u, EncodeTextLine(c.entry.data(), c.entry.size(), out, c.line.size() - 1));
    }
}

TEST(TextCodec, HandMadeFilesReadAsAPersonMeantThem)
{
    const std::string tooLong(TextEntryMaxBytes + 1, 'x');
    const struct Case {
        const char *label;
        std::string file;
        std::vector<Read> reads;
    } cases[] = {
        {"no byte order mark, LF only", "one\ntwo\n", {{TextEntryRead, "one", 1}, {TextEntryRead, "two", 2}}},
        {"CR LF, no break after the last", "one\r\ntwo", {{TextEntryRead, "one", 1}, {TextEntryRead, "two", 2}}},
        {"blank lines are passed over", Bom + "\r\n\r\none\n\n\ntwo\r\n\r\n",
         {{TextEntryRead, "one", 3}, {TextEntryRead, "two", 6}}},
        {"a CR at the very end ends the line", "one\r", {{TextEntryRead, "one", 1}}},
        {"unquoted commas and quotes stay", "a,b\nsay \"x\"\n", {{TextEntryRead, "a,b", 1}, {TextEntryRead, "say \"x\"", 2}}},
        {"quoted field over lines", "\"a\r\nb\nc\"\r\nnext\n", {{TextEntryRead, "a\r\nb\nc", 1}, {TextEntryRead, "next", 4}}},
        {"doubled quotes", "\"\"\"\"\n\"a\"\"b\"\n", {{TextEntryRead, "\"", 1}, {TextEntryRead, "a\"b", 2}}},
        {"quoted empty entry", "\"\"\n", {{TextEntryRead, "", 1}}},
        {"quote never closed: one line lost, the rest read", "\"open\nsecond\nthird",
         {{TextEntryBadQuotes, "", 1}, {TextEntryRead, "second", 2}, {TextEntryRead, "third", 3}}},
        {"text after the closing quote", "\"a\"b\nnext\n", {{TextEntryBadQuotes, "", 1}, {TextEntryRead, "next", 2}}},
        {"CR CR LF ends a line", "alpha\r\r\nbeta\r\r\n", {{TextEntryRead, "alpha", 1}, {TextEntryRead, "beta", 2}}},
        {"a lone CR ends a line", "alpha\rbeta\r\rgamma\r",
         {{TextEntryRead, "alpha", 1}, {TextEntryRead, "beta", 2}, {TextEntryRead, "gamma", 4}}},
        {"lone CRs inside quotes belong to the entry", "\"a\rb\"\rnext", {{TextEntryRead, "a\rb", 1}, {TextEntryRead, "next", 3}}},
        {"a broken field over lines costs exactly its own lines", "\"a\nb\rc\" x\nnext\n",
         {{TextEntryBadQuotes, "", 1}, {TextEntryRead, "next", 4}}},
        {"a byte order mark only at the start is taken away", Bom + Bom + "x\n", {{TextEntryRead, Bom + "x", 1}}},
        {"too long plain line, then the next", tooLong + "\r\nnext",
         {{TextEntryTooLong, "", 1}, {TextEntryRead, "next", 2}}},
        {"too long quoted field", "\"" + tooLong + "\"\nnext", {{TextEntryTooLong, "", 1}, {TextEntryRead, "next", 2}}},
        {"longest that fits", std::string(TextEntryMaxBytes, 'y'), {{TextEntryRead, std::string(TextEntryMaxBytes, 'y'), 1}}},
        {"only blank lines", "\r\n\n\r\n", {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(c.reads, readAll(c.file));
    }
}

TEST(TextCodec, RefusesWhatIsNotUtf8TextAndTellsAnEmptyFile)
{
    const struct Case {
        const char *label;
        std::string file;
        TextFileKind kind;
    } cases[] = {
        {"no bytes", "", TextFileEmpty},
        {"byte order mark only", Bom, TextFileEmpty},
        {"plain ASCII", "abc\r\n", TextFileOk},
        {"two, three and four byte forms", "\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80", TextFileOk},
        {"highest code point", "\xF4\x8F\xBF\xBF", TextFileOk},
        {"a zero byte", std::string("a\0b", 3), TextFileNotText},
        {"a zero byte after the mark", Bom + std::string(1, '\0'), TextFileNotText},
        {"Latin-1 byte", "Gr\xFC\xDF" "e", TextFileNotText},
        {"lone continuation byte", "\x80", TextFileNotText},
        {"overlong two-byte form", "\xC0\x80", TextFileNotText},
        {"overlong three-byte form", "\xE0\x80\xAF", TextFileNotText},
        {"overlong four-byte form", "\xF0\x80\x80\xAF", TextFileNotText},
        {"surrogate", "\xED\xA0\x80", TextFileNotText},
        {"above U+10FFFF", "\xF4\x90\x80\x80", TextFileNotText},
        {"cut short at the end", "ok \xE2\x82", TextFileNotText},
        {"bad continuation", "\xE2\x28\xA1", TextFileNotText},
        {"FF", "\xFF", TextFileNotText},
        {"binary header", std::string("MZ\x90\0\x03\0\0\0", 8), TextFileNotText},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(c.kind, CheckTextFile((const unsigned char *)c.file.data(), c.file.size()));
    }
}

} // namespace
