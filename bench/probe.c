/* The Windows side of the benchmark: starts a program, times it with
 * QueryPerformanceCounter until its window is visible and its list box
 * holds all the expected entries, and drives double-clicks with real input.
 *
 *   probe start HOLD N CLASS EXE ARGS
 *       prints the milliseconds from CreateProcess until a visible window of
 *       CLASS has a list box whose LB_GETCOUNT (asked across processes in
 *       its W form) equals N. With HOLD other than "-", it then creates the
 *       file HOLD\ready and waits for HOLD\go (at most 60 s), so that the
 *       caller can read the process's resident memory, before ending it.
 *   probe click HOLD N CLASS EXE ARGS SETTINGS CLICKS
 *       starts the same way, then double-clicks the first and the second
 *       entry in turn with SendInput, CLICKS times, and prints per click the
 *       milliseconds until the clipboard's sequence number changed and until
 *       the SETTINGS file's write time changed (-1 when it did not within
 *       3 s). Before the first click, after it and after every 1,000th it
 *       holds as above, with the files HOLD\mark-K and HOLD\go-K.
 *   probe add HOLD N CLASS EXE ARGS LISTFILE ADDS
 *       starts the same way, then ADDS times presses the main window's Add
 *       button (its id 3), types a text into the dialog's edit control and
 *       presses its OK, printing the milliseconds from OK until LISTFILE's
 *       write time changed (-1 when it did not within 3 s).
 * Every wait is bounded; the program ends what it started. */
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static LARGE_INTEGER frequency;

static double MillisecondsSince(LARGE_INTEGER start)
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return (double)(now.QuadPart - start.QuadPart) * 1000.0 / (double)frequency.QuadPart;
}

static int FileExists(const char *path)
{
    return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

/* Tells the caller a point was reached and waits until it answers. */
static void Hold(const char *folder, const char *mark, const char *answer)
{
    char markPath[MAX_PATH], answerPath[MAX_PATH];
    if (strcmp(folder, "-") == 0)
        return;
    snprintf(markPath, sizeof markPath, "%s\\%s", folder, mark);
    snprintf(answerPath, sizeof answerPath, "%s\\%s", folder, answer);
    FILE *file = fopen(markPath, "wb");
    if (file != NULL)
        fclose(file);
    for (int waited = 0; waited < 60000 && !FileExists(answerPath); waited += 5)
        Sleep(5);
}

static HWND FindReadyList(const char *className, LRESULT expected, HWND *topOut)
{
    HWND top = FindWindowA(className, NULL);
    if (top == NULL || !IsWindowVisible(top))
        return NULL;
    HWND listBox = FindWindowExA(top, NULL, "ListBox", NULL);
    DWORD_PTR count = 0;
    if (listBox == NULL ||
        !SendMessageTimeoutW(listBox, LB_GETCOUNT, 0, 0, SMTO_NORMAL, 5000, &count) ||
        (LRESULT)count != expected)
        return NULL;
    *topOut = top;
    return listBox;
}

static int Start(PROCESS_INFORMATION *process, const char *exe, const char *args)
{
    static char commandLine[4096];
    snprintf(commandLine, sizeof commandLine, "\"%s\"%s%s", exe, *args ? " " : "", args);
    STARTUPINFOA startup;
    memset(&startup, 0, sizeof startup);
    startup.cb = sizeof startup;
    return CreateProcessA(NULL, commandLine, NULL, NULL, FALSE, 0, NULL, NULL, &startup, process);
}

static void End(PROCESS_INFORMATION *process)
{
    TerminateProcess(process->hProcess, 0);
    WaitForSingleObject(process->hProcess, 10000);
    CloseHandle(process->hThread);
    CloseHandle(process->hProcess);
}

static void ClickAt(POINT point)
{
    INPUT inputs[5];
    memset(inputs, 0, sizeof inputs);
    int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    inputs[0].type = INPUT_MOUSE;
    inputs[0].mi.dx = (LONG)((point.x * 65535.0) / (width - 1));
    inputs[0].mi.dy = (LONG)((point.y * 65535.0) / (height - 1));
    inputs[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    for (int i = 1; i < 5; i++) {
        inputs[i].type = INPUT_MOUSE;
        inputs[i].mi.dwFlags = (i % 2) ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
    }
    SendInput(5, inputs, sizeof inputs[0]);
}

static ULONGLONG WriteTime(const char *path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path, GetFileExInfoStandard, &data))
        return 0;
    return ((ULONGLONG)data.ftLastWriteTime.dwHighDateTime << 32) | data.ftLastWriteTime.dwLowDateTime;
}

