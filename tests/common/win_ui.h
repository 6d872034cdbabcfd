// What the Windows test trees (in-process and end-to-end) read from the
// screen's objects: a list box's entries and the clipboard, and the text put
// there first; and the one way they answer a box. Every call is bounded, so
// a hung program cannot hang a test.
#ifndef VOMBLY_TESTS_COMMON_WIN_UI_H
#define VOMBLY_TESTS_COMMON_WIN_UI_H

#include <windows.h>
#include <stdio.h>
#include <string.h>

#include <string>
#include <vector>

// SendMessageTimeout to a window of this or another process, 2 s (or
// `timeoutMs`) at most; false when it did not answer. Texts go as wide text.
inline bool sendTimeout(HWND window, UINT message, WPARAM wParam, LPARAM lParam, DWORD_PTR *result,
                        UINT timeoutMs = 2000)
{
    return SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, timeoutMs, result) != 0;
}

// Answers a message box or dialog of this or another process as a click on
// its button `button` would, and waits until it has gone; false when it is
// still shown after `timeoutMs`. The click is posted, so the box needs
// neither the focus nor the foreground, which a busy desktop may not give.
inline bool dismissBox(HWND box, WORD button = IDOK, DWORD timeoutMs = 5000)
{
    // Only a button the user could click: a box without it, or with it
    // hidden or greyed, is not answered.
    HWND control = GetDlgItem(box, button);
    if (control == NULL || !IsWindowVisible(control) || !IsWindowEnabled(control))
        return false;
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), (LPARAM)control);
    DWORD start = GetTickCount();
    while (IsWindow(box) && IsWindowVisible(box)) {
        if (GetTickCount() - start > timeoutMs)
            return false;
        Sleep(20);
    }
    return true;
}

// The entries of a list box, in order. They are read as wide text: Wine's
// list box fails an 8-bit read of an entry over 512 characters.
inline std::vector<std::string> listBoxEntries(HWND listBox)
{
    std::vector<std::string> entries;
    DWORD_PTR count = 0;
    if (!sendTimeout(listBox, LB_GETCOUNT, 0, 0, &count) || (LRESULT)count == LB_ERR)
        return entries;
    for (DWORD_PTR i = 0; i < count; i++) {
        DWORD_PTR length = 0;
        if (!sendTimeout(listBox, LB_GETTEXTLEN, i, 0, &length) || (LRESULT)length == LB_ERR)
            break;
        std::vector<wchar_t> wide(length + 1, L'\0');
        DWORD_PTR copied = 0;
        if (!sendTimeout(listBox, LB_GETTEXT, i, (LPARAM)wide.data(), &copied) || (LRESULT)copied == LB_ERR)
            break;
        // The program keeps 8-bit texts; the entries come back in its code page.
        int size = WideCharToMultiByte(CP_ACP, 0, wide.data(), (int)copied, NULL, 0, NULL, NULL);
        std::string entry((size_t)size, '\0');
        WideCharToMultiByte(CP_ACP, 0, wide.data(), (int)copied, &entry[0], size, NULL, NULL);
        entries.push_back(entry);
    }
    return entries;
}

// Opens the clipboard for `owner` (NULL: this thread), retrying for a while
// in case another program or thread is just using it.
inline bool openClipboardFor(HWND owner)
{
    DWORD start = GetTickCount();
    while (!OpenClipboard(owner)) {
        if (GetTickCount() - start > 2000)
            return false;
        Sleep(20);
    }
    return true;
}

// Puts `text` on the clipboard as CF_TEXT for `owner`; false when the
// clipboard could not be opened or did not take it.
inline bool setClipboardText(HWND owner, const std::string &text)
{
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    char *copy = block != NULL ? (char *)GlobalLock(block) : NULL;
    if (copy == NULL) {
        if (block != NULL)
            GlobalFree(block);
        return false;
    }
    memcpy(copy, text.c_str(), text.size() + 1);
    GlobalUnlock(block);
    if (!openClipboardFor(owner)) {
        GlobalFree(block);
        return false;
    }
    EmptyClipboard();
    bool set = SetClipboardData(CF_TEXT, block) != NULL;
    CloseClipboard();
    if (!set)
        GlobalFree(block);
    return set;
}

// The CF_TEXT on the clipboard up to its terminating zero; "<none>" when
// there is none, "<unterminated>" when the block has no zero, "<clipboard
// busy>" when it could not be opened.
inline std::string clipboardText()
{
    if (!openClipboardFor(NULL))
        return "<clipboard busy>";
    std::string text = "<none>";
    HANDLE data = GetClipboardData(CF_TEXT);
    const char *bytes = data != NULL ? (const char *)GlobalLock(data) : NULL;
    if (bytes != NULL) {
        size_t size = GlobalSize(data);
        size_t length = strnlen(bytes, size);
        text = length < size ? std::string(bytes, length) : "<unterminated>";
        GlobalUnlock(data);
    }
    CloseClipboard();
    return text;
}

// A format's bytes from the clipboard, the whole block; empty when absent,
// "<clipboard busy>" when it could not be opened.
inline std::string clipboardBytes(UINT format)
{
    if (!openClipboardFor(NULL))
        return "<clipboard busy>";
    std::string bytes;
    HANDLE data = GetClipboardData(format);
    const char *block = data != NULL ? (const char *)GlobalLock(data) : NULL;
    if (block != NULL) {
        bytes.assign(block, GlobalSize(data));
        GlobalUnlock(data);
    }
    CloseClipboard();
    return bytes;
}

