#include "harness.h"

#include "menu_probe.h"

#include <shlobj.h>
#include <stdio.h>
#include <string.h>
#include <tlhelp32.h>

#ifndef VOMBLY_RUN_DIR
#error "VOMBLY_RUN_DIR must name the run folder of the shipped exe"
#endif

const char *const DefaultFileNames[4] = {"Vombly.cfg", "Vombly1.dat", "Vombly2.dat", "Vombly3.dat"};

static const char ExeName[] = "Vombly.exe";
static const char VersionKey[] = "Software\\Wine\\AppDefaults\\Vombly.exe";

// What the harness started and must clean up.
static std::vector<HANDLE> startedProcesses;
static std::vector<std::string> startFolders;
static unsigned startCount;

// ---- Folders and files ----------------------------------------------------

std::string windowsPath(const char *unixPath)
{
    std::string path = unixPath;
    for (char &c : path) {
        if (c == '/')
            c = '\\';
    }
    return unixPath[0] == '/' ? "Z:" + path : path;
}

std::string ansiPath(const std::wstring &path)
{
    char narrow[MAX_PATH * 2] = "";
    BOOL lost = FALSE;
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, path.c_str(), -1, narrow, ARRAYSIZE(narrow), NULL, &lost);
    wchar_t shortPath[MAX_PATH] = L"";
    DWORD length = GetShortPathNameW(path.c_str(), shortPath, ARRAYSIZE(shortPath));
    if (lost && length > 0 && length < ARRAYSIZE(shortPath))
        WideCharToMultiByte(CP_ACP, 0, shortPath, -1, narrow, ARRAYSIZE(narrow), NULL, NULL);
    return narrow;
}

std::string runFolder()
{
    return windowsPath(VOMBLY_RUN_DIR);
}

std::string dataFolder()
{
    // Where the user's name is in another script, the folder is reached
    // by its short name, as the program reaches it.
    wchar_t wide[MAX_PATH] = L"";
    SHGetFolderPathW(NULL, CSIDL_APPDATA, NULL, SHGFP_TYPE_CURRENT, wide);
    return ansiPath(wide) + "\\Vombly";
}

std::string dataFile(const char *name)
{
    return dataFolder() + "\\" + name;
}

std::string defaultFile(const char *name)
{
    return runFolder() + "\\" + name;
}

void resetDataFolder()
{
    std::string folder = dataFolder();
    waitFor([&] { return removeTree(folder); }, 5000);
}

unsigned long long fileWriteTime(const std::string &path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return 0;
    return ((unsigned long long)data.ftLastWriteTime.dwHighDateTime << 32) | data.ftLastWriteTime.dwLowDateTime;
}

// A file beside vombly_e2e.exe (the helper exe and the menu probe).
static std::string besideTestExe(const char *name)
{
    return testExeFolder() + name;
}

// ---- The program's processes ----------------------------------------------

static std::string makeStartFolder(std::initializer_list<const char *> leaveOut)
{
    char temp[MAX_PATH];
    DWORD length = GetTempPathA(ARRAYSIZE(temp), temp);
    if (length == 0 || length >= ARRAYSIZE(temp))
        return "";
    char folder[MAX_PATH];
    snprintf(folder, ARRAYSIZE(folder), "%svombly-e2e-%lu-%u", temp, (unsigned long)GetCurrentProcessId(),
             ++startCount);
    removeTree(folder);
    if (!CreateDirectoryA(folder, NULL))
        return "";
    startFolders.push_back(folder);

    std::vector<const char *> names = {ExeName};
    names.insert(names.end(), DefaultFileNames, DefaultFileNames + ARRAYSIZE(DefaultFileNames));
    for (const char *name : names) {
        bool left = false;
        for (const char *omitted : leaveOut)
            left = left || lstrcmpiA(name, omitted) == 0;
        if (left)
            continue;
        std::string from = runFolder() + "\\" + name;
        std::string to = std::string(folder) + "\\" + name;
        if (!CopyFileA(from.c_str(), to.c_str(), FALSE)) {
            fprintf(stderr, "e2e: cannot copy %s to %s (error %lu)\n", from.c_str(), to.c_str(),
                    (unsigned long)GetLastError());
            return "";
        }
    }
    return folder;
}

