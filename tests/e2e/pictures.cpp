// Takes the pictures of the README and the docs: the real Vombly.exe under
// Wine with a few lists of everyday entries, its main window and each of its
// dialogs, captured from the screen as PNG files.
//
//   vombly_pictures.exe [--suffix TEXT] FOLDER [SETUP]   (Windows paths, e.g. Z:\...\docs)
//
// --suffix goes into each file's name ("main-window-144dpi.png"), for the
// pictures of a session at another display scale.
// With SETUP, also the setup's pages, from the first to the last, with the
// answers a user gives by default.
//
// Prints one line per picture; exits non-zero when one could not be taken.
#include <stdio.h>
#include <string.h>

#include <string>
#include <vector>

#include "daily.h"
#include "harness.h"
#include "res/resource.h"

namespace {

const std::vector<std::string> Home = {
    "10 Sample Street, Exampletown EX1 2AB",
    "jane.doe@example.com",
    "+44 20 7946 0018",
    "Kind regards, Jane",
    "Thanks for your message, I will get back to you shortly.",
    "Sort code 01-02-03, account 12345678",
};
const std::vector<std::string> Office = {"Meeting room 4B, second floor", "Invoice ref. INV-2026-0042"};
const std::vector<std::string> Other = {"git log --oneline --graph"};

int failures;
const char *suffix = "";
enum { SetupTimeoutMs = 60000 };

void take(const RECT &rect, const std::string &folder, const char *name)
{
    std::string file = name;
    file.insert(file.rfind('.'), suffix);
    std::string path = folder + "\\" + file;
    bool saved = saveScreenPng(rect, path);
    printf("%s %s\n", saved ? "saved" : "FAILED", path.c_str());
    failures += saved ? 0 : 1;
}

struct DialogPicture {
    WORD command;
    const char *title;
    WORD closeWith;
    const char *file;
};

// Runs the setup with its pages and takes each page; Next until Finish.
void takeSetupPages(const std::string &setup, const std::string &folder)
{
    PROCESS_INFORMATION process = {};
    if (!startProcess("\"" + setup + "\"", NULL, &process)) {
        printf("FAILED setup pages: %s did not start\n", setup.c_str());
        failures++;
        return;
    }
    CloseHandle(process.hThread);
    // The progress page moves on to the last page by itself.
    const char *pages[] = {"setup-components.png", "setup-folder.png", "setup-finish.png"};
    HWND window = waitForWindow(nullptr, "#32770", StartTimeoutMs, process.dwProcessId);
    for (const char *page : pages) {
        if (window == NULL)
            break;
        HWND next = GetDlgItem(window, IDOK);
        if (page == pages[2])
            waitFor([&] { return windowText(next).find("Finish") != std::string::npos; }, SetupTimeoutMs);
        waitUntilIdle(window);
        Sleep(700);
        take(windowRect(window), folder, page);
        PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), (LPARAM)next);
        Sleep(500);
    }
    if (WaitForSingleObject(process.hProcess, UiTimeoutMs) != WAIT_OBJECT_0) {
        printf("FAILED setup pages: the setup did not end\n");
        TerminateProcess(process.hProcess, 1);
        failures++;
    }
    CloseHandle(process.hProcess);
    // Finish starts Vombly, as its ticked box says; it is ended cleanly.
    HWND started = waitForWindow(MainTitle, MainClass, StartTimeoutMs);
    DWORD_PTR result = 0;
    if (started != NULL)
        sendTimeout(started, WM_DESTROY, 0, 0, &result, 5000);
    waitFor([] { return FindWindowA(MainClass, MainTitle) == NULL; }, ExitTimeoutMs);
    stopAllVombly();
}

} // namespace

int main(int argc, char **argv)
{
    setvbuf(stdout, NULL, _IONBF, 0);
    becomeDpiAware();
    if (argc >= 3 && strcmp(argv[1], "--suffix") == 0) {
        suffix = argv[2];
        argc -= 2;
        argv += 2;
    }
    if (argc != 2 && argc != 3) {
        fprintf(stderr, "usage: vombly_pictures [--suffix TEXT] FOLDER [SETUP]\n");
        return 2;
    }
    std::string folder = argv[1];
    stopAllVombly();
    resetDataFolder();
    SettingsRecord settings = settingsRecord(1, 0, 1);
    settings.lists[0].listSelection = 1;
    if (!writeUsersSettings(settings) || !writeUsersList(1, Home) || !writeUsersList(2, Office) ||
        !writeUsersList(3, Other)) {
        fprintf(stderr, "the user's files could not be written\n");
        return 1;
    }

    VomblyProcess vombly = startVombly("/SM");
    HWND window = waitForMainWindow(vombly);
    if (window == NULL) {
        fprintf(stderr, "Vombly did not start\n");
        stopAllVombly();
        return 1;
    }
    waitUntilIdle(window);
    Sleep(1000);
    take(windowRect(window), folder, "main-window.png");

    const DialogPicture dialogs[] = {
        {IDM_ADD, "Vombly - Add String", IDCANCEL, "add-dialog.png"},
        {IDM_REMOVE, "Vombly - Remove String", IDCANCEL, "remove-dialog.png"},
        {IDM_SETTINGS, "Vombly - Settings", IDCANCEL, "settings-dialog.png"},
        {IDM_ABOUT, "About Vombly", IDOK, "about-dialog.png"},
        {IDM_EXIT, "Vombly - Quit", IDCANCEL, "exit-dialog.png"},
    };
    for (const DialogPicture &d : dialogs) {
        // The commands come as the menu sends them; Exit is a close request.
        if (d.command == IDM_EXIT)
            PostMessageA(window, WM_CLOSE, IDM_EXIT, 0);
        else
            PostMessageA(window, WM_COMMAND, d.command, 0);
        HWND dialog = waitForWindow(d.title, "#32770", UiTimeoutMs, vombly.pid);
        if (dialog == NULL) {
            printf("FAILED %s: no dialog \"%s\"\n", d.file, d.title);
            failures++;
            continue;
        }
        if (d.command == IDM_ADD) {
            DWORD_PTR result = 0;
            sendTimeout(GetDlgItem(dialog, IDC_ADD_EDIT), WM_SETTEXT, 0, (LPARAM)L"Meeting at 10:30, room 4B", &result);
        }
        waitUntilIdle(dialog);
        Sleep(700);
        take(windowRect(dialog), folder, d.file);
        if (!dismissBox(dialog, d.closeWith, UiTimeoutMs)) {
            printf("FAILED %s: \"%s\" did not close\n", d.file, d.title);
            failures++;
        }
    }

    // Ended as File, Exit, Quit ends it, so nothing is lost.
    DWORD_PTR result = 0;
    sendTimeout(window, WM_DESTROY, 0, 0, &result, 5000);
    waitForExit(vombly, ExitTimeoutMs);
    stopAllVombly();
    resetDataFolder();
    if (argc == 3)
        takeSetupPages(argv[2], folder);
    return failures == 0 ? 0 : 1;
}
