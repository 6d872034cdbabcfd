#include "store/settings.h"

#include <windows.h>
#include <stdio.h>
#include <string.h>

#include "system/notices.h"
#include "system/paths.h"
#include "system/string_cache.h"
#include "res/resource.h"
#include "store/safe_write.h"
#include "system/list_entry.h"

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

void GetListNameW(int32_t list, WCHAR *name, size_t units)
{
    if (name == NULL || units == 0)
        return;
    const char *ansi = GetListName(list);
    char utf8[ListNameUtf8Size];
    int unicode = DecodeListNameUtf8(settingsRecord.reservedTail, list, ansi, utf8, sizeof utf8);
    // Converted whole first (no name needs more units than its bytes), then
    // cut to the caller's room.
    WCHAR whole[ListNameUtf8Size];
    int length = MultiByteToWideChar(unicode ? CP_UTF8 : CP_ACP, 0, unicode ? utf8 : ansi != NULL ? ansi : "", -1,
                                     whole, ARRAYSIZE(whole));
    size_t copied = length > 0 ? (size_t)length - 1 : 0;
    if (copied > units - 1)
        copied = units - 1;
    memcpy(name, whole, copied * sizeof(WCHAR));
    name[copied] = 0;
}

void SetListNameW(int32_t list, const WCHAR *name)
{
    char ansi[ListNameSize];
    int exact = 1;
    int units = (int)wcsnlen(name, ListNameUtf8Size);
    // A name whose form is too long for its field keeps the start that fits.
    while (units > 0 && AnsiFormOf(name, units, ansi, sizeof ansi, &exact) < 0)
        units--;
    if (units == 0)
        ansi[0] = '\0';
    SetListName(list, ansi);
    char utf8[ListNameUtf8Size] = "";
    if (!exact && WideCharToMultiByte(CP_UTF8, 0, name, units, utf8, sizeof utf8 - 1, NULL, NULL) <= 0)
        utf8[0] = '\0';
    EncodeListNameUtf8(settingsRecord.reservedTail, list, GetListName(list), utf8);
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

void GetOptions(OptionsBlock *options)
{
    DecodeOptions(settingsRecord.reservedTail, options);
}

void SetOptions(const OptionsBlock *options)
{
    EncodeOptions(options, settingsRecord.reservedTail);
}

void GetHotkey(uint32_t *modifiers, uint32_t *key)
{
    OptionsBlock options;
    GetOptions(&options);
    *modifiers = options.hotkeyModifiers;
    *key = options.hotkeyKey;
}

void SetHotkey(uint32_t modifiers, uint32_t key)
{
    OptionsBlock options;
    GetOptions(&options);
    options.hotkeyModifiers = modifiers & OptionsModifierMask;
    options.hotkeyKey = key <= 0xFF ? key : 0;
    SetOptions(&options);
}

int32_t GetPasteAfterHotkey(void)
{
    OptionsBlock options;
    GetOptions(&options);
    return (int32_t)options.pasteAfterHotkey;
}

void SetPasteAfterHotkey(int32_t value)
{
    OptionsBlock options;
    GetOptions(&options);
    options.pasteAfterHotkey = value == 1 ? 1 : 0;
    SetOptions(&options);
}

int32_t GetListPrivate(int32_t list)
{
    if (list < 1 || list > 3)
        return 0;
    OptionsBlock options;
    GetOptions(&options);
    return (options.privateLists >> (list - 1)) & 1;
}

void SetListPrivate(int32_t list, int32_t value)
{
    if (list < 1 || list > 3)
        return;
    OptionsBlock options;
    GetOptions(&options);
    uint32_t bit = 1u << (list - 1);
    options.privateLists = value == 1 ? (options.privateLists | bit) : (options.privateLists & ~bit);
    SetOptions(&options);
}

uint32_t GetPrivateClearSeconds(void)
{
    OptionsBlock options;
    GetOptions(&options);
    return options.privateClearSeconds;
}

void SetPrivateClearSeconds(uint32_t seconds)
{
    OptionsBlock options;
    GetOptions(&options);
    options.privateClearSeconds = seconds <= OptionsMaxClearSeconds ? seconds : (uint32_t)OptionsMaxClearSeconds;
    SetOptions(&options);
}

SettingsRecord *GetSettingsRecord(void)
{
    return &settingsRecord;
}

enum { SettingsMissing = 0, SettingsAccepted = 1, SettingsDamaged = 2, SettingsUnreadable = 3 };

// Why the settings file could not be read, when it could not.
static unsigned long readError;

// Reads and decodes one settings file into `record`. A file that opens but
// is not accepted is damaged; one that is not there is missing; one that is
// there but cannot be opened (another program holds it, waited for up to
// `waitMs`) is unreadable.
static int ReadSettingsFile(const char *path, SettingsRecord *record, unsigned long waitMs)
{
    FILE *file = OpenHeldFile(path, waitMs, &readError);
    if (file == NULL)
        return readError == ERROR_FILE_NOT_FOUND || readError == ERROR_PATH_NOT_FOUND ? SettingsMissing
                                                                                       : SettingsUnreadable;
    unsigned char bytes[SettingsFileSize];
    size_t length = fread(bytes, 1, sizeof bytes, file);
    fclose(file);
    return DecodeSettingsFile(bytes, length, record) ? SettingsAccepted : SettingsDamaged;
}

// Set when a damaged settings file could not be kept aside: it is then
// never written over in this run.
static int settingsHeld;
// Set while the settings file could not be read: the run goes on from the
// defaults and never writes over the file; every save reads it again.
static int settingsUnread;

int LoadSettings(void)
{
    return ReadSettingsFile(SettingsFilePath(), &settingsRecord, 0) == SettingsAccepted;
}

static void ReadDefaultSettings(void)
{
    char defaultPath[ShortPathBufferSize];
    if (DefaultFilePath(defaultPath, sizeof defaultPath, ".cfg"))
        ReadSettingsFile(defaultPath, &settingsRecord, HeldFileWaitMs);
}

// Only lists 1 to 3 have files; any other number starts on list 1, the
// rule Toggle List follows.
static void ClampActiveList(void)
{
    if (GetActiveList() < 1 || GetActiveList() > 3)
        SetActiveList(1);
}

void OfferKeptSettings(void)
{
    const char *path = SettingsFilePath();
    for (int place = 0; place < UnsavedPlaces; place++) {
        char kept[PathBufferSize];
        if (path == NULL || !UnsavedCopyPath(path, place, kept, sizeof kept) ||
            GetFileAttributesA(kept) == INVALID_FILE_ATTRIBUTES)
            continue;
        if (ShowNotice(MB_YESNO | MB_ICONWARNING, IDS_KEPT_SETTINGS_OFFER, kept) != IDYES)
            continue;
        SettingsRecord record = {};
        unsigned long error = ERROR_FILE_CORRUPT;
        if (ReadSettingsFile(kept, &record, HeldFileWaitMs) == SettingsAccepted) {
            SettingsRecord before = settingsRecord;
            settingsRecord = record;
            ClampActiveList();
            if (WriteSettingsFile()) {
                DeleteFileA(kept);
                continue;
            }
            error = GetSafeWriteError();
            settingsRecord = before;
        }
        char reason[512];
        ErrorText(error, reason, sizeof reason);
        ShowNotice(MB_ICONERROR, IDS_KEPT_SETTINGS_NOT_TAKEN, reason, kept);
    }
}

int KeepUnsavedSettings(char *kept, size_t size)
{
    if (!SaveFailed(SaveTargetSettings))
        return 0;
    settingsRecord.reservedHead = 0;
    unsigned char bytes[SettingsFileSize];
    EncodeSettingsFile(&settingsRecord, bytes);
    for (int place = 0; place < UnsavedPlaces; place++) {
        if (UnsavedCopyPath(SettingsFilePath(), place, kept, size) && WriteWholeFile(kept, bytes, sizeof bytes))
            return 1;
    }
    return -1;
}

void LoadSettingsAtStart(void)
{
    char path[PathBufferSize];
    const char *current = SettingsFilePath();
    int read = current != NULL && FormatPath(path, sizeof path, "%s", current)
                   ? ReadSettingsFile(path, &settingsRecord, HeldFileWaitMs)
                   : SettingsMissing;
    if (read == SettingsDamaged) {
        // Before the first save writes over it, the damaged file is kept;
        // the run then starts from the default settings, as a first start
        // would.
        char kept[PathBufferSize];
        int keptAside = KeepDamagedCopy(path, kept, sizeof kept);
        unsigned long error = GetLastError();
        ReadDefaultSettings();
        if (keptAside) {
            ShowNotice(MB_ICONWARNING, IDS_SETTINGS_DAMAGED, kept);
        } else {
            settingsHeld = 1;
            char reason[512];
            ErrorText(error, reason, sizeof reason);
            ShowNotice(MB_ICONERROR, IDS_SETTINGS_NOT_KEPT, reason);
        }
    } else if (read == SettingsUnreadable) {
        // Held by another program, it is not missing: the user's settings
        // are still in it and must not be replaced by the defaults.
        unsigned long error = readError;
        ReadDefaultSettings();
        settingsUnread = 1;
        char reason[512];
        ErrorText(error, reason, sizeof reason);
        ShowNotice(MB_ICONERROR, IDS_SETTINGS_UNREAD, reason);
    }
    ClampActiveList();
}

// A settings file that could not be read at start is read again; once it
// can be, its record is taken over, apart from the list shown and the
// entries selected, which belong to this run. 1 when it may be written.
static int ReadUnreadSettings(void)
{
    SettingsRecord onDisk = {};
    int read = ReadSettingsFile(SettingsFilePath(), &onDisk, 0);
    if (read == SettingsUnreadable || read == SettingsDamaged)
        return 0;
    if (read == SettingsAccepted) {
        onDisk.activeList = settingsRecord.activeList;
        for (int list = 0; list < 3; list++)
            onDisk.lists[list].listSelection = settingsRecord.lists[list].listSelection;
        settingsRecord = onDisk;
    }
    settingsUnread = 0;
    return 1;
}

int SettingsFileUnchanged(void)
{
    settingsRecord.reservedHead = 0;
    unsigned char bytes[SettingsFileSize];
    EncodeSettingsFile(&settingsRecord, bytes);
    const char *path = SettingsFilePath();
    FILE *file = path != NULL ? fopen(path, "rb") : NULL;
    if (file == NULL)
        return 0;
    // One byte more than a settings file holds tells a longer file, which a
    // save would cut to size.
    unsigned char onDisk[SettingsFileSize + 1];
    size_t length = fread(onDisk, 1, sizeof onDisk, file);
    fclose(file);
    return length == SettingsFileSize && memcmp(onDisk, bytes, SettingsFileSize) == 0;
}

// Writes the record crash-safely unless a damaged file it would replace
// could not be kept; a failure is told once and tried again at every save.
int WriteSettingsFile(void)
{
    settingsRecord.reservedHead = 0;
    unsigned char bytes[SettingsFileSize];
    EncodeSettingsFile(&settingsRecord, bytes);
    if (settingsHeld || (settingsUnread && !ReadUnreadSettings()))
        return 0;
    settingsRecord.reservedHead = 0;
    EncodeSettingsFile(&settingsRecord, bytes);
    int written = WriteWholeFile(SettingsFilePath(), bytes, sizeof bytes);
    NoteSaveOutcome(SaveTargetSettings, written, written ? 0 : GetSafeWriteError());
    return written;
}
