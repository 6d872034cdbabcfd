#include "tests/win/win_test_util.h"

#include <algorithm>
#include <stdio.h>

#include "system/paths.h"
#include "system/string_cache.h"
#include "core/format.h"

std::string makeScratchFolder(const char *name)
{
    char temp[MAX_PATH];
    GetTempPathA(ARRAYSIZE(temp), temp);
    char folder[MAX_PATH];
    snprintf(folder, sizeof folder, "%svombly-%s-%lu", temp, name, (unsigned long)GetCurrentProcessId());
    removeTree(folder);
    CreateDirectoryA(folder, NULL);
    return folder;
}

void *replaceImport(void **slot, void *replacement)
{
    DWORD was = 0;
    if (!VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &was))
        return NULL;
    void *previous = *slot;
    *slot = replacement;
    VirtualProtect(slot, sizeof *slot, was, &was);
    return previous;
}

void writeFileBytes(const std::string &path, const Bytes &bytes)
{
    ASSERT_TRUE(saveFileBytes(path, bytes)) << path;
}

Bytes bytesOf(const char *text)
{
    return Bytes(text, text + strlen(text));
}

std::vector<std::string> folderEntries(const std::string &folder)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        std::string name = found.cFileName;
        if (name != "." && name != "..")
            names.push_back(name);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

void ProgramFixture::SetUp()
{
    ASSERT_EQ(1, LoadStringCache(GetModuleHandleA(NULL)));
    SetScrambleMask(ScrambleMaskValue);
    scratch = makeScratchFolder(::testing::UnitTest::GetInstance()->current_test_info()->name());
    ASSERT_EQ(1, SetAppDataFolder(scratch.c_str()));
    CreateDirectoryA((scratch + "\\Vombly").c_str(), NULL);
    dataFolder = scratch + "\\Vombly\\";
    ASSERT_STREQ(dataFolder.c_str(), DataFolder());
}

void ProgramFixture::TearDown()
{
    removeTree(scratch);
    FreeStringCache();
}
