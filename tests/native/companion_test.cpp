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

struct Gen {
    uint32_t check;
    uint32_t size;
    std::vector<Rec> recs;
    bool operator==(const Gen &other) const
    {
        return check == other.check && size == other.size && recs == other.recs;
    }
};

void PrintTo(const Gen &gen, std::ostream *out)
{
    *out << "{" << gen.check << ", " << gen.size << ", " << ::testing::PrintToString(gen.recs) << "}";
}

std::vector<CompanionRecord> recordsOf(const std::vector<Rec> &recs)
{
    std::vector<CompanionRecord> records;
    for (const Rec &rec : recs)
        records.push_back({rec.position, rec.ansi.data(), (uint32_t)rec.ansi.size(), rec.utf8.data(),
                           (uint32_t)rec.utf8.size()});
    return records;
}

Bytes encodeCompanion(const std::vector<Gen> &gens)
{
    std::vector<std::vector<CompanionRecord>> records;
    std::vector<CompanionGeneration> generations;
    for (const Gen &gen : gens)
        records.push_back(recordsOf(gen.recs));
    for (size_t g = 0; g < gens.size(); g++)
        generations.push_back({gens[g].check, gens[g].size, records[g].data(), records[g].size()});
    size_t size = CompanionSizeOf(generations.data(), (int)generations.size());
    EXPECT_NE(0u, size);
    Bytes file(size + 3);
    EXPECT_EQ(size, EncodeCompanion(generations.data(), (int)generations.size(), file.data(), file.size()));
    file.resize(size);
    return file;
}

Bytes encodeCompanion(const std::vector<Rec> &recs)
{
    return encodeCompanion(std::vector<Gen>{{0x1234, 99, recs}});
}

// Decodes a copy; false for a refused file.
bool decodeCompanion(Bytes file, std::vector<Gen> *gens)
{
    gens->clear();
    std::vector<CompanionRecord> records(file.size() / CompanionRecordMinSize + 1);
    CompanionGeneration generations[CompanionMaxGenerations];
    int count = 99;
    int ok = DecodeCompanion(file.data(), file.size(), records.data(), records.size(), generations, &count);
    if (!ok) {
        EXPECT_EQ(0, count);
        return false;
    }
    for (int g = 0; g < count; g++) {
        Gen gen = {generations[g].listCheck, generations[g].listSize, {}};
        for (size_t i = 0; i < generations[g].count; i++) {
            const CompanionRecord &r = generations[g].records[i];
            gen.recs.push_back({r.position, std::string(r.ansi, r.ansiLength), std::string(r.utf8, r.utf8Length)});
        }
        gens->push_back(gen);
    }
    return true;
}

bool decodeCompanion(Bytes file, std::vector<Rec> *recs)
{
    std::vector<Gen> gens;
    bool ok = decodeCompanion(file, &gens);
    *recs = ok && !gens.empty() ? gens[0].recs : std::vector<Rec>{};
    return ok;
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
    const std::vector<Gen> two = {{0xCAFE, 120, {mixed[1], mixed[3]}}, {0xBEEF, 7, {}}};
    std::vector<Gen> backTwo;
    ASSERT_TRUE(decodeCompanion(encodeCompanion(two), &backTwo));
    EXPECT_EQ(two, backTwo);
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
        {"position equal to the last", 2, "?", "x"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.label);
        const std::vector<Rec> recs = {{2, "?", "x"}, {c.position, c.ansi, c.utf8}};
        std::vector<CompanionRecord> records = recordsOf(recs);
        CompanionGeneration generation = {1, 2, records.data(), records.size()};
        EXPECT_EQ(0u, CompanionSizeOf(&generation, 1));
        unsigned char out[64];
        EXPECT_EQ(0u, EncodeCompanion(&generation, 1, out, sizeof out));
    }
    const std::vector<Rec> recs = {{0, "??", "ab"}};
    std::vector<CompanionRecord> records = recordsOf(recs);
    CompanionGeneration generations[3] = {{1, 2, records.data(), 1}, {1, 2, records.data(), 1}, {1, 2, NULL, 0}};
    EXPECT_EQ(0u, CompanionSizeOf(generations, 0)) << "no generation";
    EXPECT_EQ(0u, CompanionSizeOf(generations, 3)) << "three generations";
    size_t size = CompanionSizeOf(generations, 2);
    std::vector<unsigned char> out(size);
    EXPECT_EQ(0u, EncodeCompanion(generations, 2, out.data(), size - 1)) << "no room";
    EXPECT_EQ(size, EncodeCompanion(generations, 2, out.data(), size)) << "just room";
}

