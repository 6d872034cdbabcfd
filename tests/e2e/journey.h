// The fixture of every journey: no Vombly runs and no data folder exists at
// the start, and nothing is left behind at the end. A failing journey leaves
// a screenshot of the desktop as it was.
#ifndef VOMBLY_TESTS_E2E_JOURNEY_H
#define VOMBLY_TESTS_E2E_JOURNEY_H

#include <gtest/gtest.h>
#include <stdio.h>
#include <string>

#include "harness.h"

struct Journey : ::testing::Test {
    void SetUp() override
    {
        stopAllVombly();
        setReportedWindowsVersion(NULL);
        resetDataFolder();
    }

    void TearDown() override
    {
        if (HasFailure()) {
            const ::testing::TestInfo *test = ::testing::UnitTest::GetInstance()->current_test_info();
            std::string name = std::string(test->test_suite_name()) + "." + test->name();
            std::string shot = saveScreenshot(name.c_str());
            printf("Screenshot: %s\n", shot.empty() ? "(none could be taken)" : shot.c_str());
        }
        stopAllVombly();
        setReportedWindowsVersion(NULL);
        resetDataFolder();
    }
};

#endif
