#include "dialogs/import_export.h"

#include <commdlg.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "system/late_dlls.h"
#include "system/notices.h"
#include "system/string_cache.h"
#include "system/window_slots.h"
#include "res/resource.h"
#include "core/format.h"
#include "store/safe_write.h"
#include "store/settings.h"
#include "view/save_settings.h"
#include "core/text_codec.h"
#include "system/list_entry.h"
#include "view/lists.h"

// One entry on its way: UTF-16 as the list box keeps it, UTF-8 as the file
// does, and the ANSI form that tells whether a list file can keep it.
static WCHAR wideText[ListEntryBufferSize];
static char ansiText[ListEntryBufferSize];
static char utf8Text[TextEntryBufferSize];
static char lineText[TextLineMaxBytes];

int Utf8ToEntry(const char *text, size_t length, WCHAR *out, size_t units)
{
    if (units == 0)
        return ConvertTooLong;
    out[0] = 0;
    if (length == 0)
        return 0;
    // A UTF-8 text of n bytes never needs more than n UTF-16 units.
    if (length > 0x7FFFFFFF)
        return ConvertTooLong;
    int converted = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text, (int)length, out, (int)units - 1);
    if (converted <= 0)
        return GetLastError() == ERROR_INSUFFICIENT_BUFFER ? ConvertTooLong : ConvertNotHeld;
    out[converted] = 0;
    // What the list file keeps of it must fit a list file's record.
    if (AnsiFormOf(out, converted, ansiText, sizeof ansiText, NULL) < 0)
        return ConvertTooLong;
    return converted;
}

int EntryToUtf8(const WCHAR *text, int units, char *out, size_t outSize)
{
    if (outSize == 0)
        return ConvertTooLong;
    out[0] = '\0';
    if (units <= 0)
        return units == 0 ? 0 : ConvertNotHeld;
    int room = outSize - 1 > (size_t)0x7FFFFFFF ? 0x7FFFFFFF : (int)(outSize - 1);
    int bytes = WideCharToMultiByte(CP_UTF8, 0, text, units, out, room, NULL, NULL);
    if (bytes <= 0)
        return GetLastError() == ERROR_INSUFFICIENT_BUFFER ? ConvertTooLong : ConvertNotHeld;
    out[bytes] = '\0';
    return bytes;
}

// Appends to a message, cut at its end if it must be.
static void AppendText(char *message, size_t size, const char *format, ...)
{
    size_t used = strlen(message);
    if (used + 1 >= size)
        return;
    va_list arguments;
    va_start(arguments, format);
    vsnprintf(message + used, size - used, format, arguments);
    va_end(arguments);
}

static void AppendString(char *message, size_t size, unsigned int id, ...)
{
    const char *format = GetString(id);
    size_t used = strlen(message);
    if (used + 1 >= size)
        return;
    va_list arguments;
    va_start(arguments, id);
    vsnprintf(message + used, size - used, format, arguments);
    va_end(arguments);
}

// The whole file in a block of its own, or NULL with the reason in *refusal.
static unsigned char *ReadWholeFile(const char *path, size_t *size, unsigned int *refusal)
{
    *refusal = IDS_FILE_UNREADABLE;
    FILE *file = fopen(path, "rb");
    if (file == NULL)
        return NULL;
    unsigned char *bytes = NULL;
    long length = -1;
    if (fseek(file, 0, SEEK_END) == 0)
        length = ftell(file);
    if (length > ImportFileLimit)
        *refusal = IDS_FILE_TOO_LARGE;
    if (length >= 0 && length <= ImportFileLimit && fseek(file, 0, SEEK_SET) == 0) {
        bytes = (unsigned char *)malloc((size_t)length + 1);
        if (bytes != NULL && fread(bytes, 1, (size_t)length, file) != (size_t)length) {
            free(bytes);
            bytes = NULL;
        }
    }
    fclose(file);
    *size = length >= 0 ? (size_t)length : 0;
    return bytes;
}

int ImportTextFile(HWND window, const char *path, char *message, size_t messageSize)
{
    message[0] = '\0';
    size_t size = 0;
    unsigned int refusal = 0;
    unsigned char *bytes = ReadWholeFile(path, &size, &refusal);
    if (bytes != NULL) {
        TextFileKind kind = CheckTextFile(bytes, size);
        refusal = kind == TextFileEmpty ? IDS_FILE_EMPTY : kind == TextFileNotText ? IDS_FILE_NOT_TEXT : 0;
    }

    HWND listBox = WindowSlot(0, IDC_LISTBOX, NULL);
    unsigned int added = 0, skipped = 0;
    char reasons[ImportMessageSize] = "";
    if (refusal == 0) {
        TextReader reader;
        StartTextReader(&reader, bytes, size);
        size_t length = 0;
        uint32_t line = 0;
        for (TextEntryResult result; (result = ReadTextEntry(&reader, utf8Text, &length, &line)) != TextEntryEnd;) {
            int converted = ConvertTooLong;
            if (result == TextEntryRead)
                converted = Utf8ToEntry(utf8Text, length, wideText, ARRAYSIZE(wideText));
            unsigned int reason = result == TextEntryBadQuotes    ? IDS_SKIP_QUOTES
                                  : converted == ConvertNotHeld   ? IDS_SKIP_CODE_PAGE
                                  : converted == ConvertTooLong   ? IDS_SKIP_TOO_LONG
                                                                  : 0;
            if (reason == 0 && AddListEntryW(listBox, wideText) >= 0) {
                added++;
                continue;
            }
            skipped++;
            if (reason == 0)
                reason = IDS_SKIP_TOO_LONG;
            if (skipped <= SkipReasonsShown) {
                AppendString(reasons, sizeof reasons, reason, (unsigned int)line);
                AppendText(reasons, sizeof reasons, "\n");
            }
        }
        // A file of blank lines holds nothing to import.
        if (added == 0 && skipped == 0)
            refusal = IDS_FILE_EMPTY;
    }
    free(bytes);
    if (refusal != 0) {
        AppendString(message, messageSize, refusal, path);
        return -1;
    }

    AppendString(message, messageSize, IDS_IMPORT_ADDED, added);
    if (skipped > 0) {
        AppendText(message, messageSize, "\n\n");
        AppendString(message, messageSize, IDS_IMPORT_SKIPPED, skipped);
        AppendText(message, messageSize, "\n%s", reasons);
        if (skipped > SkipReasonsShown)
            AppendString(message, messageSize, IDS_SKIP_MORE, skipped - SkipReasonsShown);
    }
    if (added > 0) {
        SendMessageA(window, WM_COMMAND, CMD_SAVE_LIST, 0);
        SaveSettings();
    }
    return (int)added;
}

