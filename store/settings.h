// The one settings record of the run and its accessors, and the settings
// file that keeps it between runs.
#ifndef VOMBLY_STORE_SETTINGS_H
#define VOMBLY_STORE_SETTINGS_H

#include <windows.h>
#include <stdint.h>

#include "core/format.h"
#include "core/options_format.h"

uint32_t GetActiveList(void);
void SetActiveList(uint32_t list);

// Lists 1 to 3 have their stored names; any other number is "Unknown".
const char *GetListName(int32_t list);
void SetListName(int32_t list, const char *name);
// The same as Unicode (`units` WCHARs of room): a name the ANSI form cannot
// carry is kept in the tail beside its ANSI form, and comes back while the
// record's name is still that form.
void GetListNameW(int32_t list, WCHAR *name, size_t units);
void SetListNameW(int32_t list, const WCHAR *name);

// The remembered selection of the active list; 0 (and no change) for a list
// number outside 1 to 3.
int32_t GetActiveListSelection(void);
void SetActiveListSelection(int32_t index);

int32_t GetSortEntries(void);
void SetSortEntries(int32_t value);
int32_t GetMinimiseAfterSelection(void);
void SetMinimiseAfterSelection(int32_t value);

// Options kept in the record's reserved tail. Reading a tail that holds no
// options block gives the defaults; the block is written into the tail only
// when an option is set, so a user who never changes one keeps the tail's
// bytes as they were.
void GetOptions(OptionsBlock *options);
void SetOptions(const OptionsBlock *options);

// The global hotkey: MOD_* bits and a virtual-key code; a key of 0 is none.
void GetHotkey(uint32_t *modifiers, uint32_t *key);
void SetHotkey(uint32_t modifiers, uint32_t key);
int32_t GetPasteAfterHotkey(void);
void SetPasteAfterHotkey(int32_t value);
// 1 when list 1 to 3 is private; 0 for any other number.
int32_t GetListPrivate(int32_t list);
void SetListPrivate(int32_t list, int32_t value);
uint32_t GetPrivateClearSeconds(void);
void SetPrivateClearSeconds(uint32_t seconds);

// Test-only: the record as it stands in memory (the default files are
// written by the native tree's make_defaults, not from here).
SettingsRecord *GetSettingsRecord(void);

// Reads and verifies the settings file; the record is unchanged unless the
// file is accepted. Returns 1 when it was.
int LoadSettings(void);

// The start's load: a settings file that is there but not accepted is kept
// aside (<file>.damaged, .damaged2, ...) and the run starts from the default
// settings file, with the user told where the damaged one is; when it cannot
// be kept, it is not written over in this run. A settings file another
// program holds is waited for a moment, then the run starts from the
// defaults without writing over it until a later save can read it.
// Any active list outside 1 to 3 becomes list 1.
void LoadSettingsAtStart(void);

// Settings kept at the last end, because they could not be saved then, are
// offered back; taken, they are written at once and the kept file goes.
// Called at start by the copy that goes on, never by one about to end.
void OfferKeptSettings(void);

// Writes the record as it stands to the settings file crash-safely (not a
// damaged file that could not be kept aside). Returns 1 when it was written;
// a failure is told once (see NoteSaveOutcome).
int WriteSettingsFile(void);

// At the end: when the last settings save failed, the record is written to
// <settings file>.unsaved, or to the temporary folder when that fails; the
// next start offers it back. Returns 1 with the path in `kept`, 0 when
// nothing was unsaved, -1 when it could not be kept anywhere.
int KeepUnsavedSettings(char *kept, size_t size);

// 1 when the settings file holds exactly the bytes a save would write now,
// so that writing it would change nothing.
int SettingsFileUnchanged(void);

#endif
