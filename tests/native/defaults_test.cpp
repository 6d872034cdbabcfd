// The default files that make_defaults writes for a new user.
#include <gtest/gtest.h>
#include <string.h>
#include <string>
#include <vector>

#include "format_test_util.h"

namespace {

struct DefaultFilesTest : MaskInPlace {};

const std::string defaultsDir = VOMBLY_DEFAULTS_DIR;

TEST_F(DefaultFilesTest, SettingsFile)
{
    const std::vector<unsigned char> file = readFileBytes(defaultsDir + "/Vombly.cfg");
    ASSERT_EQ((size_t)SettingsFileSize, file.size());
    SettingsRecord record;
    ASSERT_EQ(1, DecodeSettingsFile(file.data(), file.size(), &record));

    EXPECT_EQ(0u, record.reservedHead);
    EXPECT_EQ(0, record.sortEntries);
    EXPECT_EQ(1, record.minimiseAfterSelection);
    EXPECT_EQ(1u, record.activeList);
    const char *names[] = {"List 1: Home and Personal Items", "List 2: Office and Work Items", "List 3: Other Items"};
    for (int i = 0; i < 3; i++) {
        SCOPED_TRACE(i);
        EXPECT_STREQ(names[i], record.lists[i].listName);
        EXPECT_EQ(0, record.lists[i].listSelection);
        // The rest of the name field is zero, not left-over bytes.
        for (size_t b = strlen(names[i]); b < ListNameSize; b++)
            EXPECT_EQ(0, record.lists[i].listName[b]);
    }
    for (unsigned char byte : record.reservedTail)
        ASSERT_EQ(0, byte);
}

TEST_F(DefaultFilesTest, ListFiles)
{
    struct Case {
        const char *file;
        std::vector<std::string> entries;
    } cases[] = {
        {"Vombly1.dat",
         {"Double-click a line to copy it, then paste it anywhere.", "10 Sample Street, Exampletown EX1 2AB",
          "Kind regards,", "Thanks for your message, I will get back to you shortly."}},
        {"Vombly2.dat",
         {"Please find the attached document.", "Invoice number: INV-2026-0001", "IBAN: GB33 BUKB 2020 1555 5555 55",
          "I am out of the office until Monday."}},
        {"Vombly3.dat", {"https://www.example.com/", "#include <stdio.h>", "SELECT * FROM customers WHERE id = ?;"}},
    };
    for (auto &c : cases) {
        SCOPED_TRACE(c.file);
        const std::vector<unsigned char> bytes = readFileBytes(defaultsDir + "/" + c.file);
        size_t used = 0;
        EXPECT_EQ(c.entries, decodeListFile(bytes, &used));
        EXPECT_EQ(bytes.size(), used) << "bytes after the last record";
    }
}

} // namespace
