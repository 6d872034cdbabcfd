// The per-user setup as a user meets it: a silent install, the files, the
// shortcuts and the Uninstall key it leaves; a start as logon does it and
// one from the Start menu; an update over a running copy that keeps the
// user's data and choice of start at logon; a silent uninstall while
// Vombly runs, through the command Apps & Features runs, that ends it
// cleanly and keeps the data folder; and one told to remove the data folder
// too. A folder given with /D=, and the data folder refused as one.
#include <windows.h>
#include <objbase.h>
#include <tlhelp32.h>
#include <shlobj.h>
#include <shellapi.h>

#include <algorithm>
#include <functional>
#include <utility>
#include <string>
#include <vector>

#include "daily.h"
#include "install.h"
#include "res/resource.h"
#include "shell/lifecycle.h"
#include "journey.h"
#include "tray.h"

#ifndef VOMBLY_VERSION
#error "VOMBLY_VERSION must give the project's version"
#endif

namespace {

enum { SetupPageTimeoutMs = 30000 };

struct Link {
    bool read = false;
    std::string target, arguments, folder;
};

Link readLink(const std::string &path)
{
    Link link;
    IShellLinkA *shellLink = NULL;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, NULL, CLSCTX_INPROC_SERVER, IID_IShellLinkA, (void **)&shellLink)))
        return link;
    IPersistFile *file = NULL;
    WCHAR widePath[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, widePath, MAX_PATH);
    if (SUCCEEDED(shellLink->QueryInterface(IID_IPersistFile, (void **)&file)) && SUCCEEDED(file->Load(widePath, STGM_READ))) {
        char text[MAX_PATH] = "";
        link.read = SUCCEEDED(shellLink->GetPath(text, MAX_PATH, NULL, SLGP_RAWPATH));
        link.target = text;
        text[0] = '\0';
        shellLink->GetArguments(text, MAX_PATH);
        link.arguments = text;
        text[0] = '\0';
        shellLink->GetWorkingDirectory(text, MAX_PATH);
        link.folder = text;
    }
    if (file != NULL)
        file->Release();
    shellLink->Release();
    return link;
}

// Opens a shortcut the way Explorer does, at logon or from the Start menu.
bool openLink(const std::string &path)
{
    SHELLEXECUTEINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_FLAG_NO_UI;
    info.lpFile = path.c_str();
    info.nShow = SW_SHOWNORMAL;
    return ShellExecuteExA(&info) != FALSE;
}

uint64_t sizeOfFiles(const std::string &folder)
{
    uint64_t total = 0;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return 0;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            total += ((uint64_t)found.nFileSizeHigh << 32) | found.nFileSizeLow;
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return total;
}

const char *const ProgramFiles[] = {"Vombly.exe", "Vombly.cfg", "Vombly1.dat", "Vombly2.dat", "Vombly3.dat"};

// The Vombly.exe processes running, whoever started them.
int vomblyProcessCount()
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return -1;
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    int count = 0;
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
        if (lstrcmpiA(entry.szExeFile, "Vombly.exe") == 0)
            count++;
    }
    CloseHandle(snapshot);
    return count;
}

// Starts the setup with its pages, as a double-click on it does.
HANDLE startSetup(const std::string &setup, DWORD *pid)
{
    PROCESS_INFORMATION process = {};
    if (!startProcess("\"" + setup + "\"", NULL, &process))
        return NULL;
    CloseHandle(process.hThread);
    *pid = process.dwProcessId;
    return process.hProcess;
}

// The uninstaller's window: its copy in the temporary folder owns it, so it
// is found by its caption ("Vombly Uninstall").
struct CaptionQuery {
    const char *start;
    HWND found;
};

BOOL CALLBACK matchCaptionStart(HWND window, LPARAM lParam)
{
    CaptionQuery *query = (CaptionQuery *)lParam;
    char title[256] = "";
    GetWindowTextA(window, title, ARRAYSIZE(title));
    if (IsWindowVisible(window) && windowClass(window) == "#32770" &&
        strncmp(title, query->start, strlen(query->start)) == 0) {
        query->found = window;
        return FALSE;
    }
    return TRUE;
}

HWND uninstallerWindow()
{
    CaptionQuery query = {"Vombly Uninstall", NULL};
    EnumWindows(matchCaptionStart, (LPARAM)&query);
    return query.found;
}

BOOL CALLBACK matchControlId(HWND window, LPARAM lParam)
{
    std::pair<int, HWND> *query = (std::pair<int, HWND> *)lParam;
    if (GetDlgCtrlID(window) == query->first && IsWindowVisible(window)) {
        query->second = window;
        return FALSE;
    }
    return TRUE;
}

