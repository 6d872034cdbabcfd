// The data folder held by one running copy at a time, across sessions too:
// two sessions of the same user (two remote desktops, a redirected
// application-data folder) do not share the single-copy mutex, and two
// copies on one folder would each rewrite the lists from their own screen.
#ifndef VOMBLY_SYSTEM_FOLDER_LOCK_H
#define VOMBLY_SYSTEM_FOLDER_LOCK_H

#include <windows.h>

// Opens <folder><product>.lock (made when missing, and left there) and
// locks its first byte for as long as the handle stays open; the system
// lets go of it when the process ends, however it ends, so no lock is ever
// left behind. A lock another process holds is tried again for up to
// `waitMs`, since a copy that has just been ended may still be letting go.
// Returns 0 while another copy holds the folder (*held NULL); otherwise 1,
// with the open handle in *held, or NULL where the file could not be opened
// or locked for another reason (a read-only folder, a file system without
// locks), which holds nothing up: the saves then tell their own failures.
int HoldDataFolder(const char *folder, unsigned long waitMs, HANDLE *held);

#endif
