#include "system/late_dlls.h"

#include <commdlg.h>
#include <stdio.h>

FARPROC LateSystemProc(const char *dll, const char *name)
{
    // Only the system folder's copy is loaded, never one lying beside the
    // program or in the current folder.
    char path[MAX_PATH];
    UINT length = GetSystemDirectoryA(path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return NULL;
    int written = snprintf(path + length, MAX_PATH - length, "\\%s", dll);
    if (written < 0 || (UINT)written >= MAX_PATH - length)
        return NULL;
    // A DLL already loaded is found without another load; one loaded here
    // stays for the rest of the run.
    HMODULE module = GetModuleHandleA(path);
    if (module == NULL)
        module = LoadLibraryA(path);
    return module != NULL ? GetProcAddress(module, name) : NULL;
}

static PlaySoundProc playSound;

PlaySoundProc GetPlaySound(void)
{
    if (playSound == NULL)
        playSound = (PlaySoundProc)(void *)LateSystemProc("winmm.dll", "PlaySoundA");
    return playSound;
}

void SetPlaySound(PlaySoundProc proc)
{
    playSound = proc;
}

BOOL LateFileDialog(int save, OPENFILENAMEA *dialog)
{
    typedef BOOL(WINAPI * FileDialogProc)(OPENFILENAMEA *);
    FileDialogProc proc =
        (FileDialogProc)(void *)LateSystemProc("comdlg32.dll", save ? "GetSaveFileNameA" : "GetOpenFileNameA");
    return proc != NULL ? proc(dialog) : FALSE;
}

HINSTANCE LateShellExecute(HWND window, const char *verb, const char *file, const char *parameters,
                           const char *folder, int show)
{
    typedef HINSTANCE(WINAPI * ShellExecuteProc)(HWND, LPCSTR, LPCSTR, LPCSTR, LPCSTR, INT);
    ShellExecuteProc proc = (ShellExecuteProc)(void *)LateSystemProc("shell32.dll", "ShellExecuteA");
    return proc != NULL ? proc(window, verb, file, parameters, folder, show) : NULL;
}