std::string copyRunFolder(std::initializer_list<const char *> leaveOut)
{
    return makeStartFolder(leaveOut);
}

VomblyProcess startVombly(const char *commandLine, std::initializer_list<const char *> leaveOut)
{
    std::string folder = makeStartFolder(leaveOut);
    if (folder.empty())
        return VomblyProcess{NULL, 0, folder};
    return startVomblyFrom(folder, folder, commandLine);
}

VomblyProcess startVomblyFrom(const std::string &exeFolder, const std::string &workingFolder,
                              const char *commandLine)
{
    VomblyProcess vombly = {NULL, 0, workingFolder};
    std::string exe = exeFolder + "\\" + ExeName;
    // The program sees the text after the exe name and one space.
    std::string line = "\"" + exe + "\"";
    if (commandLine != NULL)
        line += std::string(" ") + commandLine;
    PROCESS_INFORMATION info = {};
    if (!startProcess(line, vombly.folder.c_str(), &info)) {
        fprintf(stderr, "e2e: cannot start %s (error %lu)\n", exe.c_str(), (unsigned long)GetLastError());
        return vombly;
    }
    CloseHandle(info.hThread);
    startedProcesses.push_back(info.hProcess);
    vombly.process = info.hProcess;
    vombly.pid = info.dwProcessId;
    return vombly;
}

static void endProcess(HANDLE process)
{
    if (WaitForSingleObject(process, 0) == WAIT_TIMEOUT) {
        TerminateProcess(process, 1);
        WaitForSingleObject(process, 5000);
    }
}

void stopAllVombly()
{
    for (HANDLE process : startedProcesses) {
        endProcess(process);
        CloseHandle(process);
    }
    startedProcesses.clear();

    // A copy left by an earlier, killed run of the suite.
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot != INVALID_HANDLE_VALUE) {
        PROCESSENTRY32 entry = {};
        entry.dwSize = sizeof entry;
        for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
            if (lstrcmpiA(entry.szExeFile, ExeName) != 0)
                continue;
            HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, entry.th32ProcessID);
            if (process != NULL) {
                endProcess(process);
                CloseHandle(process);
            }
        }
        CloseHandle(snapshot);
    }

    // An ended process may hold its exe open for a moment.
    for (const std::string &folder : startFolders)
        waitFor([&] { return removeTree(folder); }, 5000);
    startFolders.clear();
}

bool isRunning(const VomblyProcess &vombly)
{
    return vombly.process != NULL && WaitForSingleObject(vombly.process, 0) == WAIT_TIMEOUT;
}

HWND waitForMainWindow(const VomblyProcess &vombly, int timeoutMs)
{
    HWND window = NULL;
    bool shown = waitFor(
        [&] {
            window = findWindow(MainTitle, MainClass, vombly.pid);
            return window != NULL && IsWindowVisible(window);
        },
        timeoutMs);
    // It turns visible before its controls are placed.
    return shown && waitUntilIdle(window) ? window : NULL;
}

DWORD waitForExit(const VomblyProcess &vombly, int timeoutMs)
{
    if (vombly.process == NULL || WaitForSingleObject(vombly.process, (DWORD)timeoutMs) != WAIT_OBJECT_0)
        return NotExited;
    DWORD code = NotExited;
    GetExitCodeProcess(vombly.process, &code);
    return code;
}

