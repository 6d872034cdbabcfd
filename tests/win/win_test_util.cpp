#include "tests/win/win_test_util.h"

#include <algorithm>
#include <stdio.h>

#include "app/paths.h"
#include "app/string_cache.h"
#include "store/format.h"

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

void removeTree(const std::string &folder)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::string name = found.cFileName;
            if (name == "." || name == "..")
                continue;
            std::string path = folder + "\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                removeTree(path);
            else {
                SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(path.c_str());
            }
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(folder.c_str());
}

bool fileExists(const std::string &path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void writeFileBytes(const std::string &path, const Bytes &bytes)
{
    ASSERT_TRUE(saveFileBytes(path, bytes)) << path;
}

Bytes bytesOf(const char *text)
{
    return Bytes(text, text + strlen(text));
}

std::vector<std::string> listBoxTexts(HWND listBox)
{
    std::vector<std::string> texts;
    LRESULT count = SendMessageW(listBox, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; i++) {
        LRESULT length = SendMessageW(listBox, LB_GETTEXTLEN, (WPARAM)i, 0);
        if (length == LB_ERR) {
            texts.push_back("<unreadable>");
            continue;
        }
        std::wstring wide((size_t)length + 1, L'\0');
        length = SendMessageW(listBox, LB_GETTEXT, (WPARAM)i, (LPARAM)&wide[0]);
        std::string text;
        if (length > 0) {
            int size = WideCharToMultiByte(CP_ACP, 0, wide.data(), (int)length, NULL, 0, NULL, NULL);
            text.resize((size_t)size);
            WideCharToMultiByte(CP_ACP, 0, wide.data(), (int)length, &text[0], size, NULL, NULL);
        }
        texts.push_back(text);
    }
    return texts;
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
