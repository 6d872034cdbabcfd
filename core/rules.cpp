#include "core/rules.h"

#include <stdarg.h>
#include <stdio.h>
#include <string.h>

const char TempPathSuffix[] = ".tmp";

static char startupFolder[PathBufferSize];

int FormatPath(char *buffer, size_t size, const char *format, ...)
{
    va_list args;
    va_start(args, format);
    int length = vsnprintf(buffer, size, format, args);
    va_end(args);
    if (length < 0 || (size_t)length >= size) {
        if (size > 0)
            buffer[0] = '\0';
        return 0;
    }
    return 1;
}

int TempPathFor(char *buffer, size_t size, const char *path)
{
    return FormatPath(buffer, size, "%s%s", path, TempPathSuffix);
}

const char *GetStartupFolder(void)
{
    return startupFolder;
}

int SetStartupFolder(const char *directory)
{
    if (directory == NULL) {
        startupFolder[0] = '\0';
        return 0;
    }
    size_t length = strlen(directory);
    const char *separator = (length > 0 && directory[length - 1] == '\\') ? "" : "\\";
    return FormatPath(startupFolder, sizeof startupFolder, "%s%s", directory, separator);
}

uint32_t NextList(uint32_t current)
{
    return current >= 1 && current < 3 ? current + 1 : 1;
}

int SelectionAfterRemoval(int removedIndex)
{
    return removedIndex > 0 ? removedIndex - 1 : 0;
}