// A control of the page shown inside the setup's window.
HWND pageControl(HWND setup, int id)
{
    std::pair<int, HWND> query(id, NULL);
    EnumChildWindows(setup, matchControlId, (LPARAM)&query);
    return query.second;
}

// Waits for the page whose main button reads `text` and clicks it.
bool clickPageButton(const std::function<HWND()> &findSetup, const char *text)
{
    HWND setup = NULL;
    bool ready = waitFor(
        [&] {
            setup = findSetup();
            HWND button = setup != NULL ? GetDlgItem(setup, IDOK) : NULL;
            std::string shown = button != NULL ? windowText(button) : "";
            // "&Next >": the underlined letter's mark is not what a user reads.
            shown.erase(std::remove(shown.begin(), shown.end(), '&'), shown.end());
            return button != NULL && IsWindowEnabled(button) && shown == text;
        },
        SetupPageTimeoutMs);
    return ready && waitUntilIdle(setup) && clickControl(setup, IDOK);
}

// Waits for the setup's page whose main button reads `text`, and clicks it.
bool clickSetupButton(DWORD pid, const char *text)
{
    // The setup's one window ("Vombly - Clipboard Utility <version> Setup").
    return clickPageButton([&] { return findVisibleWindow(NULL, "#32770", pid); }, text);
}

// A folder a user or a package manager might choose, with a space in it.
std::string chooseFolder()
{
    char temp[MAX_PATH] = "";
    GetTempPathA(ARRAYSIZE(temp), temp);
    return std::string(temp) + "Vombly Chosen Folder";
}

struct InstallJourney : Journey {
    std::string setup = testSetup();
    std::string folder = expectedInstallFolder();
    const std::string chosenFolder = chooseFolder();

    void SetUp() override
    {
        CoInitialize(NULL);
        Journey::SetUp();
        removeEverything();
    }
    // A setup whose pages the journey did not finish is closed.
    HANDLE setupProcess = NULL;

    void TearDown() override
    {
        if (setupProcess != NULL) {
            TerminateProcess(setupProcess, 1);
            CloseHandle(setupProcess);
        }
        endRunningCopy();
        Journey::TearDown();
        removeEverything();
        CoUninitialize();
    }
    void removeEverything()
    {
        removeInstallation();
        removeTree(chosenFolder);
    }
    // Once the uninstaller's copy has ended Vombly and removed the program
    // folder and the Apps & Features entry.
    bool waitUntilUninstalled() { return ::waitUntilUninstalled(folder); }
    void expectInstalled()
    {
        for (const char *name : ProgramFiles) {
            SCOPED_TRACE(name);
            std::vector<unsigned char> shipped = readFileBytes(runFolder() + "\\" + name);
            ASSERT_FALSE(shipped.empty());
            EXPECT_TRUE(shipped == readFileBytes(folder + "\\" + name));
        }
        EXPECT_TRUE(fileExists(folder + "\\uninstall.exe"));

        Link menu = readLink(startMenuLink());
        ASSERT_TRUE(menu.read) << startMenuLink();
        EXPECT_EQ(folder + "\\Vombly.exe", menu.target);
        EXPECT_EQ("/SM", menu.arguments);
        EXPECT_EQ(folder, menu.folder);

        const struct {
            const char *name;
            std::string text;
        } texts[] = {
            {"DisplayName", "Vombly - Clipboard Utility"},
            {"DisplayVersion", VOMBLY_VERSION},
            {"Publisher", "Vombly Software"},
            {"DisplayIcon", folder + "\\Vombly.exe,0"},
            {"InstallLocation", folder},
            {"UninstallString", "\"" + folder + "\\uninstall.exe\""},
            {"QuietUninstallString", "\"" + folder + "\\uninstall.exe\" /S"},
        };
        for (const auto &t : texts) {
            SCOPED_TRACE(t.name);
            std::string value = "<missing>";
            EXPECT_TRUE(readValue(t.name, &value, NULL));
            EXPECT_EQ(t.text, value);
        }
        for (const char *flag : {"NoModify", "NoRepair"}) {
            SCOPED_TRACE(flag);
            DWORD value = 0;
            EXPECT_TRUE(readValue(flag, NULL, &value));
            EXPECT_EQ(1u, value);
        }
        // In KB, of what the folder holds.
        DWORD size = 0;
        EXPECT_TRUE(readValue("EstimatedSize", NULL, &size));
        uint64_t kilobytes = sizeOfFiles(folder) / 1024;
        EXPECT_GE(size + 8, kilobytes);
        EXPECT_LE(size, kilobytes + 8);
    }
};

