// List-file images for the tests of every tree, made and read with the
// program's own record format (store/format.h) and the current scramble mask.
#ifndef VOMBLY_TESTS_COMMON_LIST_BYTES_H
#define VOMBLY_TESTS_COMMON_LIST_BYTES_H

#include <string>
#include <vector>

#include "core/format.h"

// The records of `entries`, one after the other. An entry that can't be
// encoded (longer than ListEntryWriteLimit) is left out and `*ok` is false.
inline std::vector<unsigned char> encodeListFile(const std::vector<std::string> &entries, bool *ok = nullptr)
{
    std::vector<unsigned char> bytes;
    bool all = true;
    for (const std::string &entry : entries) {
        std::vector<unsigned char> record(ListRecordHeaderSize + entry.size());
        size_t size = EncodeListRecord(entry.data(), (uint32_t)entry.size(), record.data(), record.size());
        if (size == 0)
            all = false;
        bytes.insert(bytes.end(), record.begin(), record.begin() + (long)size);
    }
    if (ok != nullptr)
        *ok = all;
    return bytes;
}

// The texts of the records of a list-file image, in order, until the first
// one that does not decode; each text is as long as its record says, so
// stray bytes after a zero show. `*used` gets the bytes the records take.
inline std::vector<std::string> decodeListFile(const std::vector<unsigned char> &bytes, size_t *used = nullptr)
{
    std::vector<std::string> texts;
    std::vector<char> text(ListEntryBufferSize);
    size_t at = 0, consumed = 0;
    while (at < bytes.size() && DecodeListRecord(bytes.data() + at, bytes.size() - at, text.data(), &consumed)) {
        texts.emplace_back(text.data(), consumed - ListRecordHeaderSize);
        at += consumed;
    }
    if (used != nullptr)
        *used = at;
    return texts;
}

// Four length bytes, least significant first, as a record starts.
inline void appendLength(std::vector<unsigned char> &out, uint32_t length)
{
    for (int i = 0; i < 4; i++)
        out.push_back((unsigned char)(length >> (8 * i)));
}

// `bytes` followed by a record's length field and nothing after it: the
// start of a record that claims `length` bytes.
inline std::vector<unsigned char> withLength(std::vector<unsigned char> bytes, uint32_t length)
{
    appendLength(bytes, length);
    return bytes;
}

#endif