static int Clicks(HWND top, HWND listBox, const char *settings, int clicks, const char *hold)
{
    SetForegroundWindow(top);
    Sleep(200);
    LRESULT itemHeight = SendMessageW(listBox, LB_GETITEMHEIGHT, 0, 0);
    POINT points[2] = {{8, (LONG)itemHeight / 2}, {8, (LONG)itemHeight + (LONG)itemHeight / 2}};
    ClientToScreen(listBox, &points[0]);
    ClientToScreen(listBox, &points[1]);
    char mark[32], answer[32];
    for (int i = 0; i < clicks; i++) {
        /* After the first click too: what that one loads shows apart. */
        if (i % 1000 == 0 || i == 1) {
            snprintf(mark, sizeof mark, "mark-%d", i);
            snprintf(answer, sizeof answer, "go-%d", i);
            Hold(hold, mark, answer);
        }
        DWORD sequence = GetClipboardSequenceNumber();
        ULONGLONG written = WriteTime(settings);
        LARGE_INTEGER start;
        QueryPerformanceCounter(&start);
        ClickAt(points[i % 2]);
        double copied = -1, saved = -1;
        while (MillisecondsSince(start) < 3000 && (copied < 0 || saved < 0)) {
            if (copied < 0 && GetClipboardSequenceNumber() != sequence)
                copied = MillisecondsSince(start);
            if (saved < 0 && WriteTime(settings) != written)
                saved = MillisecondsSince(start);
            if (copied < 0 || saved < 0)
                Sleep(0);
        }
        printf("click %d %.3f %.3f\n", i, copied, saved);
        /* A click that changed nothing would leave the next one to land
         * inside the double-click time of this one. */
        if (copied < 0 || saved < 0)
            Sleep(GetDoubleClickTime() + 50);
    }
    snprintf(mark, sizeof mark, "mark-%d", clicks);
    snprintf(answer, sizeof answer, "go-%d", clicks);
    Hold(hold, mark, answer);
    return 0;
}

static HWND ownedDialog;

static BOOL CALLBACK FindOwnedDialog(HWND window, LPARAM owner)
{
    char className[16];
    if (GetWindow(window, GW_OWNER) == (HWND)owner && IsWindowVisible(window) &&
        GetClassNameA(window, className, sizeof className) && strcmp(className, "#32770") == 0) {
        ownedDialog = window;
        return FALSE;
    }
    return TRUE;
}

static int Adds(HWND top, const char *listFile, int adds)
{
    for (int i = 0; i < adds; i++) {
        PostMessageA(top, WM_COMMAND, MAKEWPARAM(3, BN_CLICKED), (LPARAM)GetDlgItem(top, 3));
        LARGE_INTEGER waited;
        QueryPerformanceCounter(&waited);
        ownedDialog = NULL;
        while (ownedDialog == NULL && MillisecondsSince(waited) < 5000) {
            EnumWindows(FindOwnedDialog, (LPARAM)top);
            if (ownedDialog == NULL)
                Sleep(1);
        }
        HWND editBox = ownedDialog != NULL ? FindWindowExA(ownedDialog, NULL, "Edit", NULL) : NULL;
        if (editBox == NULL) {
            printf("add %d -1\n", i);
            continue;
        }
        WCHAR text[64];
        _snwprintf(text, 63, L"Benchmark entry number %d", i);
        text[63] = 0;
        DWORD_PTR ignored;
        SendMessageTimeoutW(editBox, WM_SETTEXT, 0, (LPARAM)text, SMTO_NORMAL, 5000, &ignored);
        ULONGLONG written = WriteTime(listFile);
        LARGE_INTEGER start;
        QueryPerformanceCounter(&start);
        PostMessageA(ownedDialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), (LPARAM)GetDlgItem(ownedDialog, IDOK));
        double saved = -1;
        while (MillisecondsSince(start) < 3000 && saved < 0) {
            if (WriteTime(listFile) != written)
                saved = MillisecondsSince(start);
            else
                Sleep(0);
        }
        printf("add %d %.3f\n", i, saved);
        /* The dialog is gone before the next press. */
        for (int w = 0; w < 3000 && IsWindow(ownedDialog); w += 2)
            Sleep(2);
    }
    return 0;
}

int main(int argc, char **argv)
{
    int click = argc == 9 && strcmp(argv[1], "click") == 0;
    int add = argc == 9 && strcmp(argv[1], "add") == 0;
    if (!(argc == 7 && strcmp(argv[1], "start") == 0) && !click && !add) {
        fprintf(stderr, "usage: probe start HOLD N CLASS EXE ARGS | probe click|add HOLD N CLASS EXE ARGS FILE COUNT\n");
        return 2;
    }
    QueryPerformanceFrequency(&frequency);
    const char *hold = argv[2];
    LRESULT expected = atol(argv[3]);
    PROCESS_INFORMATION process;
    LARGE_INTEGER start;
    QueryPerformanceCounter(&start);
    if (!Start(&process, argv[5], argv[6])) {
        fprintf(stderr, "probe: cannot start %s (error %lu)\n", argv[5], GetLastError());
        return 1;
    }
    HWND top = NULL, listBox = NULL;
    while ((listBox = FindReadyList(argv[4], expected, &top)) == NULL) {
        if (MillisecondsSince(start) > 120000 || WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0) {
            fprintf(stderr, "probe: %s never showed %ld entries\n", argv[5], (long)expected);
            End(&process);
            return 1;
        }
        Sleep(1);
    }
    double elapsed = MillisecondsSince(start);
    int result = 0;
    if (click) {
        result = Clicks(top, listBox, argv[7], atoi(argv[8]), hold);
    } else if (add) {
        result = Adds(top, argv[7], atoi(argv[8]));
    } else {
        printf("start %.3f\n", elapsed);
        fflush(stdout);
        Hold(hold, "ready", "go");
    }
    fflush(stdout);
    End(&process);
    return result;
}
