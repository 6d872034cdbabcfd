// Helpers of the Windows tests: a scratch folder per test, whole-file reads
// and writes, and the string cache loaded from the test exe's resources.
#ifndef VOMBLY_TESTS_WIN_TEST_UTIL_H
#define VOMBLY_TESTS_WIN_TEST_UTIL_H

#include <windows.h>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "tests/common/file_bytes.h"
#include "tests/common/win_files.h"

typedef std::vector<unsigned char> Bytes;

// A new empty folder under the system's temporary folder, without a
// trailing backslash; removed with everything in it by removeTree.
std::string makeScratchFolder(const char *name);

// Writes the whole file; a failed write fails the test.
void writeFileBytes(const std::string &path, const Bytes &bytes);
Bytes bytesOf(const char *text);

// Puts `replacement` into one of this exe's import slots (an __imp_ symbol,
// e.g. &__imp_LoadImageA, see paint_test.cpp for i686) and returns what was there: the program's calls
// to that system function then reach the test's stand-in.
void *replaceImport(void **slot, void *replacement);

// Names an import slot for replaceImport: __imp_Name on x86_64,
// __imp__Name@<argument bytes> on i686, where WINAPI names carry their
// stdcall decoration. extern "C" void *importX IMPORT_SLOT(X, 8);
#ifdef _WIN64
#define IMPORT_SLOT(name, bytes) __asm__("__imp_" #name)
#else
#define IMPORT_SLOT(name, bytes) __asm__("__imp__" #name "@" #bytes)
#endif

// Names of the files in a folder, sorted.
std::vector<std::string> folderEntries(const std::string &folder);

// The program's strings, loaded from this exe's own resources, and a data
// folder of its own under a scratch folder.
struct ProgramFixture : ::testing::Test {
    std::string scratch;
    std::string dataFolder;  // with a trailing backslash
    void SetUp() override;
    void TearDown() override;
};

#endif
