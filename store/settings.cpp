#include "store/settings.h"

#include <windows.h>
#include <stdio.h>
#include <string.h>

#include "app/paths.h"
#include "app/string_cache.h"
#include "res/resource.h"
#include "store/safe_write.h"

// All zero until a valid settings file is loaded; the file is the only
// source of defaults.
static SettingsRecord settingsRecord;

static ListState *ListOf(uint32_t list)
{
    return (list >= 1 && list <= 3) ? &settingsRecord.lists[list - 1] : NULL;
}

uint32_t GetActiveList(void)
{
    return settingsRecord.activeList;
}

void SetActiveList(uint32_t list)
{
    settingsRecord.activeList = list;
}

const char *GetListName(int32_t list)
{
    ListState *state = ListOf((uint32_t)list);
    return state != NULL ? state->listName : GetString(IDS_UNKNOWN);
}

void SetListName(int32_t list, const char *name)
{
    ListState *state = ListOf((uint32_t)list);
    if (state != NULL)
        snprintf(state->listName, sizeof state->listName, "%s", name);
}

int32_t GetActiveListSelection(void)
{
    ListState *state = ListOf(settingsRecord.activeList);
    return state != NULL ? state->listSelection : 0;
}

void SetActiveListSelection(int32_t index)
{
    ListState *state = ListOf(settingsRecord.activeList);
    if (state != NULL)
        state->listSelection = index;
}

int32_t GetSortEntries(void)
{
    return settingsRecord.sortEntries;
}

void SetSortEntries(int32_t value)
{
    settingsRecord.sortEntries = value;
}

int32_t GetMinimiseAfterSelection(void)
{
    return settingsRecord.minimiseAfterSelection;
}

void SetMinimiseAfterSelection(int32_t value)
{
    settingsRecord.minimiseAfterSelection = value;
}

SettingsRecord *GetSettingsRecord(void)
{
    return &settingsRecord;
}

int LoadSettings(void)
{
    const char *path = SettingsFilePath();
    if (path == NULL)
        return 0;
    FILE *file = fopen(path, "rb");
    if (file == NULL)
        return 0;
    unsigned char bytes[SettingsFileSize];
    size_t length = fread(bytes, 1, sizeof bytes, file);
    fclose(file);
    return DecodeSettingsFile(bytes, length, &settingsRecord);
}
