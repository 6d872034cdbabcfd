#include "app/string_cache.h"

#include <stdlib.h>
#include <string.h>

#include "res/resource.h"

// Entries are filled in id order, so ids below the count are valid.
static char *stringCache[IDS_END_MARKER];
static unsigned int stringCount;
static HINSTANCE stringModule;
static char *moreStrings[MoreStringEnd];

int LoadStringCache(HINSTANCE instance)
{
    stringModule = instance;
    for (unsigned int id = 0; id < IDS_END_MARKER; id++) {
        char buffer[512];
        buffer[0] = '\0';
        int length = LoadStringA(instance, id, buffer, ARRAYSIZE(buffer));
        if (length < 0)
            length = 0;
        char *text = (char *)malloc((size_t)length + 1);
        if (text == NULL) {
            FreeStringCache();
            return 0;
        }
        memcpy(text, buffer, (size_t)length);
        text[length] = '\0';
        stringCache[id] = text;
        stringCount++;
    }
    return 1;
}

const char *GetString(unsigned int id)
{
    return id < stringCount ? stringCache[id] : NULL;
}

void FreeStringCache(void)
{
    for (unsigned int id = 0; id < stringCount; id++)
        free(stringCache[id]);
    stringCount = 0;
    for (unsigned int id = 0; id < MoreStringEnd; id++) {
        free(moreStrings[id]);
        moreStrings[id] = NULL;
    }
    stringModule = NULL;
}

const char *GetMoreString(unsigned int id)
{
    if (id <= IDS_END_MARKER || id >= MoreStringEnd || stringModule == NULL)
        return NULL;
    if (moreStrings[id] == NULL) {
        char buffer[512];
        int length = LoadStringA(stringModule, id, buffer, ARRAYSIZE(buffer));
        if (length < 0)
            length = 0;
        char *text = (char *)malloc((size_t)length + 1);
        if (text == NULL)
            return NULL;
        memcpy(text, buffer, (size_t)length);
        text[length] = '\0';
        moreStrings[id] = text;
    }
    return moreStrings[id];
}