HANDLE holdClipboard(int holdMs)
{
    std::string exe = besideTestExe("clipboard_holder.exe");
    PROCESS_INFORMATION info = {};
    if (!startProcess("\"" + exe + "\" " + std::to_string(holdMs), NULL, &info)) {
        fprintf(stderr, "e2e: cannot start %s (error %lu)\n", exe.c_str(), (unsigned long)GetLastError());
        return NULL;
    }
    CloseHandle(info.hThread);
    startedProcesses.push_back(info.hProcess);
    bool held = waitFor(
        [&] {
            DWORD pid = 0;
            HWND holder = GetOpenClipboardWindow();
            return holder != NULL && GetWindowThreadProcessId(holder, &pid) && pid == info.dwProcessId;
        },
        UiTimeoutMs);
    return held ? info.hProcess : NULL;
}

bool setReportedWindowsVersion(const char *version)
{
    // A run of the journeys at another Windows version reports it to every
    // journey that does not ask for its own.
    char runVersion[16] = "";
    DWORD length = GetEnvironmentVariableA("VOMBLY_E2E_WINDOWS_VERSION", runVersion, ARRAYSIZE(runVersion));
    if (version == NULL && length > 0 && length < ARRAYSIZE(runVersion))
        version = runVersion;
    if (version == NULL) {
        HKEY key;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, VersionKey, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
            return true;
        RegDeleteValueA(key, "Version");
        DWORD subKeys = 0, values = 0;
        RegQueryInfoKeyA(key, NULL, NULL, NULL, &subKeys, NULL, NULL, &values, NULL, NULL, NULL, NULL);
        RegCloseKey(key);
        // The key goes too unless something else was put under it.
        if (subKeys == 0 && values == 0)
            RegDeleteKeyA(HKEY_CURRENT_USER, VersionKey);
        return true;
    }
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, VersionKey, 0, NULL, 0, KEY_ALL_ACCESS, NULL, &key, NULL) != ERROR_SUCCESS)
        return false;
    LONG result = RegSetValueExA(key, "Version", 0, REG_SZ, (const BYTE *)version, (DWORD)strlen(version) + 1);
    RegCloseKey(key);
    return result == ERROR_SUCCESS;
}

// ---- Windows --------------------------------------------------------------

bool waitFor(const std::function<bool()> &condition, int timeoutMs)
{
    DWORD start = GetTickCount();
    for (;;) {
        if (condition())
            return true;
        if (GetTickCount() - start >= (DWORD)timeoutMs)
            return false;
        Sleep(20);
    }
}

bool waitUntilIdle(HWND window, int timeoutMs)
{
    DWORD pid = 0;
    if (GetWindowThreadProcessId(window, &pid) == 0)
        return false;
    // A sent message is handled only after the messages sent before it.
    DWORD_PTR result = 0;
    if (!sendTimeout(window, WM_NULL, 0, 0, &result, (UINT)timeoutMs))
        return false;
    HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, pid);
    if (process == NULL)
        return false;
    DWORD idle = WaitForInputIdle(process, (DWORD)timeoutMs);
    CloseHandle(process);
    return idle == 0;
}

std::string windowText(HWND window)
{
    // WM_GETTEXT is marshalled to the owning process; the timeout keeps a
    // hung program from hanging the test.
    wchar_t text[1024] = L"";
    DWORD_PTR copied = 0;
    if (!sendTimeout(window, WM_GETTEXT, ARRAYSIZE(text), (LPARAM)text, &copied))
        return "";
    text[ARRAYSIZE(text) - 1] = L'\0';
    char narrow[ARRAYSIZE(text) * 2] = "";
    WideCharToMultiByte(CP_ACP, 0, text, -1, narrow, ARRAYSIZE(narrow), NULL, NULL);
    return narrow;
}

std::string windowClass(HWND window)
{
    char name[256] = "";
    GetClassNameA(window, name, ARRAYSIZE(name));
    return name;
}

RECT windowRect(HWND window)
{
    RECT rect = {0, 0, 0, 0};
    GetWindowRect(window, &rect);
    return rect;
}

struct WindowQuery {
    const char *title;
    const char *className;
    DWORD pid;
    bool visibleOnly;
    HWND found;
};

