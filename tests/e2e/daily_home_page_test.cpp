// The home page, opened in the browser from each of its menu items.
#include "daily_journey.h"

namespace {

// ---- The home page ---------------------------------------------------------

const char BrowserKey[] = "Software\\Wine\\WineBrowser";

// Wine opens web addresses with winebrowser, which runs the first program
// of HKCU\Software\Wine\WineBrowser "Browsers" that starts, with the address
// as its last argument. A recorder script stands in for the browser.
struct DailyHomePageJourney : DailyJourney {
    bool hadBrowsers = false;
    DWORD browsersType = REG_SZ;
    std::vector<BYTE> browsers;
    std::string script, log;

    void SetUp() override
    {
        DailyJourney::SetUp();
        HKEY key;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, BrowserKey, 0, KEY_READ, &key) == ERROR_SUCCESS) {
            DWORD size = 0;
            if (RegQueryValueExA(key, "Browsers", NULL, &browsersType, NULL, &size) == ERROR_SUCCESS) {
                browsers.resize(size);
                hadBrowsers = RegQueryValueExA(key, "Browsers", NULL, &browsersType, browsers.data(), &size) ==
                              ERROR_SUCCESS;
            }
            RegCloseKey(key);
        }
        script = testExeFolder() + "home_page_browser.sh";
        log = testExeFolder() + "home_page_browser.log";
        DeleteFileA(log.c_str());
    }

    void TearDown() override
    {
        HKEY key;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, BrowserKey, 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
            if (hadBrowsers)
                RegSetValueExA(key, "Browsers", 0, browsersType, browsers.data(), (DWORD)browsers.size());
            else
                RegDeleteValueA(key, "Browsers");
            RegCloseKey(key);
        }
        DeleteFileA(script.c_str());
        DeleteFileA(log.c_str());
        DailyJourney::TearDown();
    }

    // Writes the recorder and makes it the only browser.
    bool installRecorder()
    {
        std::string scriptUnix = unixPath(script), logUnix = unixPath(log);
        if (scriptUnix.empty() || logUnix.empty())
            return false;
        std::string text = "#!/bin/sh\n# Stands in for the browser: records the address it was given.\n"
                           "printf '%s\\n' \"$*\" >> '" + logUnix + "'\n";
        if (!saveFileBytes(script, std::vector<unsigned char>(text.begin(), text.end())))
            return false;
        // Run through the shell, so the script needs no execute bit.
        std::string command = "/bin/sh \"" + scriptUnix + "\"";
        HKEY key;
        if (RegCreateKeyExA(HKEY_CURRENT_USER, BrowserKey, 0, NULL, 0, KEY_ALL_ACCESS, NULL, &key, NULL) != ERROR_SUCCESS)
            return false;
        LONG set = RegSetValueExA(key, "Browsers", 0, REG_SZ, (const BYTE *)command.c_str(), (DWORD)command.size() + 1);
        RegCloseKey(key);
        return set == ERROR_SUCCESS;
    }

    std::vector<std::string> recorded()
    {
        std::vector<unsigned char> bytes = readFileBytes(log);
        std::vector<std::string> lines;
        std::string line;
        for (unsigned char c : bytes) {
            if (c == '\n') {
                lines.push_back(line);
                line.clear();
            } else {
                line += (char)c;
            }
        }
        return lines;
    }
};

TEST_F(DailyHomePageJourney, EachChoiceOpensTheHomePageInTheBrowser)
{
    ASSERT_TRUE(installRecorder());
    ASSERT_NO_FATAL_FAILURE(startWith(settingsRecord(1, 0, 0)));
    const std::string address = "http://www.vombly.com/clipboard-utility.html";

    for (size_t times = 1; times <= 2; times++) {
        SCOPED_TRACE(times);
        ASSERT_TRUE(chooseMenu(window, "Info", "Home Page / Purchase"));
        EXPECT_TRUE(waitFor([&] { return recorded().size() >= times; }, 2 * UiTimeoutMs))
            << "the browser was not started";
        EXPECT_TRUE(answers(window, 2000));
    }
    EXPECT_EQ(std::vector<std::string>(2, address), recorded());
    EXPECT_FALSE(hasVisibleDialog(vombly.pid));
}

} // namespace
