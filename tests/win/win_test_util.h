// Helpers of the Windows tests: a scratch folder per test, whole-file reads
// and writes, and the string cache loaded from the test exe's resources.
#ifndef VOMBLY_TESTS_WIN_TEST_UTIL_H
#define VOMBLY_TESTS_WIN_TEST_UTIL_H

#include <windows.h>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "tests/common/file_bytes.h"

typedef std::vector<unsigned char> Bytes;

// A new empty folder under the system's temporary folder, without a
// trailing backslash; removed with everything in it by removeTree.
std::string makeScratchFolder(const char *name);
void removeTree(const std::string &folder);

bool fileExists(const std::string &path);
// Writes the whole file; a failed write fails the test.
void writeFileBytes(const std::string &path, const Bytes &bytes);
Bytes bytesOf(const char *text);

// Every entry of a list box, read through its Unicode messages and
// converted to the ANSI code page. The ANSI LB_GETTEXT cannot be used: some
// common-controls list boxes convert long items into too small a buffer.
std::vector<std::string> listBoxTexts(HWND listBox);

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
