// The rules behind the keyboard: type-ahead over several characters, the
// hotkey's written name, and an entry shortened to a menu item's text.
#include <gtest/gtest.h>
#include <string.h>
#include <string>
#include <vector>

#include "core/hotkey_text.h"
#include "core/type_ahead.h"

namespace {

const char *entryOf(int index, void *context)
{
    auto *entries = static_cast<std::vector<const char *> *>(context);
    return (*entries)[(size_t)index];
}

// Types `keys` one by one, `gapMs` apart, into a list whose selection starts
// at `selected`, moving the selection the way the list box does; returns the
// selection after every key.
std::vector<int> typeInto(std::vector<const char *> entries, int selected, const char *keys, uint32_t gapMs,
                          uint32_t firstTick = 5000)
{
    TypeAhead state = {};
    std::vector<int> seen;
    uint32_t tick = firstTick;
    for (const char *key = keys; *key != '\0'; key++, tick += gapMs) {
        int newSearch = AddTypeAheadChar(&state, *key, tick);
        int found = FindTypeAheadMatch((int)entries.size(), selected, newSearch, state.typed, entryOf, &entries);
        if (found >= 0)
            selected = found;
        seen.push_back(selected);
    }
    return seen;
}

TEST(TypeAhead, SeveralCharactersReachTheEntryTheyStart)
{
    std::vector<const char *> entries = {"Best wishes", "Kilroy was here", "Kind regards,", "kinetic",
                                         "Yours faithfully"};
    struct Case {
        const char *label;
        int selected;
        const char *keys;
        uint32_t gapMs;
        std::vector<int> expected;
    } cases[] = {
        {"kin goes past Kilroy to Kind regards", 0, "kin", 200, {1, 1, 2}},
        {"case does not matter", 0, "KIND R", 200, {1, 1, 2, 2, 2, 2}},
        {"a longer prefix moves on to the entry that still matches", 0, "kine", 200, {1, 1, 2, 3}},
        {"no match keeps the selection", 4, "kx", 200, {1, 1}},
        {"a pause starts again: k, pause, y is Yours", 0, "ky", 1500, {1, 4}},
        {"the same letter again after a pause moves to the next", 0, "kkk", 1500, {1, 2, 3}},
        {"a new search wraps round past the end", 3, "b", 200, {0}},
        {"nothing selected starts at the top", -1, "k", 200, {1}},
        {"a new search from the last match of its letter wraps to the first", 3, "k", 1500, {1}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(c.expected, typeInto(entries, c.selected, c.keys, c.gapMs));
    }
}

TEST(TypeAhead, PauseIsMeasuredAcrossTheTickCountersWrap)
{
    std::vector<const char *> entries = {"alpha", "Kind regards,", "kite"};
    // The counter wraps between the first and second key: still 200 ms apart.
    EXPECT_EQ((std::vector<int>{1, 1, 2}), typeInto(entries, 0, "kit", 200, 0xFFFFFF00u));
    TypeAhead state = {};
    EXPECT_EQ(1, AddTypeAheadChar(&state, 'a', 0xFFFFFF00u));
    EXPECT_EQ(0, AddTypeAheadChar(&state, 'b', 0xFFFFFF00u + 1000));
    EXPECT_EQ(1, AddTypeAheadChar(&state, 'c', 0xFFFFFF00u + 2001));
    EXPECT_STREQ("c", state.typed);
}

TEST(TypeAhead, TypedTextIsBoundedAndStillMatches)
{
    TypeAhead state = {};
    std::string longEntry(200, 'a');
    for (int i = 0; i < 200; i++)
        AddTypeAheadChar(&state, 'a', 100 + (uint32_t)i);
    EXPECT_EQ((size_t)TypeAheadMaxChars, strlen(state.typed));
    std::vector<const char *> entries = {"b", longEntry.c_str()};
    EXPECT_EQ(1, FindTypeAheadMatch(2, 0, 0, state.typed, entryOf, &entries));
}

TEST(TypeAhead, CaseFoldingIsForLettersOnly)
{
    struct Case {
        const char *entry;
        const char *typed;
        int expected;
    } cases[] = {
        {"Kind regards,", "kind", 1},
        {"kind", "KIND", 1},
        {"\xC9t\xE9", "\xE9T\xC9", 1},  // Ete with accents, either case
        {"\x8A" "koda", "\x9A", 1},      // S caron
        {"[note]", "{", 0},              // brackets differ by the case bit, but are no letters
        {"@home", "`", 0},
        {"\xD7 2", "\xF7", 0},           // multiplication and division signs
        {"Kin", "Kind", 0},               // shorter than what was typed
        {"anything", "", 1},
        {nullptr, "a", 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.typed);
        EXPECT_EQ(c.expected, StartsWithTyped(c.entry, c.typed));
    }
}

TEST(TypeAhead, EntriesThatCannotBeReadAreSkipped)
{
    std::vector<const char *> entries = {"kiwi", nullptr, "kind"};
    EXPECT_EQ(2, FindTypeAheadMatch(3, 0, 1, "ki", entryOf, &entries));
    EXPECT_EQ(-1, FindTypeAheadMatch(0, -1, 1, "ki", entryOf, &entries));
}

TEST(HotkeyText, CombinationsAreWrittenAsOnTheKeys)
{
    struct Case {
        uint32_t modifiers;
        uint32_t key;
        const char *expected;
    } cases[] = {
        {0x02 | 0x04, 0x2D, "Ctrl+Shift+Insert"},
        {0x01 | 0x02 | 0x04 | 0x08, 'V', "Ctrl+Alt+Shift+Win+V"},
        {0x01, 0x7B, "Alt+F12"},
        {0x00, 0x87, "F24"},
        {0x02, '0', "Ctrl+0"},
        {0x02, 0x60, "Ctrl+Num 0"},
        {0x04, 0x22, "Shift+Page Down"},
        {0x02, 0x20, "Ctrl+Space"},
        {0xF0 | 0x02, 'K', "Ctrl+K"},  // bits that are no modifier are not written
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.expected);
        char text[HotkeyTextSize];
        ASSERT_EQ(1, FormatHotkeyText(c.modifiers, HotkeyKeyName(c.key), text, sizeof text));
        EXPECT_STREQ(c.expected, text);
    }
    uint32_t layoutKeys[] = {0xBA, 0xDE, 0xE2, 0x00, 0x10, 0x11, 0x12, 0x5B};
    for (uint32_t key : layoutKeys)
        EXPECT_EQ(nullptr, HotkeyKeyName(key)) << key;
}

TEST(HotkeyText, TooSmallABufferIsReported)
{
    char text[8];
    EXPECT_EQ(0, FormatHotkeyText(0x06, "Insert", text, sizeof text));
    EXPECT_STREQ("Ctrl+Sh", text);
    EXPECT_EQ(0, FormatHotkeyText(0x06, "Insert", text, 0));
}

TEST(MenuLabel, EntriesAreShortenedAndEscaped)
{
    std::string sixty(60, 'x');
    std::string sixtyOne = sixty + "y";
    std::string ampersandAtEnd = std::string(59, 'x') + "&";
    std::string allAmpersands(300, '&');
    struct Case {
        const char *label;
        std::string entry;
        std::string expected;
    } cases[] = {
        {"short stays", "Kind regards,", "Kind regards,"},
        {"sixty characters stay whole", sixty, sixty},
        {"one more gets the ellipsis", sixtyOne, sixty + "..."},
        {"ampersand doubled", "Smith & Sons", "Smith && Sons"},
        {"ampersand counts as one character", ampersandAtEnd + "z", ampersandAtEnd + "&..."},
        {"a long run of ampersands fits", allAmpersands, std::string(120, '&') + "..."},
        {"control characters become spaces", "a\tb\r\nc", "a b  c"},
        {"empty", "", ""},
        {"code page characters kept", "Caf\xE9", "Caf\xE9"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.label);
        char label[MenuLabelSize];
        memset(label, 0x55, sizeof label);
        MenuLabel(c.entry.c_str(), label);
        EXPECT_EQ(c.expected, std::string(label));
    }
}

TEST(MenuLabel, UnicodeEntriesKeepTheirCharactersWhole)
{
    std::u16string fiftyNine(59, u'x');
    struct Case {
        const char *label;
        std::u16string entry;
        std::u16string expected;
    } cases[] = {
        {"Unicode kept", u"\u0141ukasz & \u5F20\u4F1F", u"\u0141ukasz && \u5F20\u4F1F"},
        {"a pair at the cut stays whole", fiftyNine + u"\U0001F44D", fiftyNine + u"\U0001F44D"},
        {"a pair after the cut goes whole", fiftyNine + u"y\U0001F44D", fiftyNine + u"y..."},
        {"control characters become spaces", u"a\tb", u"a b"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.label);
        char16_t label[MenuLabelSize];
        MenuLabelW(c.entry.c_str(), label);
        EXPECT_EQ(c.expected, std::u16string(label));
    }
}

} // namespace