int ExportTextFile(const char *path, char *message, size_t messageSize)
{
    message[0] = '\0';
    HWND listBox = WindowSlot(0, IDC_LISTBOX, NULL);
    LRESULT count = SendMessageA(listBox, LB_GETCOUNT, 0, 0);
    SafeWrite write;
    if (count == LB_ERR || !BeginSafeWriteNew(&write, path)) {
        AppendString(message, messageSize, IDS_EXPORT_FAILED, path);
        return 0;
    }
    SafeWriteBytes(&write, TextBom, TextBomSize);
    unsigned int written = 0, skipped = 0;
    char reasons[ImportMessageSize] = "";
    for (LRESULT index = 0; index < count; index++) {
        int units = ReadListEntryW(listBox, (int)index, wideText, ARRAYSIZE(wideText));
        int converted = units >= 0 ? EntryToUtf8(wideText, units, utf8Text, sizeof utf8Text) : ConvertNotHeld;
        size_t lineLength = converted >= 0 ? EncodeTextLine(utf8Text, (size_t)converted, lineText, sizeof lineText) : 0;
        if (lineLength == 0) {
            skipped++;
            if (skipped <= SkipReasonsShown) {
                AppendString(reasons, sizeof reasons, IDS_SKIP_ENTRY_CODE_PAGE, (unsigned int)index + 1);
                AppendText(reasons, sizeof reasons, "\n");
            }
            continue;
        }
        SafeWriteBytes(&write, lineText, lineLength);
        written++;
    }
    if (!CommitSafeWrite(&write)) {
        AppendString(message, messageSize, IDS_EXPORT_FAILED, path);
        return 0;
    }
    AppendString(message, messageSize, IDS_EXPORT_DONE, written, path);
    if (skipped > 0) {
        AppendText(message, messageSize, "\n\n");
        AppendString(message, messageSize, IDS_EXPORT_SKIPPED, skipped);
        AppendText(message, messageSize, "\n%s", reasons);
        if (skipped > SkipReasonsShown)
            AppendString(message, messageSize, IDS_SKIP_MORE, skipped - SkipReasonsShown);
    }
    return 1;
}

// The common file dialog for a text file; the chosen path goes to `path`.
static int AskForFile(HWND window, int save, char *path, DWORD size)
{
    char filter[256];
    int length = snprintf(filter, sizeof filter - 1, "%s", GetString(IDS_TEXT_FILTER));
    if (length < 0 || length >= (int)sizeof filter - 1)
        length = length < 0 ? 0 : (int)sizeof filter - 2;
    // The string table cannot hold the zeros that separate the filter's parts.
    for (int i = 0; i < length; i++) {
        if (filter[i] == '|')
            filter[i] = '\0';
    }
    filter[length] = '\0';
    const char *title = GetString(save ? IDS_EXPORT_TITLE : IDS_IMPORT_TITLE);

    OPENFILENAMEA dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = window;
    dialog.lpstrFilter = filter;
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = path;
    dialog.nMaxFile = size;
    dialog.lpstrTitle = title;
    dialog.lpstrDefExt = "txt";
    // The program's folders are found from its current folder: keep it.
    dialog.Flags = OFN_NOCHANGEDIR | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST |
                   (save ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST);
    return LateFileDialog(save, &dialog);
}

static void ShowResult(HWND window, unsigned int titleId, const char *message, UINT icon)
{
    char caption[192];
    FormatCaption(titleId, caption, sizeof caption);
    ShowMessage(window, message, caption, icon);
}

LRESULT ImportListCommand(HINSTANCE, HWND window, UINT, WPARAM, LPARAM)
{
    static char path[PathBufferSize];
    path[0] = '\0';
    if (!ActiveListChangeable() || !AskForFile(window, 0, path, sizeof path))
        return 0;
    static char message[ImportMessageSize];
    int added = ImportTextFile(window, path, message, sizeof message);
    ShowResult(window, IDS_IMPORT_TITLE, message, added < 0 ? MB_ICONERROR : MB_ICONINFORMATION);
    return 0;
}

LRESULT ExportListCommand(HINSTANCE, HWND window, UINT, WPARAM, LPARAM)
{
    static char path[PathBufferSize];
    snprintf(path, sizeof path, "%s%d.txt", GetString(IDS_PRODUCT), (int)GetActiveList());
    if (!AskForFile(window, 1, path, sizeof path))
        return 0;
    static char message[ImportMessageSize];
    int written = ExportTextFile(path, message, sizeof message);
    ShowResult(window, IDS_EXPORT_TITLE, message, written ? MB_ICONINFORMATION : MB_ICONERROR);
    return 0;
}
