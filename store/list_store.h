// A list on disk as Unicode: the list file, which keeps every entry in its
// ANSI form, and the companion file beside it (<list file>.u), which keeps
// the Unicode text of exactly those entries the ANSI form cannot carry.
#ifndef VOMBLY_STORE_LIST_STORE_H
#define VOMBLY_STORE_LIST_STORE_H

#include <windows.h>
#include <stdio.h>

// <list file>.u; 0 when it would not fit `size`.
int CompanionPathOf(const char *listPath, char *out, size_t size);

// What became of the companion at a read.
enum CompanionState {
    CompanionAbsent = 0,     // none: every entry is its list file text
    CompanionUsed = 1,       // read and matched
    CompanionDamaged = 2,    // it exists but does not decode
    CompanionUnreadable = 3  // it exists but could not be read (error in *companionError)
};

// Gets each entry's text in file order, zero-terminated; returns 1 to go on.
typedef int (*ListEntrySink)(void *context, const WCHAR *text, int units);

// Reads the records of the list file `file` (open at its start) whole, then
// the companion beside `listPath`, and hands every entry to `sink`: as the
// companion's Unicode text when the entry's ANSI bytes are that record's,
// otherwise as the list file's text. Returns the entries handed on. Stores
// in *endOfGood the file position after the last whole record (so that
// damage shows as a shorter end than the file's size) and the companion's
// state in *companion.
int ReadListEntries(FILE *file, const char *listPath, ListEntrySink sink, void *context, long *endOfGood,
                    int *companion, unsigned long *companionError);

// Gives entry `index`'s text; returns its length in WCHARs, or -1 to leave
// the entry out.
typedef int (*ListEntrySource)(void *context, int index, const WCHAR **text);

// Writes `count` entries to `listPath` and its companion, each file replaced
// only once it is complete. The companion goes first and keeps, beside the
// records of the new list file, those of the list file still on disk: a stop
// between the two replaces leaves that file beside records made for it, so
// nothing that was on disk is lost. A list whose entries the ANSI form
// carries whole needs no companion and removes it. An entry longer than a
// list file keeps is left out; the first such entry's index goes to
// *leftOut (-1 when none was). Returns 1 when both are in place; otherwise 0
// with the reason in GetSafeWriteError.
int WriteListEntries(const char *listPath, int count, ListEntrySource source, void *context, int *leftOut);

#endif
