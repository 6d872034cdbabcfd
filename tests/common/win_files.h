// Files and folders for the Windows test trees (in-process and end-to-end):
// what exists, where the test's exe lies, and the removal of the scratch and
// data folders they make.
#ifndef VOMBLY_TESTS_COMMON_WIN_FILES_H
#define VOMBLY_TESTS_COMMON_WIN_FILES_H

#include <windows.h>
#include <string>

// A file (not a folder) is at `path`.
inline bool fileExists(const std::string &path)
{
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Anything, file or folder, is at `path`.
inline bool pathExists(const std::string &path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The path of a module loaded in this process (NULL: the test's own exe);
// "" when it does not fit MAX_PATH.
inline std::string modulePath(HMODULE module)
{
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(module, path, ARRAYSIZE(path));
    if (length == 0 || length >= ARRAYSIZE(path))
        return "";
    return std::string(path, length);
}

// The folder of the test's own exe, with a trailing backslash, where the
// helper programs and scripts built with it lie; "" when it can't be told.
inline std::string testExeFolder()
{
    std::string path = modulePath(NULL);
    return path.substr(0, path.rfind('\\') + 1);
}

// Deletes a folder with its files and sub-folders, read-only ones too.
// True when it is gone.
inline bool removeTree(const std::string &folder)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::string name = found.cFileName;
            if (name == "." || name == "..")
                continue;
            std::string path = folder + "\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                removeTree(path);
            } else {
                SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(path.c_str());
            }
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(folder.c_str());
    return GetFileAttributesA(folder.c_str()) == INVALID_FILE_ATTRIBUTES;
}

#endif