static BOOL CALLBACK matchWindow(HWND window, LPARAM lParam)
{
    WindowQuery *query = (WindowQuery *)lParam;
    if (query->visibleOnly && !IsWindowVisible(window))
        return TRUE;
    if (query->pid != 0) {
        DWORD pid = 0;
        GetWindowThreadProcessId(window, &pid);
        if (pid != query->pid)
            return TRUE;
    }
    if (query->className != NULL && windowClass(window) != query->className)
        return TRUE;
    if (query->title != NULL) {
        // The caption is kept by the server; no message goes to the owner.
        char title[512] = "";
        GetWindowTextA(window, title, ARRAYSIZE(title));
        if (strcmp(title, query->title) != 0)
            return TRUE;
    }
    query->found = window;
    return FALSE;
}

static HWND queryWindow(const char *title, const char *className, DWORD pid, bool visibleOnly)
{
    WindowQuery query = {title, className, pid, visibleOnly, NULL};
    EnumWindows(matchWindow, (LPARAM)&query);
    return query.found;
}

HWND findWindow(const char *title, const char *className, DWORD pid)
{
    return queryWindow(title, className, pid, false);
}

HWND findVisibleWindow(const char *title, const char *className, DWORD pid)
{
    return queryWindow(title, className, pid, true);
}

HWND waitForWindow(const char *title, const char *className, int timeoutMs, DWORD pid)
{
    HWND found = NULL;
    waitFor([&] { return (found = findWindow(title, className, pid)) != NULL; }, timeoutMs);
    return found;
}

MessageBoxSeen messageBox(const char *caption, int timeoutMs, DWORD pid)
{
    MessageBoxSeen seen = {NULL, ""};
    waitFor([&] { return (seen.window = queryWindow(caption, "#32770", pid, true)) != NULL; }, timeoutMs);
    if (seen.window != NULL)
        seen.text = windowText(GetDlgItem(seen.window, 0xFFFF));
    return seen;
}

// ---- Real input -----------------------------------------------------------

bool bringToFront(HWND window)
{
    HWND root = GetAncestor(window, GA_ROOT);
    DWORD thread = GetWindowThreadProcessId(root, NULL);
    // The foreground changes at once, but the window's own thread takes the
    // activation and the focus later; input sent in between is lost to a
    // focus change (a pressed button loses its capture and never clicks).
    auto active = [&] {
        GUITHREADINFO info = {};
        info.cbSize = sizeof info;
        return GetForegroundWindow() == root && GetGUIThreadInfo(thread, &info) && info.hwndActive == root &&
               info.hwndFocus != NULL;
    };
    if (!active())
        SetForegroundWindow(root);
    return waitFor(active, 3000) && waitUntilIdle(root);
}

static bool isExtendedKey(WORD key)
{
    switch (key) {
    case VK_UP: case VK_DOWN: case VK_LEFT: case VK_RIGHT: case VK_HOME: case VK_END:
    case VK_PRIOR: case VK_NEXT: case VK_INSERT: case VK_DELETE: case VK_RMENU: case VK_RCONTROL:
        return true;
    default:
        return false;
    }
}

static INPUT keyInput(WORD key, bool up)
{
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.wScan = (WORD)MapVirtualKeyA(key, 0);
    input.ki.dwFlags = (up ? KEYEVENTF_KEYUP : 0) | (isExtendedKey(key) ? KEYEVENTF_EXTENDEDKEY : 0);
    return input;
}

void press(std::initializer_list<WORD> chord)
{
    std::vector<INPUT> inputs;
    for (WORD key : chord)
        inputs.push_back(keyInput(key, false));
    for (auto key = std::rbegin(chord); key != std::rend(chord); ++key)
        inputs.push_back(keyInput(*key, true));
    SendInput((UINT)inputs.size(), inputs.data(), sizeof(INPUT));
}

