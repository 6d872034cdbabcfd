// Whole-file reads and writes for the tests of every tree: plain stdio, so
// that the native, in-process Windows and end-to-end tests share them.
#ifndef VOMBLY_TESTS_COMMON_FILE_BYTES_H
#define VOMBLY_TESTS_COMMON_FILE_BYTES_H

#include <stdio.h>
#include <string>
#include <vector>

// The file's bytes; empty when it can't be opened.
inline std::vector<unsigned char> readFileBytes(const std::string &path)
{
    std::vector<unsigned char> bytes;
    FILE *file = fopen(path.c_str(), "rb");
    if (file == NULL)
        return bytes;
    unsigned char chunk[4096];
    size_t got;
    while ((got = fread(chunk, 1, sizeof chunk, file)) > 0)
        bytes.insert(bytes.end(), chunk, chunk + got);
    fclose(file);
    return bytes;
}

// Replaces the file with `bytes`; true when all of them were written.
inline bool saveFileBytes(const std::string &path, const std::vector<unsigned char> &bytes)
{
    FILE *file = fopen(path.c_str(), "wb");
    if (file == NULL)
        return false;
    // An empty vector may have no data pointer to hand to fwrite.
    bool ok = bytes.empty() || fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return fclose(file) == 0 && ok;
}

#endif
