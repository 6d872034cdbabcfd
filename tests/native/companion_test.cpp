// The companion file: what it holds byte for byte, that every kind of damage
// is refused whole, and which entry takes which text when the list file was
// rewritten by a build that knows nothing of the companion.
#include <gtest/gtest.h>
#include <string.h>
#include <string>
#include <vector>

#include "core/companion_format.h"
#include "format_test_util.h"

namespace {

typedef std::vector<unsigned char> Bytes;

struct Rec {
    uint32_t position;
    std::string ansi;
    std::string utf8;
    bool operator==(const Rec &other) const
    {
        return position == other.position && ansi == other.ansi && utf8 == other.utf8;
    }
};

void PrintTo(const Rec &rec, std::ostream *out)
{
    *out << "{" << rec.position << ", \"" << rec.ansi << "\", \"" << rec.utf8 << "\"}";
}

Bytes encodeCompanion(const std::vector<Rec> &recs)
{
    Bytes file(CompanionHeaderSize);
    CompanionWriter writer;
    StartCompanion(&writer, file.data());
    std::vector<unsigned char> record(CompanionRecordMaxSize);
    for (const Rec &rec : recs) {
        size_t n = EncodeCompanionRecord(&writer, rec.position, rec.ansi.data(), (uint32_t)rec.ansi.size(),
                                         rec.utf8.data(), (uint32_t)rec.utf8.size(), record.data(), record.size());
        EXPECT_NE(0u, n) << rec.utf8;
        file.insert(file.end(), record.begin(), record.begin() + (long)n);
    }
    unsigned char trailer[CompanionTrailerSize];
    FinishCompanion(&writer, trailer);
    file.insert(file.end(), trailer, trailer + CompanionTrailerSize);
    return file;
}

// Decodes a copy; false for a refused file.
bool decodeCompanion(Bytes file, std::vector<Rec> *recs)
{
    recs->clear();
    std::vector<CompanionRecord> records(CompanionCountOf(file.data(), file.size()) + 1);
    size_t count = 99;
    int ok = DecodeCompanion(file.data(), file.size(), records.data(), records.size(), &count);
    if (!ok) {
        EXPECT_EQ(0u, count);
        return false;
    }
    for (size_t i = 0; i < count; i++)
        recs->push_back({records[i].position, std::string(records[i].ansi, records[i].ansiLength),
                         std::string(records[i].utf8, records[i].utf8Length)});
    return true;
}

// Puts the check value right again after a test changed the bytes on purpose.
void resealCompanion(Bytes &file)
{
    uint32_t crc = CompanionCrc(0, file.data(), file.size() - 4);
    for (int i = 0; i < 4; i++)
        file[file.size() - 4 + i] = (unsigned char)(crc >> (8 * i));
}

const std::vector<Rec> mixed = {
    {1, "Lukasz Z\xF3\xB3\x63", "\xC5\x81ukasz \xC5\xBB\xC3\xB3\xC5\x82\xC4\x87"}, // Łukasz Żółć
    {2, "?????", "\xCE\x95\xCE\xBB\xCE\xAD\xCE\xBD\xCE\xB7"},                     // Ελένη
    {4, "??", "\xE5\xBC\xA0\xE4\xBC\x9F"},                                        // 张伟
    {7, "??", "\xF0\x9F\x91\x8D"},                                                // 👍
};

struct CompanionFileTest : MaskInPlace {};

TEST_F(CompanionFileTest, RecordsComeBackAsWritten)
{
    for (const std::vector<Rec> &recs : {std::vector<Rec>{}, mixed}) {
        std::vector<Rec> back;
        ASSERT_TRUE(decodeCompanion(encodeCompanion(recs), &back));
        EXPECT_EQ(recs, back);
    }
    // The longest entry in both forms.
    std::vector<Rec> longest = {{0, std::string(ListEntryWriteLimit, '?'), std::string(TextEntryMaxBytes / 3 * 3, 'a')}};
    for (size_t i = 0; i < longest[0].utf8.size(); i += 3)
        longest[0].utf8.replace(i, 3, "\xE2\x82\xAC");
    std::vector<Rec> back;
    ASSERT_TRUE(decodeCompanion(encodeCompanion(longest), &back));
    EXPECT_EQ(longest, back);
}

TEST_F(CompanionFileTest, TextsAreScrambledLikeTheListFile)
{
    Bytes file = encodeCompanion(mixed);
    std::string all(file.begin(), file.end());
    EXPECT_EQ(std::string::npos, all.find("Lukasz"));
    EXPECT_EQ(std::string::npos, all.find(mixed[0].utf8));
}

TEST_F(CompanionFileTest, EncoderRefusesWhatTheDecoderWould)
{
    struct Case {
        const char *label;
        uint32_t position;
        std::string ansi;
        std::string utf8;
    } cases[] = {
        {"empty ANSI", 3, "", "x"},
        {"empty UTF-8", 3, "?", ""},
        {"ANSI too long", 3, std::string(ListEntryWriteLimit + 1, '?'), "x"},
        {"UTF-8 too long", 3, "?", std::string(TextEntryMaxBytes + 1, 'x')},
        {"zero byte in ANSI", 3, std::string("a\0b", 3), "x"},
        {"zero byte in UTF-8", 3, "?", std::string("a\0b", 3)},
        {"a lone surrogate", 3, "?", "\xED\xA0\x80"},
        {"an overlong form", 3, "?", "\xC0\xAF"},
        {"cut short", 3, "?", "\xE2\x82"},
        {"position before the last", 1, "?", "x"},
        {"the last position possible", UINT32_MAX, "?", "x"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.label);
        CompanionWriter writer;
        unsigned char header[CompanionHeaderSize];
        StartCompanion(&writer, header);
        std::vector<unsigned char> out(CompanionRecordMaxSize + 16);
        ASSERT_NE(0u, EncodeCompanionRecord(&writer, 2, "?", 1, "x", 1, out.data(), out.size()));
        CompanionWriter before = writer;
        EXPECT_EQ(0u, EncodeCompanionRecord(&writer, c.position, c.ansi.data(), (uint32_t)c.ansi.size(),
                                            c.utf8.data(), (uint32_t)c.utf8.size(), out.data(), out.size()));
        EXPECT_EQ(before.count, writer.count);
        EXPECT_EQ(before.crc, writer.crc);
    }
    CompanionWriter writer;
    unsigned char header[CompanionHeaderSize], out[CompanionRecordHeaderSize + 4];
    StartCompanion(&writer, header);
    EXPECT_EQ(0u, EncodeCompanionRecord(&writer, 0, "??", 2, "ab", 2, out, sizeof out - 1)) << "no room";
    EXPECT_EQ(sizeof out, EncodeCompanionRecord(&writer, 0, "??", 2, "ab", 2, out, sizeof out)) << "just room";
}

TEST_F(CompanionFileTest, DamageOfAnyKindIsRefusedWhole)
{
    const Bytes good = encodeCompanion(mixed);
    const size_t firstText = CompanionHeaderSize + CompanionRecordHeaderSize;
    struct Case {
        const char *label;
        void (*damage)(Bytes &file);
        bool reseal; // the check value put right, so that the other checks are what refuse it
    } cases[] = {
        {"empty", [](Bytes &f) { f.clear(); }, false},
        {"header only", [](Bytes &f) { f.resize(CompanionHeaderSize); }, false},
        {"cut short", [](Bytes &f) { f.resize(f.size() - 1); }, false},
        {"one byte changed", [](Bytes &f) { f[f.size() / 2] ^= 0x10; }, false},
        {"a byte added", [](Bytes &f) { f.insert(f.end() - CompanionTrailerSize, 0); }, false},
        {"another magic", [](Bytes &f) { f[0] = 'X'; }, true},
        {"a later version", [](Bytes &f) { f[4] = 2; }, true},
        {"count too high", [](Bytes &f) { f[f.size() - CompanionTrailerSize] += 1; }, true},
        {"count too low", [](Bytes &f) { f[f.size() - CompanionTrailerSize] -= 1; }, true},
        {"positions out of order", [](Bytes &f) { f[CompanionHeaderSize] = 9; }, true},
        {"a text running past the end", [](Bytes &f) { f[CompanionHeaderSize + 5] = 0x40; }, true},
        {"a zero byte in a text once unscrambled",
         [](Bytes &f) {
             unsigned char zero[1] = {0};
             ScrambleBytes(zero, 1, 11);
             f[firstText] = zero[0];
         },
         true},
        {"an ANSI form of length zero",
         [](Bytes &f) {
             Bytes rebuilt(f.begin(), f.begin() + CompanionHeaderSize);
             unsigned char record[CompanionRecordHeaderSize + 1] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 'x'};
             ScrambleBytes(record + CompanionRecordHeaderSize, 1, 1);
             rebuilt.insert(rebuilt.end(), record, record + sizeof record);
             rebuilt.insert(rebuilt.end(), {1, 0, 0, 0, 0, 0, 0, 0});
             f = rebuilt;
         },
         true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.label);
        Bytes file = good;
        c.damage(file);
        if (c.reseal && file.size() >= 4)
            resealCompanion(file);
        std::vector<Rec> back;
        EXPECT_FALSE(decodeCompanion(file, &back));
    }
    std::vector<Rec> back;
    EXPECT_TRUE(decodeCompanion(good, &back)) << "the good file itself";
}

