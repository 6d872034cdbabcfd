#include "system/paths.h"

#include <windows.h>
#include <shlobj.h>
#include <stdio.h>
#include <string.h>

#include "system/string_cache.h"
#include "res/resource.h"

static char programFolder[PathBufferSize];
static char appDataFolder[MAX_PATH];
static char dataFolder[PathBufferSize];
static char settingsFilePath[PathBufferSize];
static char tooLongFolder[PathBufferSize];

// The longest name the program writes into the data folder is the third
// list's file with the suffix of its temporary copy.
static const char LongestListSuffix[] = "3.dat";
static const char DamagedSuffix[] = ".damaged";
enum { DamagedCopyLimit = 99 };

// The code page's text of `wide`; 0 when a character has no place in it
// (the narrow functions would turn it into "?").
static int FitsCodePage(const wchar_t *wide, char *buffer, size_t size)
{
    BOOL lost = FALSE;
    // A UTF-8 code page holds every character and takes no lost flag.
    int utf8 = GetACP() == CP_UTF8;
    int limit = size > MAX_PATH * 4 ? MAX_PATH * 4 : (int)size;
    int written = WideCharToMultiByte(CP_ACP, utf8 ? 0 : WC_NO_BEST_FIT_CHARS, wide, -1, buffer, limit, NULL,
                                      utf8 ? NULL : &lost);
    return written > 0 && !lost;
}

int NarrowPath(const wchar_t *wide, char *buffer, size_t size)
{
    if (size == 0)
        return 0;
    if (FitsCodePage(wide, buffer, size))
        return 1;
    // A user name in another script: the short form of the folder is plain
    // ASCII where the volume keeps short names.
    wchar_t shortPath[MAX_PATH];
    DWORD length = GetShortPathNameW(wide, shortPath, ARRAYSIZE(shortPath));
    if (length > 0 && length < ARRAYSIZE(shortPath) && FitsCodePage(shortPath, buffer, size))
        return 1;
    buffer[0] = '\0';
    return 0;
}

int ReadStartupFolder(void)
{
    wchar_t wide[MAX_PATH];
    char directory[MAX_PATH];
    DWORD length = GetCurrentDirectoryW(ARRAYSIZE(wide), wide);
    // A longer directory does not fit the buffer and its text is undefined.
    if (length == 0 || length >= ARRAYSIZE(wide) || !NarrowPath(wide, directory, sizeof directory)) {
        SetStartupFolder(NULL);
        return 0;
    }
    return SetStartupFolder(directory);
}

const char *GetProgramFolder(void)
{
    return programFolder;
}

int SetProgramFolder(const char *folder)
{
    return FormatPath(programFolder, sizeof programFolder, "%s", folder);
}

int ReadProgramFolder(void)
{
    wchar_t wide[MAX_PATH];
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameW(NULL, wide, ARRAYSIZE(wide));
    programFolder[0] = '\0';
    if (length == 0 || length >= ARRAYSIZE(wide))
        return 0;
    wide[length] = L'\0';
    if (!NarrowPath(wide, path, sizeof path))
        return 0;
    char *separator = strrchr(path, '\\');
    if (separator == NULL)
        return 0;
    separator[1] = '\0';
    return SetProgramFolder(path);
}

// The start-up folder comes first; the program's own folder stands in for
// it where it lacks the file, so a start from any working folder finds the
// defaults installed beside the exe.
int DefaultFilePath(char *buffer, size_t size, const char *name)
{
    const char *folders[] = {GetStartupFolder(), programFolder};
    for (const char *folder : folders) {
        if (folder[0] == '\0')
            continue;
        if (FormatPath(buffer, size, "%s%s%s", folder, GetString(IDS_PRODUCT), name) &&
            GetFileAttributesA(buffer) != INVALID_FILE_ATTRIBUTES)
            return 1;
    }
    if (size > 0)
        buffer[0] = '\0';
    return 0;
}