void press(WORD key)
{
    press({key});
}

void typeText(const char *text)
{
    wchar_t wide[1024];
    int length = MultiByteToWideChar(CP_ACP, 0, text, -1, wide, ARRAYSIZE(wide));
    std::vector<INPUT> inputs;
    for (int i = 0; i + 1 < length; i++) {
        for (bool up : {false, true}) {
            INPUT input = {};
            input.type = INPUT_KEYBOARD;
            input.ki.wScan = wide[i];
            input.ki.dwFlags = KEYEVENTF_UNICODE | (up ? KEYEVENTF_KEYUP : 0);
            inputs.push_back(input);
        }
    }
    if (!inputs.empty())
        SendInput((UINT)inputs.size(), inputs.data(), sizeof(INPUT));
}

// Under Wine every pointer move is also an X server warp, which briefly grabs
// the pointer; the grab tells the desktop window (Wine's explorer) the
// pointer is where it was before, and explorer, reading that late, moves
// the cursor back. A window mapped under the pointer is told the old place
// the same way. The events are read when the owning thread next waits for
// messages, so two round trips to it (one wait in between) drain them.
static void drainPointerEvents(POINT at)
{
    HWND owners[] = {GetDesktopWindow(), WindowFromPoint(at)};
    for (HWND owner : owners) {
        for (int i = 0; owner != NULL && i < 2; i++) {
            DWORD_PTR result = 0;
            sendTimeout(owner, WM_NULL, 0, 0, &result);
        }
    }
}

static bool cursorAt(int x, int y)
{
    POINT at;
    return GetCursorPos(&at) && at.x == x && at.y == y;
}

bool movePointer(int x, int y)
{
    int left = GetSystemMetrics(SM_XVIRTUALSCREEN), top = GetSystemMetrics(SM_YVIRTUALSCREEN);
    int width = GetSystemMetrics(SM_CXVIRTUALSCREEN), height = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    INPUT input = {};
    input.type = INPUT_MOUSE;
    // Normalised 0..65535 across the virtual desktop, rounded up so the
    // pixel the system computes back is the one asked for.
    input.mi.dx = (LONG)((((long long)(x - left)) * 65536 + width - 1) / width);
    input.mi.dy = (LONG)((((long long)(y - top)) * 65536 + height - 1) / height);
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_VIRTUALDESK;
    POINT to = {x, y};
    // A move that was undone is made again: the second warp starts where
    // the X pointer already is, so nothing stale is left to undo it.
    for (int attempt = 0; attempt < 4; attempt++) {
        POINT from;
        if (GetCursorPos(&from))
            drainPointerEvents(from);
        SendInput(1, &input, sizeof input);
        if (!waitFor([&] { return cursorAt(x, y); }, 2000))
            continue;
        drainPointerEvents(to);
        if (cursorAt(x, y))
            return true;
    }
    return false;
}

void mouseButton(DWORD flags)
{
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    SendInput(1, &input, sizeof input);
}

// Presses and lets go of the left button where the pointer was put. Under
// load explorer can undo a warp even after movePointer saw it done (see
// drainPointerEvents), and the press would land where the pointer was
// before: a double-click on entry 1 then copied entry 0. The pointer is
// put back first, which changes nothing when it stayed.
static bool pressAt(int x, int y)
{
    if (!cursorAt(x, y) && !movePointer(x, y))
        return false;
    mouseButton(MOUSEEVENTF_LEFTDOWN);
    mouseButton(MOUSEEVENTF_LEFTUP);
    return true;
}

bool click(int x, int y)
{
    return movePointer(x, y) && pressAt(x, y);
}

bool doubleClick(int x, int y)
{
    return movePointer(x, y) && pressAt(x, y) && pressAt(x, y);
}

bool click(POINT at)
{
    return click(at.x, at.y);
}

bool doubleClick(POINT at)
{
    return doubleClick(at.x, at.y);
}

