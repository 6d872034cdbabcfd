// A user whose name is in another script than the computer's code page (a
// Cyrillic name on an English Windows): the application-data folder lies
// under C:\users\<user>\Тест\, and Vombly starts, seeds its data folder
// there, copies and saves as for anyone else.
#include "daily_journey.h"

namespace {

const wchar_t ShellFolders[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";

// The user's application-data folder as the shell reports it; "" when none.
std::wstring registeredAppData()
{
    HKEY key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, ShellFolders, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return L"";
    wchar_t value[MAX_PATH] = L"";
    DWORD size = sizeof value - sizeof(wchar_t);
    LONG result = RegQueryValueExW(key, L"AppData", NULL, NULL, (BYTE *)value, &size);
    RegCloseKey(key);
    return result == ERROR_SUCCESS ? value : L"";
}

bool registerAppData(const std::wstring &folder)
{
    HKEY key;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, ShellFolders, 0, NULL, 0, KEY_SET_VALUE, NULL, &key, NULL) != ERROR_SUCCESS)
        return false;
    LONG result = folder.empty() ? RegDeleteValueW(key, L"AppData")
                                 : RegSetValueExW(key, L"AppData", 0, REG_EXPAND_SZ, (const BYTE *)folder.c_str(),
                                                  (DWORD)((folder.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
    return result == ERROR_SUCCESS;
}

std::wstring userProfile()
{
    wchar_t profile[MAX_PATH] = L"";
    DWORD length = GetEnvironmentVariableW(L"USERPROFILE", profile, ARRAYSIZE(profile));
    return length > 0 && length < ARRAYSIZE(profile) ? profile : L"";
}

struct AnyUserJourney : DailyJourney {
    // "Тест": none of its letters is in the Western code pages.
    const std::wstring userFolder = userProfile() + L"\\\u0422\u0435\u0441\u0442";
    const std::wstring appData = userFolder + L"\\AppData";
    std::wstring previousAppData;

    void SetUp() override
    {
        ASSERT_FALSE(userProfile().empty());
        previousAppData = registeredAppData();
        CreateDirectoryW(userFolder.c_str(), NULL);
        CreateDirectoryW(appData.c_str(), NULL);
        ASSERT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(appData.c_str()));
        ASSERT_TRUE(registerAppData(appData));
        DailyJourney::SetUp();
    }
    void TearDown() override
    {
        DailyJourney::TearDown();
        removeTree(ansiPath(userFolder));
        registerAppData(previousAppData);
    }
    bool inUsersFolder(const char *name)
    {
        std::wstring path = appData + L"\\Vombly\\";
        for (const char *c = name; *c != '\0'; c++)
            path += (wchar_t)*c;
        return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
    }
};

TEST_F(AnyUserJourney, StartsSeedsCopiesAndSavesInTheUsersFolder)
{
    // The journey needs a code page without these letters, as an English
    // Windows has.
    BOOL lost = FALSE;
    char narrow[MAX_PATH];
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, appData.c_str(), -1, narrow, ARRAYSIZE(narrow), NULL, &lost);
    ASSERT_TRUE(lost) << "the code page " << GetACP() << " holds the folder's name";

    ASSERT_NO_FATAL_FAILURE(startShown());
    EXPECT_FALSE(hasVisibleDialog(vombly.pid)) << "a message instead of a start";
    for (const char *name : DefaultFileNames) {
        SCOPED_TRACE(name);
        EXPECT_TRUE(inUsersFolder(name));
        EXPECT_EQ(readFileBytes(defaultFile(name)), readFileBytes(dataFile(name)));
    }

    // A double-click copies and remembers the entry in the user's folder.
    ASSERT_TRUE(setClipboardText(NULL, Sentinel));
    ASSERT_TRUE(copyByDoubleClick(1));
    EXPECT_EQ(selectedEntry(listBox), clipboardText());
    EXPECT_EQ(1, savedSettings().lists[0].listSelection);

    // An added entry is saved there and is back after a restart (the copy
    // may have sent the window to the tray, as the defaults say).
    ASSERT_NO_FATAL_FAILURE(restart());
    Entries before = readUsersList(1);
    HWND dialog = openDialog(ViaButton, IDC_ADD, "Add a String", AddTitle);
    ASSERT_NE(nullptr, dialog);
    ASSERT_TRUE(bringToFront(dialog));
    typeText("added by any user");
    ASSERT_TRUE(waitFor([&] { return windowText(GetDlgItem(dialog, IDC_ADD_EDIT)) == "added by any user"; }, UiTimeoutMs));
    press(VK_RETURN);
    ASSERT_TRUE(closed(dialog));
    // Where it stands depends on the default list's sorting.
    Entries after;
    EXPECT_TRUE(waitFor([&] { return (after = readUsersList(1)).size() == before.size() + 1; }, UiTimeoutMs));
    EXPECT_NE(LB_ERR, indexOf(after, "added by any user"));
    ASSERT_NO_FATAL_FAILURE(restart());
    EXPECT_EQ(after, listBoxEntries(listBox));
}

} // namespace