TEST_F(InstallJourney, InstallStartUpdateAndRemove)
{
    ASSERT_TRUE(fileExists(setup)) << setup;

    // 1. Silent install.
    ASSERT_EQ(0u, runAndWait(setup, "/S"));
    ASSERT_NO_FATAL_FAILURE(expectInstalled());
    Link logon = readLink(logonLink());
    ASSERT_TRUE(logon.read) << "no start at logon: " << logonLink();
    EXPECT_EQ(folder + "\\Vombly.exe", logon.target);
    EXPECT_EQ("", logon.arguments);
    EXPECT_EQ(folder, logon.folder);
    std::vector<unsigned char> logonLinkBytes = readFileBytes(logonLink());

    // 2. Started as logon starts it: the tray icon, no window; the data
    // folder seeded from the install folder.
    ASSERT_TRUE(openLink(logonLink()));
    HWND window = waitForWindow(MainTitle, MainClass, StartTimeoutMs);
    ASSERT_NE(nullptr, window);
    EXPECT_TRUE(waitFor([&] { return inTray(window); }, UiTimeoutMs));
    EXPECT_TRUE(waitFor([] { return trayIconCount(MainTitle) == 1; }, UiTimeoutMs));
    EXPECT_TRUE(fileExists(dataFile("Vombly.cfg")));
    ASSERT_TRUE(endRunningCopy());

    // 3. Started from the Start menu: the window shows.
    ASSERT_TRUE(openLink(startMenuLink()));
    window = waitForWindow(MainTitle, MainClass, StartTimeoutMs);
    ASSERT_NE(nullptr, window);
    EXPECT_TRUE(waitFor([&] { return IsWindowVisible(window) && !IsIconic(window); }, UiTimeoutMs));

    // 4. An update over the running copy: it is ended cleanly (the
    // selection it had not saved yet is saved), the user's lists stay, and
    // it comes back in the tray. The user had turned start at logon off.
    const std::vector<std::string> mine = {"my own entry", "kept across updates"};
    ASSERT_TRUE(writeUsersList(3, mine));
    DWORD_PTR result = 0;
    ASSERT_TRUE(sendTimeout(GetDlgItem(window, IDC_LISTBOX), LB_SETCURSEL, 3, 0, &result));
    ASSERT_TRUE(DeleteFileA(logonLink().c_str()));
    ASSERT_EQ(0u, runAndWait(setup, "/S"));
    ASSERT_NO_FATAL_FAILURE(expectInstalled());
    EXPECT_FALSE(fileExists(logonLink())) << "start at logon came back";
    SettingsRecord settings = {};
    ASSERT_TRUE(readUsersSettings(&settings));
    EXPECT_EQ(3, settings.lists[0].listSelection);
    EXPECT_EQ(mine, readUsersList(3));
    window = waitForWindow(MainTitle, MainClass, StartTimeoutMs);
    ASSERT_NE(nullptr, window) << "not started again after the update";
    EXPECT_TRUE(waitFor([&] { return inTray(window); }, UiTimeoutMs));

    // 5. A silent uninstall while it runs (the start at logon turned on
    // again): program files, shortcuts, start at logon and the Uninstall
    // key go; the data folder stays.
    ASSERT_TRUE(saveFileBytes(logonLink(), logonLinkBytes));
    ASSERT_TRUE(sendTimeout(GetDlgItem(window, IDC_LISTBOX), LB_SETCURSEL, 1, 0, &result));
    ASSERT_EQ(0u, runRegisteredUninstall("QuietUninstallString", ""));
    ASSERT_TRUE(waitUntilUninstalled()) << "the uninstaller did not finish within " << UninstallTimeoutMs << " ms";
    EXPECT_EQ(NULL, FindWindowA(MainClass, MainTitle));
    for (const char *name : ProgramFiles) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(fileExists(folder + "\\" + name));
    }
    EXPECT_FALSE(pathExists(folder));
    EXPECT_FALSE(fileExists(startMenuLink()));
    EXPECT_FALSE(fileExists(logonLink()));
    ASSERT_TRUE(readUsersSettings(&settings));
    EXPECT_EQ(1, settings.lists[0].listSelection);
    EXPECT_EQ(mine, readUsersList(3));

    // 6. Installed again and removed with the box for the data ticked:
    // the data folder goes too.
    ASSERT_EQ(0u, runAndWait(setup, "/S"));
    ASSERT_NO_FATAL_FAILURE(expectInstalled());
    ASSERT_EQ(0u, runRegisteredUninstall("QuietUninstallString", " /REMOVEDATA"));
    ASSERT_TRUE(waitUntilUninstalled());
    EXPECT_TRUE(waitFor([] { return !pathExists(dataFolder()); }, UiTimeoutMs));
    EXPECT_FALSE(pathExists(folder));
}

