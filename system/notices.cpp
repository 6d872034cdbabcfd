#include "system/notices.h"

#include <stdarg.h>
#include <stdio.h>
#include <string.h>

#include "system/string_cache.h"
#include "system/window_slots.h"
#include "res/resource.h"

// Per target: the error of its last save (0 after a good one) and the error
// last told to the user.
static unsigned long failedWith[SaveTargetCount];
static unsigned long toldError[SaveTargetCount];
static unsigned long noticesShown;
static int noticesQuiet;

void SetNoticesQuiet(int quiet)
{
    noticesQuiet = quiet;
}

int GetNoticesQuiet(void)
{
    return noticesQuiet;
}

int ShowNotice(UINT type, unsigned int textId, ...)
{
    const char *format = GetString(textId);
    if (format == NULL || noticesQuiet)
        return 0;
    char text[1024];
    va_list args;
    va_start(args, textId);
    vsnprintf(text, sizeof text, format, args);
    va_end(args);
    HWND owner = WindowSlot(0, MainWindowSlot, NULL);
    if (owner != NULL && !IsWindowVisible(owner))
        owner = NULL;
    return ShowMessage(owner, text, GetString(IDS_PRODUCT), type | MB_SETFOREGROUND);
}

int ShowMessage(HWND owner, const char *text, const char *caption, UINT type)
{
    if (noticesQuiet)
        return 0;
    noticesShown++;
    return MessageBoxA(owner, text, caption, type);
}

unsigned long NoticesShown(void)
{
    return noticesShown;
}

void ErrorText(unsigned long error, char *buffer, size_t size)
{
    if (size == 0)
        return;
    buffer[0] = '\0';
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, NULL, error,
                                  0, buffer, (DWORD)size, NULL);
    // The system's texts end in a line break; the messages add their own.
    while (length > 0 && (buffer[length - 1] == '\n' || buffer[length - 1] == '\r' || buffer[length - 1] == ' '))
        buffer[--length] = '\0';
    if (length == 0) {
        const char *format = GetString(IDS_UNKNOWN_ERROR);
        snprintf(buffer, size, format != NULL ? format : "%lu", error);
    }
}

void NoteSaveOutcome(int target, int saved, unsigned long error)
{
    if (target < 0 || target >= SaveTargetCount)
        return;
    if (saved) {
        failedWith[target] = 0;
        toldError[target] = 0;
        return;
    }
    failedWith[target] = error != 0 ? error : (unsigned long)ERROR_WRITE_FAULT;
    // A failure already told, for this file or for another one that still
    // fails the same way (a full disk fails every file), is not told again.
    for (int other = 0; other < SaveTargetCount; other++)
        if (toldError[other] == failedWith[target] && failedWith[other] == failedWith[target]) {
            toldError[target] = failedWith[target];
            return;
        }
    // Marked before the box shows: a timer save that fails again while it
    // is open must not stack a second box on it.
    toldError[target] = failedWith[target];
    char reason[512];
    ErrorText(failedWith[target], reason, sizeof reason);
    if (target == SaveTargetSettings)
        ShowNotice(MB_ICONERROR, IDS_SETTINGS_NOT_SAVED, reason);
    else
        ShowNotice(MB_ICONERROR, IDS_LIST_NOT_SAVED, target, reason);
}

int SaveFailed(int target)
{
    return target >= 0 && target < SaveTargetCount && failedWith[target] != 0;
}

int AnySaveFailed(void)
{
    return FirstSaveError() != 0;
}

unsigned long FirstSaveError(void)
{
    for (unsigned long error : failedWith)
        if (error != 0)
            return error;
    return 0;
}