// CF_UNICODETEXT up to its terminating zero; L"<none>" when absent.
inline std::wstring clipboardUnicode(void)
{
    std::string bytes = clipboardBytes(CF_UNICODETEXT);
    if (bytes.size() < sizeof(WCHAR))
        return L"<none>";
    std::wstring text((const WCHAR *)bytes.data(), bytes.size() / sizeof(WCHAR));
    size_t end = text.find(L'\0');
    return end == std::wstring::npos ? L"<unterminated>" : text.substr(0, end);
}

// Why Wine itself failed to start a process, or NULL when what happened is
// the program's own doing. Under load Wine sometimes cannot lay out a new
// process (its log says "failed to map the shared user data: c0000018");
// the child then dies before it has finished starting, and Wine reports
// that as CreateProcess failing with ERROR_INTERNAL_ERROR. A child that had
// started and ended with a status of the loader (the same conflicting
// addresses, or no memory for them) died before the program ran a line of
// its own. Every other error, and every other exit code (a second copy
// that ends at once with 0, a setup that says 2), belongs to the program
// and is never retried.
inline const char *wineStartFailure(bool created, DWORD error, bool ended, DWORD exitCode)
{
    if (!created)
        return error == ERROR_INTERNAL_ERROR ? "CreateProcess error 1359, ERROR_INTERNAL_ERROR" : NULL;
    if (!ended)
        return NULL;
    switch (exitCode) {
    case 0xC0000018u:
        return "exit status c0000018, STATUS_CONFLICTING_ADDRESSES";
    case 0xC0000017u:
        return "exit status c0000017, STATUS_NO_MEMORY";
    default:
        return NULL;
    }
}

// The program a command line starts: its first word, quotes taken away.
inline std::string programOf(const std::string &commandLine)
{
    if (!commandLine.empty() && commandLine[0] == '"')
        return commandLine.substr(1, commandLine.find('"', 1) - 1);
    return commandLine.substr(0, commandLine.find(' '));
}

// The one way the tests start a process: `commandLine` names the program
// by its first word (quoted where it has spaces), `folder` is its current
// directory (NULL: this process's). Where Wine itself failed to start it
// (wineStartFailure), it is started again, a few times, and the test log
// says so. The process is checked once, without waiting, for an end of
// that kind: a wait would let racing starts no longer race. False (with
// GetLastError set) when it could not be started; else the caller owns the
// handles in `*started`.
inline bool startProcess(const std::string &commandLine, const char *folder, PROCESS_INFORMATION *started)
{
    enum { Attempts = 4 };
    *started = {};
    for (int attempt = 1;; attempt++) {
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        std::vector<char> line(commandLine.begin(), commandLine.end());
        line.push_back('\0');
        PROCESS_INFORMATION info = {};
        bool created = CreateProcessA(NULL, line.data(), NULL, NULL, FALSE, 0, NULL, folder, &startup, &info) != FALSE;
        DWORD error = created ? 0 : GetLastError();
        DWORD exitCode = 0;
        bool ended = created && WaitForSingleObject(info.hProcess, 0) == WAIT_OBJECT_0 &&
                     GetExitCodeProcess(info.hProcess, &exitCode);
        const char *failure = wineStartFailure(created, error, ended, exitCode);
        if (failure == NULL || attempt == Attempts) {
            *started = info;
            SetLastError(error);
            return created;
        }
        fprintf(stderr, "wine could not start %s (%s); starting it again\n", programOf(commandLine).c_str(), failure);
        if (created) {
            CloseHandle(info.hThread);
            CloseHandle(info.hProcess);
        }
        // Wine's failure comes with load: give the machine a moment.
        Sleep(200 * attempt);
    }
}

// Starts Notepad and returns its main window once it is shown, or NULL when
// it is not shown within `timeoutMs`. The process goes to `*started`; the
// caller ends it (endProcess). Messages of this thread are served meanwhile,
// so that its own windows keep answering.
inline HWND startNotepad(PROCESS_INFORMATION *started, DWORD timeoutMs)
{
    if (!startProcess("notepad.exe", NULL, started))
        return NULL;
    WaitForInputIdle(started->hProcess, timeoutMs);
    struct Search {
        DWORD process;
        HWND found;
    } search = {started->dwProcessId, NULL};
    DWORD begin = GetTickCount();
    for (;;) {
        EnumWindows(
            [](HWND window, LPARAM parameter) WINAPI -> BOOL {
                Search *wanted = (Search *)parameter;
                char className[32] = "";
                DWORD process = 0;
                GetWindowThreadProcessId(window, &process);
                GetClassNameA(window, className, sizeof className);
                if (process != wanted->process || strcmp(className, "Notepad") != 0 || !IsWindowVisible(window))
                    return TRUE;
                wanted->found = window;
                return FALSE;
            },
            (LPARAM)&search);
        if (search.found != NULL || GetTickCount() - begin > timeoutMs)
            return search.found;
        MSG message;
        while (PeekMessageA(&message, NULL, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        Sleep(20);
    }
}

// Ends a process started by a test and closes its handles.
inline void endProcess(PROCESS_INFORMATION *process)
{
    if (process->hProcess == NULL)
        return;
    TerminateProcess(process->hProcess, 0);
    WaitForSingleObject(process->hProcess, 5000);
    CloseHandle(process->hProcess);
    CloseHandle(process->hThread);
    *process = {};
}

#endif