TEST_F(CompanionFileTest, DecoderNeedsRoomForTheCountItWasTold)
{
    Bytes file = encodeCompanion(mixed);
    std::vector<CompanionRecord> records(mixed.size() - 1);
    size_t count = 0;
    EXPECT_EQ(0, DecodeCompanion(file.data(), file.size(), records.data(), records.size(), &count));
}

// Which text each entry of a (possibly rewritten) list file ends up with.
std::vector<std::string> matchedTexts(const std::vector<std::string> &listFile, const std::vector<Rec> &recs)
{
    std::vector<CompanionKey> keys;
    for (const std::string &entry : listFile)
        keys.push_back({entry.data(), (uint32_t)entry.size()});
    std::vector<CompanionRecord> records;
    for (const Rec &rec : recs)
        records.push_back({rec.position, rec.ansi.data(), (uint32_t)rec.ansi.size(), rec.utf8.data(),
                           (uint32_t)rec.utf8.size()});
    std::vector<int32_t> match(keys.size(), 7);
    std::vector<unsigned char> taken(records.size() + 1, 0xFF);
    MatchCompanion(keys.data(), keys.size(), records.data(), records.size(), match.data(), taken.data());
    std::vector<std::string> texts;
    for (size_t i = 0; i < keys.size(); i++)
        texts.push_back(match[i] < 0 ? listFile[i] : recs[(size_t)match[i]].utf8);
    return texts;
}

