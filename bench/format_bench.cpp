// Prints how long the settings file and list files take to encode and
// decode: start-up reads one settings file and one list, and every change
// writes one of them, so these bound the program's own share of that work.
//
//   build/native/bench/format_bench [entries]
#include <chrono>
#include <stdio.h>
#include <stdlib.h>
#include <string>
#include <vector>

#include "core/format.h"

typedef std::chrono::steady_clock Clock;

static double secondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Keeps the optimiser from dropping work whose result is otherwise unused.
static volatile unsigned sink;

static void settingsFigures(void)
{
    SettingsRecord record = {};
    record.activeList = 2;
    snprintf(record.lists[1].listName, ListNameSize, "%s", "Office and Work Items");
    unsigned char file[SettingsFileSize];
    const int rounds = 20000;
    Clock::time_point start = Clock::now();
    for (int i = 0; i < rounds; i++) {
        record.lists[0].listSelection = i;
        EncodeSettingsFile(&record, file);
        SettingsRecord back;
        sink = sink + (unsigned)DecodeSettingsFile(file, sizeof file, &back);
    }
    printf("settings file: %.2f us per write and read back (%d rounds)\n", secondsSince(start) * 1e6 / rounds,
           rounds);
}

static void listFigures(int entries)
{
    // Mostly short entries, with a long one every fiftieth.
    std::vector<std::string> texts;
    for (int i = 0; i < entries; i++)
        texts.push_back(i % 50 == 49 ? std::string(999, (char)('a' + i % 26))
                                     : "Entry number " + std::to_string(i) + ", an address or a greeting");
    std::vector<unsigned char> file;
    static unsigned char record[ListRecordHeaderSize + ListEntryWriteLimit];

    Clock::time_point start = Clock::now();
    for (const std::string &text : texts) {
        size_t size = EncodeListRecord(text.data(), (uint32_t)text.size(), record, sizeof record);
        file.insert(file.end(), record, record + size);
    }
    double encodeSeconds = secondsSince(start);

    static char text[ListEntryBufferSize];
    start = Clock::now();
    size_t offset = 0, consumed = 0;
    int decoded = 0;
    while (DecodeListRecord(file.data() + offset, file.size() - offset, text, &consumed)) {
        offset += consumed;
        decoded++;
    }
    double decodeSeconds = secondsSince(start);
    if (decoded != entries) {
        fprintf(stderr, "decoded %d of %d entries\n", decoded, entries);
        exit(1);
    }
    double megabytes = (double)file.size() / (1024.0 * 1024.0);
    printf("list file of %d entries (%.2f MiB): write %.2f ms (%.1f MiB/s), read %.2f ms (%.1f MiB/s)\n", entries,
           megabytes, encodeSeconds * 1e3, megabytes / encodeSeconds, decodeSeconds * 1e3,
           megabytes / decodeSeconds);
}

int main(int argc, char **argv)
{
    int entries = argc > 1 ? atoi(argv[1]) : 5000;
    if (entries <= 0)
        entries = 5000;
    SetScrambleMask(ScrambleMaskValue);
    settingsFigures();
    listFigures(100);
    listFigures(entries);
    return 0;
}