TEST_F(CompanionFileTest, DamageOfAnyKindIsRefusedWhole)
{
    const Bytes good = encodeCompanion(mixed);
    static const size_t firstRecord = CompanionHeaderSize + CompanionGenerationHeaderSize;
    static const size_t firstText = firstRecord + CompanionRecordHeaderSize;
    struct Case {
        const char *label;
        void (*damage)(Bytes &file);
        bool reseal; // the check value put right, so that the other checks are what refuse it
    } cases[] = {
        {"empty", [](Bytes &f) { f.clear(); }, false},
        {"header only", [](Bytes &f) { f.resize(CompanionHeaderSize + CompanionTrailerSize); }, true},
        {"cut short", [](Bytes &f) { f.resize(f.size() - 1); }, false},
        {"one byte changed", [](Bytes &f) { f[f.size() / 2] ^= 0x10; }, false},
        {"a byte added", [](Bytes &f) { f.insert(f.end() - CompanionTrailerSize, 0); }, false},
        {"another magic", [](Bytes &f) { f[0] = 'X'; }, true},
        {"a later version", [](Bytes &f) { f[4] = 2; }, true},
        {"no generation", [](Bytes &f) { f[6] = 0; }, true},
        {"three generations", [](Bytes &f) { f[6] = 3; }, true},
        {"record count too high", [](Bytes &f) { f[CompanionHeaderSize + 8] += 1; }, true},
        {"record count too low", [](Bytes &f) { f[CompanionHeaderSize + 8] -= 1; }, true},
        {"positions out of order", [](Bytes &f) { f[firstRecord] = 9; }, true},
        {"a text running past the end", [](Bytes &f) { f[firstRecord + 5] = 0x40; }, true},
        {"a zero byte in a text once unscrambled",
         [](Bytes &f) {
             unsigned char zero[1] = {0};
             ScrambleBytes(zero, 1, 11);
             f[firstText] = zero[0];
         },
         true},
        {"an ANSI form of length zero",
         [](Bytes &f) {
             Bytes rebuilt(f.begin(), f.begin() + firstRecord);
             rebuilt[CompanionHeaderSize + 8] = 1;
             unsigned char record[CompanionRecordHeaderSize + 1] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 'x'};
             ScrambleBytes(record + CompanionRecordHeaderSize, 1, 1);
             rebuilt.insert(rebuilt.end(), record, record + sizeof record);
             rebuilt.insert(rebuilt.end(), {0, 0, 0, 0});
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

TEST_F(CompanionFileTest, DecoderStopsAtTheRoomItWasGiven)
{
    Bytes file = encodeCompanion(mixed);
    std::vector<CompanionRecord> records(mixed.size() - 1);
    CompanionGeneration generations[CompanionMaxGenerations];
    int count = 0;
    EXPECT_EQ(0, DecodeCompanion(file.data(), file.size(), records.data(), records.size(), generations, &count));
}

// Which text each entry of a (possibly rewritten) list file ends up with.
std::vector<std::string> matchedTexts(const std::vector<std::string> &listFile, const std::vector<Gen> &gens,
                                      uint32_t listCheck = 0, uint32_t listSize = 0)
{
    std::vector<CompanionKey> keys;
    for (const std::string &entry : listFile)
        keys.push_back({entry.data(), (uint32_t)entry.size()});
    std::vector<std::vector<CompanionRecord>> records;
    for (const Gen &gen : gens)
        records.push_back(recordsOf(gen.recs));
    std::vector<CompanionGeneration> generations;
    for (size_t g = 0; g < gens.size(); g++)
        generations.push_back({gens[g].check, gens[g].size, records[g].data(), records[g].size()});
    std::vector<const CompanionRecord *> match(keys.size(), (const CompanionRecord *)&keys);
    std::vector<unsigned char> taken(gens.empty() ? 1 : gens[0].recs.size() + 1, 0xFF);
    MatchCompanion(keys.data(), keys.size(), listCheck, listSize, generations.data(), (int)generations.size(),
                   match.data(), taken.data());
    std::vector<std::string> texts;
    for (size_t i = 0; i < keys.size(); i++)
        texts.push_back(match[i] == NULL ? listFile[i] : std::string(match[i]->utf8, match[i]->utf8Length));
    return texts;
}

std::vector<std::string> matchedTexts(const std::vector<std::string> &listFile, const std::vector<Rec> &recs)
{
    return matchedTexts(listFile, recs.empty() ? std::vector<Gen>{} : std::vector<Gen>{{1, 1, recs}});
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

TEST(CompanionMatch, TheGenerationWrittenWithThisListFilePlacesByPosition)
{
    const std::string zhang = "\xE5\xBC\xA0\xE4\xBC\x9F", thumb = "\xF0\x9F\x91\x8D";
    // Before: zhang at 2. The new list changed it to ANSI and added thumb at
    // 4, whose ANSI form is the same "??": by bytes alone the old record
    // would give thumb zhang's text.
    const std::vector<std::string> before = {"a", "b", "??", "c"};
    const std::vector<std::string> after = {"a", "b", "Zhang", "c", "??"};
    const std::vector<Gen> gens = {{0xA1, 30, {{4, "??", thumb}}}, {0xB0, 20, {{2, "??", zhang}}}};
    struct Case {
        const char *label;
        std::vector<std::string> listFile;
        uint32_t check, size;
        std::vector<std::string> expected;
    } cases[] = {
        {"the new list file", after, 0xA1, 30, {"a", "b", "Zhang", "c", thumb}},
        {"the old list file, left by a stop before its replace", before, 0xB0, 20, {"a", "b", zhang, "c"}},
        {"same check, other size: another file", before, 0xB0, 21, {"a", "b", thumb, "c"}},
        {"a file another build wrote: the newest by bytes", {"??", "a"}, 0xC0, 9, {thumb, "a"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(c.expected, matchedTexts(c.listFile, gens, c.check, c.size));
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
    EXPECT_EQ(fixture, encodeCompanion(std::vector<Gen>{{0x1234, 99, mixed}}));
}

} // namespace
