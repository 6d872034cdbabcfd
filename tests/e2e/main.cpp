// The journeys' runner: GoogleTest, with nothing of the program left behind
// even when a journey ends early.
#include <gtest/gtest.h>
#include <stdio.h>

#include "harness.h"

int main(int argc, char **argv)
{
    // Output goes through a pipe under Wine; keep it in order with ctest's.
    setvbuf(stdout, NULL, _IONBF, 0);
    becomeDpiAware();
    ::testing::InitGoogleTest(&argc, argv);
    int result = RUN_ALL_TESTS();
    stopAllVombly();
    setReportedWindowsVersion(NULL);
    return result;
}
