// make_defaults OUTDIR: writes the settings file and the three list files a
// new user starts with. Run at build time; the files ship beside the exe.
#include <errno.h>
#include <filesystem>
#include <stdio.h>
#include <string.h>
#include <system_error>

#include "core/format.h"

static const char *const listNames[3] = {
    "List 1: Home and Personal Items",
    "List 2: Office and Work Items",
    "List 3: Other Items",
};

// Null-terminated entry lists, one per list file.
static const char *const list1Entries[] = {
    "Double-click a line to copy it, then paste it anywhere.",
    "10 Sample Street, Exampletown EX1 2AB",
    "Kind regards,",
    "Thanks for your message, I will get back to you shortly.",
    nullptr,
};
static const char *const list2Entries[] = {
    "Please find the attached document.",
    "Invoice number: INV-2026-0001",
    "IBAN: GB33 BUKB 2020 1555 5555 55",
    "I am out of the office until Monday.",
    nullptr,
};
static const char *const list3Entries[] = {
    "https://www.example.com/",
    "#include <stdio.h>",
    "SELECT * FROM customers WHERE id = ?;",
    nullptr,
};
static const char *const *const listEntries[3] = {list1Entries, list2Entries, list3Entries};

static char outDir[1024];

static int buildPath(char *path, size_t size, const char *name)
{
    int n = snprintf(path, size, "%s/%s", outDir, name);
    return n > 0 && (size_t)n < size;
}

// Writes to NAME.tmp and renames it into place, so an interrupted build never
// leaves a half-written file that looks up to date.
static int writeFile(const char *name, const unsigned char *bytes, size_t length)
{
    char path[1200], tempPath[1210];
    if (!buildPath(path, sizeof path, name) || snprintf(tempPath, sizeof tempPath, "%s.tmp", path) >= (int)sizeof tempPath) {
        fprintf(stderr, "make_defaults: path too long for %s\n", name);
        return 0;
    }
    FILE *f = fopen(tempPath, "wb");
    if (!f) {
        fprintf(stderr, "make_defaults: cannot create %s: %s\n", tempPath, strerror(errno));
        return 0;
    }
    int ok = fwrite(bytes, 1, length, f) == length;
    if (fclose(f) != 0)
        ok = 0;
    if (!ok) {
        fprintf(stderr, "make_defaults: cannot write %s\n", tempPath);
        remove(tempPath);
        return 0;
    }
    if (rename(tempPath, path) != 0) {
        // Some systems refuse to rename over an existing file.
        remove(path);
        if (rename(tempPath, path) != 0) {
            fprintf(stderr, "make_defaults: cannot rename %s to %s: %s\n", tempPath, path, strerror(errno));
            remove(tempPath);
            return 0;
        }
    }
    return 1;
}

static int writeSettings(void)
{
    SettingsRecord record;
    memset(&record, 0, sizeof record);
    record.reservedHead = 0;
    record.sortEntries = 0;
    record.minimiseAfterSelection = 1;
    record.activeList = 1;
    for (int i = 0; i < 3; i++) {
        snprintf(record.lists[i].listName, ListNameSize, "%s", listNames[i]);
        record.lists[i].listSelection = 0;
    }
    unsigned char file[SettingsFileSize];
    EncodeSettingsFile(&record, file);
    return writeFile("Vombly.cfg", file, sizeof file);
}

static int writeList(int index)
{
    // The defaults are a few short lines; this is plenty.
    static unsigned char bytes[4 * (ListRecordHeaderSize + ListEntryWriteLimit)];
    size_t used = 0;
    for (const char *const *entry = listEntries[index]; *entry; entry++) {
        size_t n = EncodeListRecord(*entry, (uint32_t)strlen(*entry), bytes + used, sizeof bytes - used);
        if (n == 0) {
            fprintf(stderr, "make_defaults: cannot encode \"%s\"\n", *entry);
            return 0;
        }
        used += n;
    }
    char name[32];
    snprintf(name, sizeof name, "Vombly%d.dat", index + 1);
    return writeFile(name, bytes, used);
}

int main(int argc, char **argv)
{
    if (argc != 2) {
        fprintf(stderr, "usage: make_defaults OUTDIR\n");
        return 2;
    }
    if (snprintf(outDir, sizeof outDir, "%s", argv[1]) >= (int)sizeof outDir) {
        fprintf(stderr, "make_defaults: output folder name too long\n");
        return 1;
    }
    std::error_code error;
    std::filesystem::create_directories(outDir, error);
    if (error) {
        fprintf(stderr, "make_defaults: cannot create %s: %s\n", outDir, error.message().c_str());
        return 1;
    }

    SetScrambleMask(ScrambleMaskValue);
    if (!writeSettings())
        return 1;
    for (int i = 0; i < 3; i++)
        if (!writeList(i))
            return 1;
    return 0;
}
