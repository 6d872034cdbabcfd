#include "install.h"

#include <objbase.h>
#include <shlobj.h>

#include "shell/lifecycle.h"

#ifndef VOMBLY_TEST_SETUP
#error "VOMBLY_TEST_SETUP must name the setup the tests install"
#endif

const char UninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Vombly";

std::string testSetup()
{
    return windowsPath(VOMBLY_TEST_SETUP);
}

std::string shellFolder(int csidl)
{
    char path[MAX_PATH] = "";
    SHGetFolderPathA(NULL, csidl, NULL, 0, path);
    return path;
}

std::string expectedInstallFolder()
{
    typedef HRESULT(WINAPI * KnownFolderPath)(REFGUID, DWORD, HANDLE, PWSTR *);
    static const GUID UserProgramFiles = {0x5cd7aee2, 0x2219, 0x4a67, {0xb8, 0x5d, 0x6c, 0x9c, 0xe1, 0x56, 0x60, 0xcb}};
    KnownFolderPath known = (KnownFolderPath)(void *)GetProcAddress(GetModuleHandleA("shell32.dll"), "SHGetKnownFolderPath");
    PWSTR wide = NULL;
    if (known != NULL && known(UserProgramFiles, 0x8000, NULL, &wide) == S_OK && wide != NULL) {
        char path[MAX_PATH] = "";
        WideCharToMultiByte(CP_ACP, 0, wide, -1, path, ARRAYSIZE(path), NULL, NULL);
        CoTaskMemFree(wide);
        return std::string(path) + "\\Vombly";
    }
    return shellFolder(CSIDL_LOCAL_APPDATA) + "\\Programs\\Vombly";
}

std::string startMenuLink()
{
    return shellFolder(CSIDL_PROGRAMS) + "\\Vombly.lnk";
}

std::string logonLink()
{
    return shellFolder(CSIDL_STARTUP) + "\\Vombly.lnk";
}

bool readValue(const char *name, std::string *text, DWORD *number)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, UninstallKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    BYTE data[1024] = {};
    DWORD size = sizeof data - 1, type = 0;
    bool found = RegQueryValueExA(key, name, NULL, &type, data, &size) == ERROR_SUCCESS;
    RegCloseKey(key);
    if (!found)
        return false;
    if (type == REG_SZ && text != NULL) {
        *text = (const char *)data;
        return true;
    }
    if (type == REG_DWORD && number != NULL) {
        memcpy(number, data, sizeof *number);
        return true;
    }
    return false;
}

bool uninstallKeyExists()
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, UninstallKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

DWORD runCommandAndWait(const std::string &commandLine)
{
    PROCESS_INFORMATION process = {};
    if (!startProcess(commandLine, NULL, &process))
        return NotExited;
    CloseHandle(process.hThread);
    DWORD code = NotExited;
    if (WaitForSingleObject(process.hProcess, SetupTimeoutMs) == WAIT_OBJECT_0)
        GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hProcess);
    return code;
}

DWORD runAndWait(const std::string &exe, const std::string &arguments)
{
    return runCommandAndWait("\"" + exe + "\" " + arguments);
}

DWORD runRegisteredUninstall(const char *valueName, const std::string &extra)
{
    std::string command;
    if (!readValue(valueName, &command, NULL))
        return NotExited;
    return runCommandAndWait(command + extra);
}

bool waitUntilUninstalled(const std::string &folder)
{
    return waitFor([&] { return !uninstallKeyExists() && !pathExists(folder); }, UninstallTimeoutMs);
}

bool endRunningCopy()
{
    HWND window = FindWindowA(MainClass, MainTitle);
    if (window == NULL)
        return true;
    PostMessageA(window, RegisterWindowMessageA(ExitRequestName), 0, 0);
    return waitFor([] { return FindWindowA(MainClass, MainTitle) == NULL; }, ExitTimeoutMs);
}

void removeInstallation()
{
    removeTree(expectedInstallFolder());
    DeleteFileA(startMenuLink().c_str());
    DeleteFileA(logonLink().c_str());
    RegDeleteKeyA(HKEY_CURRENT_USER, UninstallKey);
}
