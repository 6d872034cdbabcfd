// The drills' runner: GoogleTest, with nothing of the program left behind.
// "--data-folder" prints the unix path of the data folder instead, for the
// script that puts it on a small disk of its own.
#include <gtest/gtest.h>
#include <stdio.h>
#include <string.h>

#include "tests/e2e/daily.h"
#include "tests/e2e/harness.h"

int main(int argc, char **argv)
{
    setvbuf(stdout, NULL, _IONBF, 0);
    if (argc == 2 && strcmp(argv[1], "--data-folder") == 0) {
        printf("%s\n", unixPath(dataFolder()).c_str());
        return 0;
    }
    ::testing::InitGoogleTest(&argc, argv);
    int result = RUN_ALL_TESTS();
    stopAllVombly();
    return result;
}