TEST(CompanionMatch, EntriesTakeOnlyTextsWithTheirOwnBytes)
{
    const std::string zhang = "\xE5\xBC\xA0\xE4\xBC\x9F", li = "\xE6\x9D\x8E\xE6\x98\x8E", thumb = "\xF0\x9F\x91\x8D";
    const std::string eleni = "\xCE\x95\xCE\xBB\xCE\xAD\xCE\xBD\xCE\xB7", lukasz = mixed[0].utf8;
    const std::string lukaszAnsi = mixed[0].ansi;
    const std::vector<Rec> written = {{1, "?????", eleni}, {2, lukaszAnsi, lukasz}, {4, "??", zhang}, {5, "??", thumb}};
    struct Case {
        const char *label;
        std::vector<std::string> listFile;
        std::vector<Rec> recs;
        std::vector<std::string> expected;
    } cases[] = {
        {"as written", {"a", "?????", lukaszAnsi, "b", "??", "??"}, written, {"a", eleni, lukasz, "b", zhang, thumb}},
        {"no companion", {"a", "?????", "??"}, {}, {"a", "?????", "??"}},
        {"an older build reordered the list",
         {lukaszAnsi, "b", "?????", "a", "??", "??"}, written, {lukasz, "b", eleni, "a", zhang, thumb}},
        {"an older build edited one of two equal forms: the other keeps its own",
         {"a", "?????", lukaszAnsi, "b", "?? edited", "??"}, written, {"a", eleni, lukasz, "b", "?? edited", thumb}},
        {"an older build removed some: the rest move up and keep their texts",
         {"a", "?????", lukaszAnsi, "??"}, written, {"a", eleni, lukasz, zhang}},
        {"an ANSI entry where a record stood stays ANSI", {"a", "Ela", "??"}, written, {"a", "Ela", zhang}},
        {"more equal entries than records", {"??", "??", "??", "??", "??"}, {{3, "??", li}},
         {"??", "??", "??", li, "??"}},
        {"a record beyond the list", {"a"}, written, {"a"}},
        {"an entry cut short by the older build", {"a", "????", lukaszAnsi.substr(0, 6)}, written,
         {"a", "????", lukaszAnsi.substr(0, 6)}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(c.expected, matchedTexts(c.listFile, c.recs));
    }
}

const std::string fixturesDir = VOMBLY_FIXTURES_DIR;

TEST_F(CompanionFileTest, GoldenFile)
{
    const Bytes fixture = readFileBytes(fixturesDir + "/companion_golden.dat.u");
    ASSERT_FALSE(fixture.empty()) << "missing fixture";
    std::vector<Rec> back;
    ASSERT_TRUE(decodeCompanion(fixture, &back));
    EXPECT_EQ(mixed, back);
    EXPECT_EQ(fixture, encodeCompanion(mixed));
}

} // namespace