POINT centre(const RECT &rect)
{
    POINT at = {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    return at;
}

bool clickControl(HWND dialog, int controlId)
{
    HWND control = GetDlgItem(dialog, controlId);
    if (control == NULL || !bringToFront(dialog))
        return false;
    return click(centre(windowRect(control)));
}

// ---- What the user sees ---------------------------------------------------

bool inTray(HWND window)
{
    return IsIconic(window) && !IsWindowVisible(window);
}

bool shownNormally(HWND window)
{
    return IsWindowVisible(window) && !IsIconic(window);
}

bool isSeparator(const MenuEntry &entry)
{
    return (entry.state & MF_SEPARATOR) != 0;
}

// menu_probe.dll beside the test exe; loaded once, kept for the run.
static HMODULE menuProbe()
{
    static HMODULE probe;
    if (probe == NULL) {
        std::string path = besideTestExe("menu_probe.dll");
        probe = LoadLibraryA(path.c_str());
        if (probe == NULL)
            fprintf(stderr, "e2e: cannot load %s (error %lu)\n", path.c_str(), (unsigned long)GetLastError());
    }
    return probe;
}

// Turns the probe's lines back into the tree; depth 0 is the bar.
static std::vector<MenuEntry> parseMenuProbe(const char *answer)
{
    std::vector<MenuEntry> bar;
    for (const char *line = answer; *line != '\0';) {
        const char *end = strchr(line, '\n');
        if (end == NULL)
            break;
        std::string text(line, end);
        int depth = 0, id = 0, textAt = 0;
        unsigned state = 0;
        long left = 0, top = 0, right = 0, bottom = 0;
        // A separator's empty text leaves the line ending after the rect.
        if (sscanf(text.c_str(), "%d %d %u %ld %ld %ld %ld %n", &depth, &id, &state, &left, &top, &right, &bottom,
                   &textAt) >= 7 &&
            textAt > 0) {
            MenuEntry entry = {text.substr((size_t)textAt), (UINT)id, state, {left, top, right, bottom}, {}};
            if (depth == 0)
                bar.push_back(entry);
            else if (depth == 1 && !bar.empty())
                bar.back().items.push_back(entry);
        }
        line = end + 1;
    }
    return bar;
}

std::vector<MenuEntry> menuItems(HWND window)
{
    DWORD pid = 0;
    DWORD thread = GetWindowThreadProcessId(window, &pid);
    HMODULE probe = menuProbe();
    HOOKPROC hook = probe != NULL ? (HOOKPROC)(void *)GetProcAddress(probe, MenuProbeHookName) : NULL;
    if (thread == 0 || hook == NULL)
        return {};

    HANDLE mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, NULL, PAGE_READWRITE, 0, MenuProbeSize, MenuProbeMapping);
    char *answer = mapping != NULL ? (char *)MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, MenuProbeSize) : NULL;
    std::vector<MenuEntry> bar;
    if (answer != NULL) {
        answer[0] = '\0';
        // The hook runs in the window's thread before its window procedure.
        HHOOK installed = SetWindowsHookExA(WH_CALLWNDPROC, hook, probe, thread);
        if (installed != NULL) {
            DWORD_PTR result = 0;
            sendTimeout(window, RegisterWindowMessageA(MenuProbeMessage), 0, 0, &result, 5000);
            UnhookWindowsHookEx(installed);
            answer[MenuProbeSize - 1] = '\0';
            bar = parseMenuProbe(answer);
        }
        UnmapViewOfFile(answer);
    }
    if (mapping != NULL)
        CloseHandle(mapping);
    return bar;
}

void becomeDpiAware()
{
    typedef BOOL(WINAPI * SetProcessDpiAwareProc)(void);
    SetProcessDpiAwareProc proc =
        (SetProcessDpiAwareProc)(void *)GetProcAddress(GetModuleHandleA("user32.dll"), "SetProcessDPIAware");
    if (proc != NULL)
        proc();
}
