// System functions that only a later action needs (the click sound, the file
// dialogs, opening the home page): their DLLs are loaded at first use.
#ifndef VOMBLY_SYSTEM_LATE_DLLS_H
#define VOMBLY_SYSTEM_LATE_DLLS_H

#include <windows.h>
#include <commdlg.h>

// The function `name` of the system DLL `dll` (e.g. "winmm.dll"), loaded
// from the system folder on first use and kept for the rest of the run; NULL
// when the DLL or the function is not there.
FARPROC LateSystemProc(const char *dll, const char *name);

typedef BOOL(WINAPI *PlaySoundProc)(LPCSTR sound, HMODULE module, DWORD flags);

// PlaySoundA from winmm. SetPlaySound puts another function in its place
// (for the tests); NULL goes back to winmm's.
PlaySoundProc GetPlaySound(void);
void SetPlaySound(PlaySoundProc proc);

// GetSaveFileNameA or GetOpenFileNameA from comdlg32; 0 (as a cancel) when
// comdlg32 cannot be loaded.
BOOL LateFileDialog(int save, OPENFILENAMEA *dialog);

// ShellExecuteA from shell32; 0 when it cannot be reached.
HINSTANCE LateShellExecute(HWND window, const char *verb, const char *file, const char *parameters,
                           const char *folder, int show);

#endif
