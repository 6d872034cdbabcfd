// The folders and file paths of the program: the start-up folder that holds
// the default files, the per-user data folder, the settings file's path, and
// the seeding of the data folder from the defaults.
#ifndef VOMBLY_APP_PATHS_H
#define VOMBLY_APP_PATHS_H

#include <stddef.h>

#include "app/rules.h"

// Sets the start-up folder (app/rules.h) from the current directory.
int ReadStartupFolder(void);

// The per-user application-data folder, without a trailing backslash, or
// empty when the shell reports none. Setting it forgets the data folder
// built from the previous value.
const char *GetAppDataFolder(void);
int SetAppDataFolder(const char *folder);
void ReadAppDataFolder(void);

// <application data>\Vombly\ , built on the first request; NULL when it
// would not fit its buffer.
const char *DataFolder(void);

// <data folder>Vombly.cfg, rebuilt at every call; NULL when it would not fit.
const char *SettingsFilePath(void);

// Creates the data folder and copies every default file that it lacks from
// the start-up folder; a file already there is never replaced. Refuses a
// data folder whose longest file path would not fit. Returns 1 or 0.
int PrepareDataFolder(void);

#endif
