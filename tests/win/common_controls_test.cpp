// The manifest's request for version 6 of the common controls (the test exe
// carries the program's manifest, so its list boxes are the ones users get),
// and reading entries of any length back out of such a list box.
#include <windows.h>
#include <gtest/gtest.h>
#include <ctype.h>
#include <string>

#include "core/format.h"
#include "system/list_entry.h"
#include "tests/common/win_files.h"

TEST(CommonControls, ManifestBringsVersion6ListBoxes)
{
    // The list box class then comes from the side-by-side comctl32 of
    // version 6 (DllGetVersion can't tell: some builds answer 5.x from the
    // same code), not from user32.
    HWND listBox = CreateWindowExA(0, "listbox", NULL, WS_POPUP, 0, 0, 100, 100, NULL, NULL,
                                   GetModuleHandleA(NULL), NULL);
    ASSERT_NE(nullptr, listBox);
    void *procedure = (void *)GetClassLongPtrW(listBox, GCLP_WNDPROC);
    HMODULE owner = NULL;
    ASSERT_TRUE(GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                                   (LPCWSTR)procedure, &owner));
    std::string path = modulePath(owner);
    std::string lower = path;
    for (char &c : lower)
        c = (char)tolower((unsigned char)c);
    EXPECT_NE(std::string::npos, lower.find("\\comctl32.dll")) << path;
    EXPECT_NE(std::string::npos, lower.find("common-controls_6595b64144ccf1df_6.0.")) << path;
    DestroyWindow(listBox);
}

TEST(CommonControls, ReadListEntryGivesBackEveryLengthOrRefusesCleanly)
{
    HWND listBox = CreateWindowExA(0, "listbox", NULL, WS_POPUP, 0, 0, 100, 100, NULL, NULL,
                                   GetModuleHandleA(NULL), NULL);
    ASSERT_NE(nullptr, listBox);
    static char buffer[ListEntryBufferSize];
    const std::string highBytes = "caf\xE9 \xA3\xA0!";
    const struct {
        const char *label;
        std::string text;
        size_t size;   // buffer size handed over
        int expected;  // length, or -1
    } cases[] = {
        {"empty", "", sizeof buffer, 0},
        {"high bytes of the code page", highBytes, sizeof buffer, (int)highBytes.size()},
        {"511", std::string(511, 'a'), sizeof buffer, 511},
        {"512", std::string(512, 'b'), sizeof buffer, 512},
        {"600", std::string(600, 'c'), sizeof buffer, 600},
        {"999", std::string(999, 'd'), sizeof buffer, 999},
        {"4009, the longest", std::string(4009, 'e'), sizeof buffer, 4009},
        {"fits with its zero", std::string(9, 'f'), 10, 9},
        {"one byte short", std::string(10, 'g'), 10, -1},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.label);
        SendMessageA(listBox, LB_RESETCONTENT, 0, 0);
        ASSERT_EQ(0, SendMessageA(listBox, LB_ADDSTRING, 0, (LPARAM)c.text.c_str()));
        memset(buffer, 'X', sizeof buffer);
        EXPECT_EQ(c.expected, ReadListEntry(listBox, 0, buffer, c.size));
        if (c.expected >= 0)
            EXPECT_TRUE(c.text == std::string(buffer)) << "read " << strlen(buffer) << " bytes";
        else
            EXPECT_EQ('\0', buffer[0]);
    }
    // Indexes outside the list.
    for (int index : {-1, 1, 1000}) {
        SCOPED_TRACE(index);
        buffer[0] = 'X';
        EXPECT_EQ(-1, ReadListEntry(listBox, index, buffer, sizeof buffer));
        EXPECT_EQ('\0', buffer[0]);
    }
    DestroyWindow(listBox);
}
