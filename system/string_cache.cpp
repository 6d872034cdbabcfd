#include "system/string_cache.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "res/resource.h"

// Texts added after the end marker live in ids up to this limit; an id
// there without a text stays uncached.
enum { LaterStringFirst = IDS_END_MARKER + 1, LaterStringLimit = 200 };

// Entries are filled in id order, so ids below the count are valid.
static char *stringCache[IDS_END_MARKER];
static unsigned int stringCount;
static char *laterStrings[LaterStringLimit - LaterStringFirst];

// A copy of string `id` on the heap; *missing tells whether it has no text.
static char *LoadCopy(HINSTANCE instance, unsigned int id, int *missing)
{
    char buffer[512];
    buffer[0] = '\0';
    int length = LoadStringA(instance, id, buffer, ARRAYSIZE(buffer));
    if (length < 0)
        length = 0;
    *missing = length == 0;
    char *text = (char *)malloc((size_t)length + 1);
    if (text != NULL) {
        memcpy(text, buffer, (size_t)length);
        text[length] = '\0';
    }
    return text;
}

int LoadStringCache(HINSTANCE instance)
{
    int missing = 0;
    for (unsigned int id = 0; id < IDS_END_MARKER; id++) {
        char *text = LoadCopy(instance, id, &missing);
        if (text == NULL) {
            FreeStringCache();
            return 0;
        }
        stringCache[id] = text;
        stringCount++;
    }
    for (unsigned int id = LaterStringFirst; id < LaterStringLimit; id++) {
        char *text = LoadCopy(instance, id, &missing);
        if (text == NULL) {
            FreeStringCache();
            return 0;
        }
        if (missing)
            free(text);
        else
            laterStrings[id - LaterStringFirst] = text;
    }
    return 1;
}

const char *GetString(unsigned int id)
{
    if (id < stringCount)
        return stringCache[id];
    if (stringCount > 0 && id >= LaterStringFirst && id < LaterStringLimit)
        return laterStrings[id - LaterStringFirst];
    return NULL;
}

void FreeStringCache(void)
{
    for (unsigned int id = 0; id < stringCount; id++)
        free(stringCache[id]);
    stringCount = 0;
    for (char *&text : laterStrings) {
        free(text);
        text = NULL;
    }
}

void FormatCaption(unsigned int titleId, char *buffer, size_t size)
{
    const char *title = GetString(titleId);
    snprintf(buffer, size, "%s - %s", GetString(IDS_PRODUCT), title != NULL ? title : "");
}
