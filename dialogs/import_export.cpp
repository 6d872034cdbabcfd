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

// One entry on its way: UTF-16 between the two encodings. A UTF-8 text of n
// bytes never needs more than n UTF-16 units, nor an ANSI text of n bytes.
static WCHAR wideText[TextEntryBufferSize];
static WCHAR wideBack[TextEntryBufferSize];
static char ansiText[ListEntryBufferSize];
static char utf8Text[TextEntryBufferSize];
static char lineText[TextLineMaxBytes];

// Both conversions start alike: an empty output, then the text in
// wideText. Returns the UTF-16 units (above 0), 0 for an empty text, or a
// Convert* refusal.
static int ToWideText(UINT codePage, const char *text, size_t length, char *out, size_t outSize)
{
    if (outSize == 0)
        return ConvertTooLong;
    out[0] = '\0';
    if (length == 0)
        return 0;
    if (length >= ARRAYSIZE(wideText))
        return ConvertTooLong;
    int units = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, text, (int)length, wideText, ARRAYSIZE(wideText));
    return units > 0 ? units : ConvertNotHeld;
}

int AnsiToUtf8(const char *text, size_t length, char *out, size_t outSize)
{
    int units = ToWideText(CP_ACP, text, length, out, outSize);
    if (units <= 0)
        return units;
    int bytes = WideCharToMultiByte(CP_UTF8, 0, wideText, units, out, (int)outSize - 1, NULL, NULL);
    if (bytes <= 0)
        return GetLastError() == ERROR_INSUFFICIENT_BUFFER ? ConvertTooLong : ConvertNotHeld;
    out[bytes] = '\0';
    return bytes;
}

int Utf8ToAnsi(const char *text, size_t length, char *out, size_t outSize)
{
    int units = ToWideText(CP_UTF8, text, length, out, outSize);
    if (units <= 0)
        return units;
    // A character without its own byte in the code page would become a
    // look-alike or a question mark: the entry is refused instead. The
    // system does not report a default character for a UTF-8 code page,
    // where the way back below tells instead.
    BOOL usedDefault = FALSE;
    BOOL *usedDefaultFlag = GetACP() == CP_UTF8 ? NULL : &usedDefault;
    DWORD flags = GetACP() == CP_UTF8 ? 0 : WC_NO_BEST_FIT_CHARS;
    int needed = WideCharToMultiByte(CP_ACP, flags, wideText, units, NULL, 0, NULL, usedDefaultFlag);
    if (needed <= 0 || usedDefault)
        return ConvertNotHeld;
    if (needed > ListEntryWriteLimit || (size_t)needed >= outSize)
        return ConvertTooLong;
    int bytes = WideCharToMultiByte(CP_ACP, flags, wideText, units, out, needed, NULL, usedDefaultFlag);
    if (bytes != needed || usedDefault)
        return ConvertNotHeld;
    // The way back must give the very same characters.
    int back = MultiByteToWideChar(CP_ACP, 0, out, bytes, wideBack, ARRAYSIZE(wideBack));
    if (back != units || memcmp(wideBack, wideText, (size_t)units * sizeof(WCHAR)) != 0)
        return ConvertNotHeld;
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
                converted = Utf8ToAnsi(utf8Text, length, ansiText, sizeof ansiText);
            unsigned int reason = result == TextEntryBadQuotes    ? IDS_SKIP_QUOTES
                                  : converted == ConvertNotHeld   ? IDS_SKIP_CODE_PAGE
                                  : converted == ConvertTooLong   ? IDS_SKIP_TOO_LONG
                                                                  : 0;
            if (reason == 0 && SendMessageA(listBox, LB_ADDSTRING, 0, (LPARAM)ansiText) >= 0) {
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
        int length = ReadListEntry(listBox, (int)index, ansiText, sizeof ansiText);
        int converted = length >= 0 ? AnsiToUtf8(ansiText, (size_t)length, utf8Text, sizeof utf8Text) : ConvertNotHeld;
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