// The setup's pages, clicked through as a user does: a first install whose
// finish page starts Vombly, then an update over that running copy. Each
// time exactly one Vombly runs afterwards, and no "Another copy" box shows.
TEST_F(InstallJourney, PagesInstallAndUpdateOverARunningCopy)
{
    ASSERT_TRUE(fileExists(setup)) << setup;
    for (const char *round : {"install", "update over the running copy"}) {
        SCOPED_TRACE(round);
        DWORD pid = 0;
        setupProcess = startSetup(setup, &pid);
        ASSERT_NE(nullptr, setupProcess);
        ASSERT_TRUE(clickSetupButton(pid, "Next >"));
        ASSERT_TRUE(clickSetupButton(pid, "Install"));
        // The finish page, with "Start Vombly now" ticked.
        ASSERT_TRUE(clickSetupButton(pid, "Finish"));
        ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(setupProcess, SetupTimeoutMs));
        CloseHandle(setupProcess);
        setupProcess = NULL;
        ASSERT_NO_FATAL_FAILURE(expectInstalled());

        HWND window = waitForWindow(MainTitle, MainClass, StartTimeoutMs);
        ASSERT_NE(nullptr, window);
        EXPECT_TRUE(waitFor([&] { return IsWindowVisible(window) && !IsIconic(window); }, UiTimeoutMs));
        // A second copy would say so in a box and wait; give it the time.
        Sleep(3000);
        EXPECT_EQ(nullptr, messageBox("Vombly", 0).window) << "a second copy was started";
        EXPECT_EQ(1, vomblyProcessCount());
    }
}

// Apps & Features' uninstall with its page: the lists stay unless the user
// ticks "Also remove my lists and settings".
TEST_F(InstallJourney, UninstallPageRemovesTheDataOnlyWhenTicked)
{
    ASSERT_TRUE(fileExists(setup)) << setup;
    struct Case {
        const char *name;
        bool tick;
    } cases[] = {{"left unticked", false}, {"ticked", true}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(0u, runAndWait(setup, "/S"));
        ASSERT_TRUE(writeUsersList(1, {"kept unless ticked"}));
        ASSERT_EQ(0u, runRegisteredUninstall("UninstallString", ""));
        if (c.tick) {
            HWND page = NULL, tree = NULL;
            ASSERT_TRUE(waitFor([&] { return (page = uninstallerWindow()) != NULL && (tree = pageControl(page, 1032)) != NULL; },
                                SetupPageTimeoutMs));
            ASSERT_TRUE(waitUntilIdle(page));
            // The box is the list's only item: select it and tick it with Space.
            ASSERT_TRUE(bringToFront(tree));
            ASSERT_TRUE(clickControl(GetParent(tree), 1032));
            press(VK_HOME);
            press(VK_SPACE);
            ASSERT_TRUE(waitUntilIdle(page));
        }
        ASSERT_TRUE(clickPageButton(uninstallerWindow, "Uninstall"));
        ASSERT_TRUE(clickPageButton(uninstallerWindow, "Close"));
        ASSERT_TRUE(waitUntilUninstalled());
        EXPECT_EQ(!c.tick, fileExists(listFilePath(1)));
    }
}

// Package managers name the folder with /D=. A fresh install goes there; an
// update goes where the installed copy is, whatever /D= says; the data
// folder itself is refused.
TEST_F(InstallJourney, InstallsIntoTheFolderGivenWithSlashD)
{
    ASSERT_TRUE(fileExists(setup)) << setup;
    std::string defaultFolder = folder;
    folder = chosenFolder;

    ASSERT_EQ(0u, runAndWait(setup, "/S /D=" + chosenFolder));
    ASSERT_NO_FATAL_FAILURE(expectInstalled());
    EXPECT_FALSE(pathExists(defaultFolder + "\\Vombly.exe"));

    ASSERT_EQ(0u, runAndWait(setup, "/S /D=" + defaultFolder));
    ASSERT_NO_FATAL_FAILURE(expectInstalled());
    EXPECT_FALSE(pathExists(defaultFolder + "\\Vombly.exe")) << "the update went elsewhere";

    ASSERT_EQ(0u, runRegisteredUninstall("QuietUninstallString", ""));
    ASSERT_TRUE(waitUntilUninstalled());
    EXPECT_FALSE(pathExists(chosenFolder));
}

TEST_F(InstallJourney, RefusesTheDataFolderAsTheProgramFolder)
{
    ASSERT_TRUE(fileExists(setup)) << setup;
    struct Case {
        const char *name;
        std::string folder;
    } cases[] = {
        {"the data folder", dataFolder()},
        {"with a backslash", dataFolder() + "\\"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_NE(0u, runAndWait(setup, "/S /D=" + c.folder));
        EXPECT_FALSE(uninstallKeyExists());
        EXPECT_FALSE(fileExists(dataFile("Vombly.exe")));
        EXPECT_FALSE(fileExists(dataFile("uninstall.exe")));
        EXPECT_FALSE(fileExists(startMenuLink()));
    }
}

} // namespace
