// Writes the benchmark's inputs: list files of N entries (20-80 characters,
// or 4,000 for the long case) in the program's list format and as plain
// lines for the baseline, and a settings file with list 1 active, sorted
// or not, made from the default settings file.
//
//   make_lists DEFAULT_CFG OUT_DIR
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <string>
#include <vector>

#include "core/format.h"

static unsigned seed = 12345;

static unsigned nextRandom(void)
{
    seed = seed * 1103515245u + 12345u;
    return (seed >> 8) & 0xffffff;
}

static std::string entryText(size_t length)
{
    static const char letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 ,.-";
    std::string text(length, ' ');
    for (size_t i = 0; i < length; i++)
        text[i] = letters[nextRandom() % (sizeof letters - 1)];
    return text;
}

static int writeList(const char *dir, const char *name, int count, size_t minLength, size_t maxLength)
{
    std::string datPath = std::string(dir) + "/" + name + ".dat";
    std::string txtPath = std::string(dir) + "/" + name + ".txt";
    FILE *dat = fopen(datPath.c_str(), "wb");
    FILE *txt = fopen(txtPath.c_str(), "wb");
    if (!dat || !txt) {
        fprintf(stderr, "make_lists: cannot create %s\n", datPath.c_str());
        return 0;
    }
    std::vector<unsigned char> record(ListRecordHeaderSize + ListEntryWriteLimit);
    for (int i = 0; i < count; i++) {
        std::string text = entryText(minLength + nextRandom() % (maxLength - minLength + 1));
        size_t size = EncodeListRecord(text.data(), (uint32_t)text.size(), record.data(), record.size());
        fwrite(record.data(), 1, size, dat);
        fprintf(txt, "%s\n", text.c_str());
    }
    int ok = fclose(dat) == 0;
    return fclose(txt) == 0 && ok;
}

static int writeSettings(const char *defaults, const char *dir)
{
    unsigned char file[SettingsFileSize];
    FILE *in = fopen(defaults, "rb");
    SettingsRecord record;
    if (!in || fread(file, 1, sizeof file, in) != sizeof file || !DecodeSettingsFile(file, sizeof file, &record)) {
        fprintf(stderr, "make_lists: cannot read the default settings %s\n", defaults);
        return 0;
    }
    fclose(in);
    record.activeList = 1;
    record.minimiseAfterSelection = 0;
    record.lists[0].listSelection = 0;
    for (int sorted = 0; sorted < 2; sorted++) {
        record.sortEntries = sorted;
        EncodeSettingsFile(&record, file);
        std::string path = std::string(dir) + (sorted ? "/sorted.cfg" : "/unsorted.cfg");
        FILE *out = fopen(path.c_str(), "wb");
        if (!out || fwrite(file, 1, sizeof file, out) != sizeof file || fclose(out) != 0)
            return 0;
    }
    return 1;
}

int main(int argc, char **argv)
{
    if (argc != 3) {
        fprintf(stderr, "usage: make_lists DEFAULT_CFG OUT_DIR\n");
        return 2;
    }
    SetScrambleMask(ScrambleMaskValue);
    const int counts[] = {0, 100, 1000, 10000, 100000};
    for (int count : counts) {
        char name[32];
        snprintf(name, sizeof name, "list-%d", count);
        if (!writeList(argv[2], name, count, 20, 80))
            return 1;
    }
    if (!writeList(argv[2], "list-100-long", 100, 4000, 4000) || !writeSettings(argv[1], argv[2]))
        return 1;
    return 0;
}
