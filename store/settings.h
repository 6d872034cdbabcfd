// The one settings record of the run and its accessors, and the settings
// file that keeps it between runs.
#ifndef VOMBLY_STORE_SETTINGS_H
#define VOMBLY_STORE_SETTINGS_H

#include <stdint.h>

#include "store/format.h"

uint32_t GetActiveList(void);
void SetActiveList(uint32_t list);

// Lists 1 to 3 have their stored names; any other number is "Unknown".
const char *GetListName(int32_t list);
void SetListName(int32_t list, const char *name);

// The remembered selection of the active list; 0 (and no change) for a list
// number outside 1 to 3.
int32_t GetActiveListSelection(void);
void SetActiveListSelection(int32_t index);

int32_t GetSortEntries(void);
void SetSortEntries(int32_t value);
int32_t GetMinimiseAfterSelection(void);
void SetMinimiseAfterSelection(int32_t value);

// The record as it stands in memory, for the tests and the default files.
SettingsRecord *GetSettingsRecord(void);

// Reads and verifies the settings file; the record is unchanged unless the
// file is accepted. Returns 1 when it was.
int LoadSettings(void);

// Records the list box's selection, writes the settings file crash-safely
// and repaints the main window. Returns 1 when the file was written.
int SaveSettings(void);

#endif
