// The folders and file paths of the program: the start-up folder that holds
// the default files, the per-user data folder, the settings file's path, and
// the seeding of the data folder from the defaults.
#ifndef VOMBLY_SYSTEM_PATHS_H
#define VOMBLY_SYSTEM_PATHS_H

#include <stddef.h>

#include "core/rules.h"

// `wide` as the narrow file functions reach it: as it stands where the
// ANSI code page holds every character, else its short (8.3) form where that
// fits (the path must exist). Returns 1, or 0 with an empty buffer.
int NarrowPath(const wchar_t *wide, char *buffer, size_t size);

// Sets the start-up folder (app/rules.h) from the current directory.
int ReadStartupFolder(void);

// The folder of the program's own exe, ending in a backslash; empty when it
// could not be read. It stands in for the start-up folder where that lacks a
// default file.
const char *GetProgramFolder(void);
int SetProgramFolder(const char *folder);
int ReadProgramFolder(void);

// <folder>Vombly<name> for the first of the start-up folder and the
// program's folder that holds it. Returns 0, with an empty buffer, when
// neither does.
int DefaultFilePath(char *buffer, size_t size, const char *name);

// Copies `path` beside itself as <path>.damaged, or .damaged2, .damaged3, ...
// where earlier copies are (past .damaged99, named by the time), and puts
// the copy's path into `kept`. Returns 1; 2 when a kept copy already holds
// the same bytes (its path in `kept`, nothing copied); 0 with the system's
// error set.
int KeepDamagedCopy(const char *path, char *kept, size_t size);

// Where a file's contents that could not be saved at the end are kept:
// place 0 beside the file (<path>.unsaved), place 1 in the temporary folder
// under the file's own name, for when its folder takes nothing. 0 when the
// path does not fit.
enum { UnsavedPlaces = 2 };
int UnsavedCopyPath(const char *path, int place, char *out, size_t size);

// The per-user application-data folder, without a trailing backslash (read
// from the shell, or set by a test); setting it forgets the data folder
// built from the previous value.
int SetAppDataFolder(const char *folder);
void ReadAppDataFolder(void);

// <application data>\Vombly\ , built on the first request; NULL when it
// would not fit its buffer.
const char *DataFolder(void);

// <data folder>Vombly.cfg, rebuilt at every call; NULL when it would not fit.
const char *SettingsFilePath(void);

// Creates the data folder and copies every default file that it lacks from
// the start-up folder (or the program's folder, see DefaultFilePath); a file
// already there is never replaced. Refuses a data folder whose longest file
// path (the third list's temporary file) would not fit, and then names it
// through TooLongFolder (NULL otherwise). Returns 1 or 0.
int PrepareDataFolder(void);
const char *TooLongFolder(void);

#endif
