#include "app/paths.h"

#include <windows.h>
#include <shlobj.h>
#include <stdio.h>
#include <string.h>

#include "app/string_cache.h"
#include "res/resource.h"

static char appDataFolder[MAX_PATH];
static char dataFolder[PathBufferSize];
static char settingsFilePath[PathBufferSize];

// The longest name the program puts into the data folder is a list file of
// any list number, with the suffix of its temporary copy.
static const char LongestListSuffix[] = "-2147483648.dat";

int ReadStartupFolder(void)
{
    char directory[MAX_PATH];
    DWORD length = GetCurrentDirectoryA(ARRAYSIZE(directory), directory);
    // A longer directory does not fit the buffer and its text is undefined.
    if (length == 0 || length >= ARRAYSIZE(directory)) {
        SetStartupFolder(NULL);
        return 0;
    }
    return SetStartupFolder(directory);
}

const char *GetAppDataFolder(void)
{
    return appDataFolder;
}

int SetAppDataFolder(const char *folder)
{
    dataFolder[0] = '\0';
    return FormatPath(appDataFolder, sizeof appDataFolder, "%s", folder);
}

void ReadAppDataFolder(void)
{
    char folder[MAX_PATH];
    folder[0] = '\0';
    // The result is not tested: an empty folder is refused when the data
    // folder is prepared.
    SHGetFolderPathA(NULL, CSIDL_APPDATA, NULL, SHGFP_TYPE_CURRENT, folder);
    folder[MAX_PATH - 1] = '\0';
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
static int SeedFile(const char *defaultPath, const char *targetPath)
{
    if (GetFileAttributesA(defaultPath) == INVALID_FILE_ATTRIBUTES)
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

    const char *folder = DataFolder();
    char longest[PathBufferSize];
    if (folder == NULL || !FormatPath(longest, sizeof longest, "%s%s%s%s", folder, product, LongestListSuffix, TempPathSuffix))
        return 0;

    char created[ShortPathBufferSize];
    if (!FormatPath(created, sizeof created, "%s\\%s", appDataFolder, product))
        return 0;
    if (!CreateDirectoryA(created, NULL) && GetLastError() != ERROR_ALREADY_EXISTS)
        return 0;

    char defaultPath[ShortPathBufferSize];
    if (!FormatPath(defaultPath, sizeof defaultPath, "%s%s%s", GetStartupFolder(), product, ".cfg"))
        return 0;
    const char *settingsPath = SettingsFilePath();
    if (settingsPath == NULL || !SeedFile(defaultPath, settingsPath))
        return 0;

    for (int list = 1; list <= 3; list++) {
        char listPath[ShortPathBufferSize];
        if (!FormatPath(defaultPath, sizeof defaultPath, "%s%s%d%s", GetStartupFolder(), product, list, ".dat") ||
            !FormatPath(listPath, sizeof listPath, "%s%s%d%s", folder, product, list, ".dat") ||
            !SeedFile(defaultPath, listPath))
            return 0;
    }
    return 1;
}
