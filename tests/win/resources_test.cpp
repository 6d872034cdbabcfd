// The binary resources the program loads by name: the logo it paints, the
// click it plays, the icon of its window, tray and dialogs, and its version.
#include <windows.h>
#include <gtest/gtest.h>
#include <string.h>

static HMODULE self(void)
{
    return GetModuleHandleA(NULL);
}

TEST(Resources, LogoIsA24BitBitmapOf200By260LoadedByAnyCase)
{
    for (const char *name : {"MAIN_LOGO", "Main_Logo"}) {
        SCOPED_TRACE(name);
        HBITMAP logo = (HBITMAP)LoadImageA(self(), name, IMAGE_BITMAP, 0, 0, LR_DEFAULTSIZE | LR_CREATEDIBSECTION);
        ASSERT_NE(nullptr, logo);
        DIBSECTION dib = {};
        ASSERT_EQ((int)sizeof dib, GetObjectA(logo, sizeof dib, &dib));
        EXPECT_EQ(200, dib.dsBm.bmWidth);
        EXPECT_EQ(260, dib.dsBm.bmHeight);
        EXPECT_EQ(24, dib.dsBm.bmBitsPixel);
        EXPECT_EQ((DWORD)BI_RGB, dib.dsBmih.biCompression);
        DeleteObject(logo);
    }
}

TEST(Resources, ClickIsAShortMonoPcmWave)
{
    HRSRC found = FindResourceA(self(), "CLICK_SOUND", "WAVE");
    ASSERT_NE(nullptr, found);
    const unsigned char *wave = (const unsigned char *)LockResource(LoadResource(self(), found));
    DWORD size = SizeofResource(self(), found);
    ASSERT_NE(nullptr, wave);
    ASSERT_GE(size, 44u);
    EXPECT_EQ(0, memcmp(wave, "RIFF", 4));
    EXPECT_EQ(0, memcmp(wave + 8, "WAVEfmt ", 8));
    WAVEFORMATEX format = {};
    memcpy(&format, wave + 20, 16);
    EXPECT_EQ(WAVE_FORMAT_PCM, format.wFormatTag);
    EXPECT_EQ(1, format.nChannels);
    EXPECT_EQ(22050u, format.nSamplesPerSec);
    EXPECT_EQ(16, format.wBitsPerSample);
    EXPECT_EQ(0, memcmp(wave + 36, "data", 4));
    DWORD dataSize;
    memcpy(&dataSize, wave + 40, 4);
    EXPECT_EQ(1284u, dataSize);
    EXPECT_EQ(44u + 1284u, size);
}

TEST(Resources, IconHasTrayWindowAndDialogSizes)
{
    for (int size : {16, 32, 48}) {
        SCOPED_TRACE(size);
        HICON icon = (HICON)LoadImageA(self(), "MAIN_ICON", IMAGE_ICON, size, size, 0);
        ASSERT_NE(nullptr, icon);
        ICONINFO info = {};
        ASSERT_TRUE(GetIconInfo(icon, &info));
        BITMAP colour = {};
        GetObjectA(info.hbmColor, sizeof colour, &colour);
        EXPECT_EQ(size, colour.bmWidth);
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
        DestroyIcon(icon);
    }
    HRSRC group = FindResourceA(self(), "MAIN_ICON", RT_GROUP_ICON);
    ASSERT_NE(nullptr, group);
    const unsigned char *dir = (const unsigned char *)LockResource(LoadResource(self(), group));
    // Three sizes, each at 32 bits with alpha.
    int count = dir[4] | dir[5] << 8;
    ASSERT_EQ(3, count);
    for (int i = 0; i < count; i++) {
        // GRPICONDIRENTRY: 14 bytes, its bit count at offset 6.
        const unsigned char *entry = dir + 6 + 14 * i;
        EXPECT_EQ(32, entry[6] | entry[7] << 8) << "image " << i;
    }
}

TEST(Resources, VersionIs2Point11)
{
    HRSRC found = FindResourceA(self(), MAKEINTRESOURCEA(VS_VERSION_INFO), RT_VERSION);
    ASSERT_NE(nullptr, found);
    const unsigned char *block = (const unsigned char *)LockResource(LoadResource(self(), found));
    // The fixed file info follows the "VS_VERSION_INFO" key, 32-bit aligned.
    const VS_FIXEDFILEINFO *fixed = NULL;
    for (DWORD offset = 0; offset + sizeof *fixed <= SizeofResource(self(), found); offset += 4) {
        const VS_FIXEDFILEINFO *candidate = (const VS_FIXEDFILEINFO *)(block + offset);
        if (candidate->dwSignature == 0xFEEF04BD) {
            fixed = candidate;
            break;
        }
    }
    ASSERT_NE(nullptr, fixed);
    EXPECT_EQ(MAKELONG(11, 2), fixed->dwFileVersionMS);
    EXPECT_EQ(0u, fixed->dwFileVersionLS);
    EXPECT_EQ(MAKELONG(11, 2), fixed->dwProductVersionMS);
    EXPECT_EQ(0u, fixed->dwProductVersionLS);
}

TEST(Resources, MenuHasTheProgramsCommands)
{
    HMENU menu = LoadMenuA(self(), "MAIN_MENU");
    ASSERT_NE(nullptr, menu);
    static const struct {
        int top;
        const char *title;
        struct {
            const char *text;
            UINT id;
        } items[5];
        int count;
    } cases[] = {
        {0, "File", {{"Add a String", 40003}, {"Remove a String", 40004}, {"Toggle List", 40006}, {"", 0}, {"Exit", 40002}}, 5},
        // Settings keeps its place; items added later come after it.
        {1, "Options", {{"Settings", 40005}, {"Keyboard and Privacy...", 41001}}, 2},
        {2, "Info", {{"About Vombly", 40001}, {"Home Page / Purchase", 40009}}, 2},
    };
    ASSERT_EQ(3, GetMenuItemCount(menu));
    for (const auto &c : cases) {
        SCOPED_TRACE(c.title);
        char text[64];
        GetMenuStringA(menu, c.top, text, ARRAYSIZE(text), MF_BYPOSITION);
        EXPECT_STREQ(c.title, text);
        HMENU popup = GetSubMenu(menu, c.top);
        ASSERT_EQ(c.count, GetMenuItemCount(popup));
        for (int i = 0; i < c.count; i++) {
            text[0] = '\0';
            GetMenuStringA(popup, i, text, ARRAYSIZE(text), MF_BYPOSITION);
            EXPECT_STREQ(c.items[i].text, text);
            UINT id = GetMenuItemID(popup, i);
            if (c.items[i].id == 0)
                EXPECT_TRUE(GetMenuState(popup, i, MF_BYPOSITION) & MF_SEPARATOR);
            else
                EXPECT_EQ(c.items[i].id, id);
        }
    }
    DestroyMenu(menu);
}