// 1 when the two files hold the same bytes.
static int SameFileBytes(const char *first, const char *second)
{
    HANDLE a = CreateFileA(first, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    HANDLE b = CreateFileA(second, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    int same = a != INVALID_HANDLE_VALUE && b != INVALID_HANDLE_VALUE;
    while (same) {
        static char bytesA[16384], bytesB[16384];
        DWORD readA = 0, readB = 0;
        if (!ReadFile(a, bytesA, sizeof bytesA, &readA, NULL) || !ReadFile(b, bytesB, sizeof bytesB, &readB, NULL) ||
            readA != readB || memcmp(bytesA, bytesB, readA) != 0) {
            same = 0;
            break;
        }
        if (readA == 0)
            break;
    }
    if (a != INVALID_HANDLE_VALUE)
        CloseHandle(a);
    if (b != INVALID_HANDLE_VALUE)
        CloseHandle(b);
    return same;
}

int KeepDamagedCopy(const char *path, char *kept, size_t size)
{
    // Numbered copies first; past them a copy is named by the time, so
    // that earlier copies never keep the file from being written.
    SYSTEMTIME now;
    GetLocalTime(&now);
    for (int copy = 1; copy <= DamagedCopyLimit + DamagedCopyLimit; copy++) {
        int fits = copy == 1                  ? FormatPath(kept, size, "%s%s", path, DamagedSuffix)
                   : copy <= DamagedCopyLimit ? FormatPath(kept, size, "%s%s%d", path, DamagedSuffix, copy)
                                              : FormatPath(kept, size, "%s%s-%04u%02u%02u-%02u%02u%02u-%d", path,
                                                           DamagedSuffix, now.wYear, now.wMonth, now.wDay, now.wHour,
                                                           now.wMinute, now.wSecond, copy - DamagedCopyLimit);
        if (!fits) {
            SetLastError(ERROR_FILENAME_EXCED_RANGE);
            return 0;
        }
        // Never over an earlier kept copy.
        if (CopyFileA(path, kept, TRUE))
            return 1;
        DWORD error = GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS)
            return 0;
        // The same damage seen again (at a later start) is kept already.
        if (SameFileBytes(path, kept))
            return 2;
    }
    SetLastError(ERROR_FILE_EXISTS);
    return 0;
}

int UnsavedCopyPath(const char *path, int place, char *out, size_t size)
{
    static const char UnsavedSuffix[] = ".unsaved";
    if (path == NULL)
        return 0;
    if (place == 0)
        return FormatPath(out, size, "%s%s", path, UnsavedSuffix);
    char temp[MAX_PATH];
    DWORD length = GetTempPathA(ARRAYSIZE(temp), temp);
    if (length == 0 || length >= ARRAYSIZE(temp))
        return 0;
    const char *name = strrchr(path, '\\');
    return FormatPath(out, size, "%s%s%s", temp, name != NULL ? name + 1 : path, UnsavedSuffix);
}

const char *TooLongFolder(void)
{
    return tooLongFolder[0] != '\0' ? tooLongFolder : NULL;
}

int SetAppDataFolder(const char *folder)
{
    dataFolder[0] = '\0';
    return FormatPath(appDataFolder, sizeof appDataFolder, "%s", folder);
}

void ReadAppDataFolder(void)
{
    wchar_t wide[MAX_PATH];
    char folder[MAX_PATH];
    wide[0] = L'\0';
    folder[0] = '\0';
    // An empty folder is refused when the data folder is prepared. The wide
    // call gives the folder of any user name; the narrow one would give "?"
    // for each letter the code page lacks.
    SHGetFolderPathW(NULL, CSIDL_APPDATA, NULL, SHGFP_TYPE_CURRENT, wide);
    wide[MAX_PATH - 1] = L'\0';
    if (wide[0] != L'\0')
        NarrowPath(wide, folder, sizeof folder);
    SetAppDataFolder(folder);
}

const char *DataFolder(void)
{
    if (dataFolder[0] == '\0' &&
        !FormatPath(dataFolder, sizeof dataFolder, "%s\\%s\\", appDataFolder, GetString(IDS_PRODUCT)))
        return NULL;
    return dataFolder;
}

const char *SettingsFilePath(void)
{
    const char *folder = DataFolder();
    if (folder == NULL ||
        !FormatPath(settingsFilePath, sizeof settingsFilePath, "%s%s%s", folder, GetString(IDS_PRODUCT), ".cfg"))
        return NULL;
    return settingsFilePath;
}

// Copies one default file unless the data folder has it already. A missing
// default fails even where the data folder holds the file, so that every
// start checks its defaults. The copy goes through a temporary file, so a
// crash while seeding never leaves a cut-short file that would count as
// present.
static int SeedFile(const char *name, const char *targetPath)
{
    char defaultPath[ShortPathBufferSize];
    if (!DefaultFilePath(defaultPath, sizeof defaultPath, name))
        return 0;
    if (GetFileAttributesA(targetPath) != INVALID_FILE_ATTRIBUTES)
        return 1;
    char tempPath[PathBufferSize];
    if (!TempPathFor(tempPath, sizeof tempPath, targetPath) || !CopyFileA(defaultPath, tempPath, FALSE))
        return 0;
    // Without MOVEFILE_REPLACE_EXISTING a file that appeared meanwhile wins.
    if (MoveFileExA(tempPath, targetPath, MOVEFILE_WRITE_THROUGH))
        return 1;
    int alreadyThere = GetLastError() == ERROR_ALREADY_EXISTS || GetLastError() == ERROR_FILE_EXISTS;
    DeleteFileA(tempPath);
    return alreadyThere;
}

int PrepareDataFolder(void)
{
    const char *product = GetString(IDS_PRODUCT);
    if (appDataFolder[0] == '\0' || product == NULL)
        return 0;

    tooLongFolder[0] = '\0';
    const char *folder = DataFolder();
    char longest[ShortPathBufferSize];
    if (folder == NULL || !FormatPath(longest, sizeof longest, "%s%s%s%s", folder, product, LongestListSuffix, TempPathSuffix)) {
        // The refusal names the folder; a cut name still shows which one.
        if (!FormatPath(tooLongFolder, sizeof tooLongFolder, "%s\\%s", appDataFolder, product))
            FormatPath(tooLongFolder, sizeof tooLongFolder, "%s", appDataFolder);
        return 0;
    }

    char created[ShortPathBufferSize];
    if (!FormatPath(created, sizeof created, "%s\\%s", appDataFolder, product))
        return 0;
    if (!CreateDirectoryA(created, NULL) && GetLastError() != ERROR_ALREADY_EXISTS)
        return 0;

    const char *settingsPath = SettingsFilePath();
    if (settingsPath == NULL || !SeedFile(".cfg", settingsPath))
        return 0;

    for (int list = 1; list <= 3; list++) {
        char listPath[ShortPathBufferSize];
        char name[16];
        if (!FormatPath(name, sizeof name, "%d%s", list, ".dat") ||
            !FormatPath(listPath, sizeof listPath, "%s%s%d%s", folder, product, list, ".dat") ||
            !SeedFile(name, listPath))
            return 0;
    }
    return 1;
}
