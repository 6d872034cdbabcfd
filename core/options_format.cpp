// The options block in the settings record's reserved tail. A build that
// knows nothing of it loads and stores the tail whole, so the block survives
// such a build; this build in turn keeps whatever a later version added.
#include "core/options_format.h"

#include <string.h>

#include "core/text_codec.h"

static_assert(sizeof(OptionsBlock) == OptionsBlockSize, "the options block is 28 bytes");
static_assert(offsetof(OptionsBlock, magic) == 0);
static_assert(offsetof(OptionsBlock, version) == 4);
static_assert(offsetof(OptionsBlock, length) == 6);
static_assert(offsetof(OptionsBlock, hotkeyModifiers) == 8);
static_assert(offsetof(OptionsBlock, hotkeyKey) == 12);
static_assert(offsetof(OptionsBlock, pasteAfterHotkey) == 16);
static_assert(offsetof(OptionsBlock, privateLists) == 20);
static_assert(offsetof(OptionsBlock, privateClearSeconds) == 24);
static_assert(sizeof(SettingsRecord::reservedTail) == OptionsTailSize, "the block lives in the reserved tail");
static_assert(OptionsBlockSize <= OptionsTailSize);

void DefaultOptions(OptionsBlock *options)
{
    memset(options, 0, sizeof *options);
    options->magic = OptionsMagic;
    options->version = OptionsVersion;
    options->length = OptionsBlockSize;
    // Ctrl+Shift+Insert: Windows and the common programs give it no meaning
    // (Ctrl+Insert copies, Shift+Insert pastes, the two together nothing), and
    // no keyboard layout types a character with it, unlike Ctrl+Alt+letter,
    // which is AltGr on many European layouts.
    options->hotkeyModifiers = 0x02 | 0x04;
    options->hotkeyKey = 0x2D;
    options->pasteAfterHotkey = 0;
    options->privateLists = 0;
    options->privateClearSeconds = 30;
}

int DecodeOptions(const unsigned char tail[OptionsTailSize], OptionsBlock *options)
{
    OptionsBlock stored;
    memcpy(&stored, tail, sizeof stored);
    DefaultOptions(options);
    if (stored.magic != OptionsMagic || stored.version < 1 || stored.length < OptionsBlockSize ||
        stored.length > OptionsTailSize)
        return 0;
    options->version = stored.version;
    options->length = stored.length;
    options->hotkeyModifiers = stored.hotkeyModifiers & OptionsModifierMask;
    options->hotkeyKey = stored.hotkeyKey <= 0xFF ? stored.hotkeyKey : 0;
    options->pasteAfterHotkey = stored.pasteAfterHotkey == 1 ? 1 : 0;
    options->privateLists = stored.privateLists & OptionsPrivateListMask;
    options->privateClearSeconds = stored.privateClearSeconds <= OptionsMaxClearSeconds
                                       ? stored.privateClearSeconds : (uint32_t)OptionsMaxClearSeconds;
    return 1;
}

void EncodeOptions(const OptionsBlock *options, unsigned char tail[OptionsTailSize])
{
    OptionsBlock stored;
    memcpy(&stored, tail, sizeof stored);
    int ours = stored.magic == OptionsMagic && stored.length >= OptionsBlockSize && stored.length <= OptionsTailSize;

    OptionsBlock block = *options;
    block.magic = OptionsMagic;
    block.version = ours && stored.version > OptionsVersion ? stored.version : (uint16_t)OptionsVersion;
    block.length = ours ? stored.length : (uint16_t)OptionsBlockSize;
    memcpy(tail, &block, sizeof block);
}

struct ListNameEntry {
    char ansi[ListNameSize];
    char utf8[ListNameUtf8Size];
};

struct ListNamesBlock {
    uint32_t magic;
    uint16_t version;
    uint16_t length;
    ListNameEntry names[3];
};

static_assert(sizeof(ListNamesBlock) == ListNamesBlockSize, "the list names block is 764 bytes");
static_assert(offsetof(ListNamesBlock, names) == 8);
static_assert(ListNamesOffset == 264, "the list names block ends the tail");
static_assert(ListNamesOffset >= 8 * OptionsBlockSize, "the options block has room to grow");

static int ListNamesPresent(const ListNamesBlock *block)
{
    return block->magic == ListNamesMagic && block->version >= 1 && block->length == ListNamesBlockSize;
}

int DecodeListNameUtf8(const unsigned char tail[OptionsTailSize], int list, const char *ansiName, char *utf8,
                       size_t size)
{
    if (utf8 == NULL || size == 0)
        return 0;
    utf8[0] = '\0';
    ListNamesBlock block;
    memcpy(&block, tail + ListNamesOffset, sizeof block);
    if (list < 1 || list > 3 || ansiName == NULL || !ListNamesPresent(&block))
        return 0;
    const ListNameEntry *entry = &block.names[list - 1];
    size_t keyLength = strnlen(entry->ansi, sizeof entry->ansi);
    size_t length = strnlen(entry->utf8, sizeof entry->utf8);
    if (keyLength == sizeof entry->ansi || length == 0 || length == sizeof entry->utf8 || length >= size ||
        strcmp(entry->ansi, ansiName) != 0 || !IsStrictUtf8((const unsigned char *)entry->utf8, length))
        return 0;
    memcpy(utf8, entry->utf8, length + 1);
    return 1;
}

int EncodeListNameUtf8(unsigned char tail[OptionsTailSize], int list, const char *ansiName, const char *utf8)
{
    if (list < 1 || list > 3 || ansiName == NULL)
        return 0;
    size_t keyLength = strlen(ansiName);
    size_t length = utf8 != NULL ? strlen(utf8) : 0;
    if (keyLength >= ListNameSize || length >= ListNameUtf8Size ||
        !IsStrictUtf8((const unsigned char *)utf8, length))
        return 0;
    ListNamesBlock block;
    memcpy(&block, tail + ListNamesOffset, sizeof block);
    if (!ListNamesPresent(&block)) {
        if (length == 0)
            return 1;
        memset(&block, 0, sizeof block);
        block.magic = ListNamesMagic;
        block.version = ListNamesVersion;
        block.length = ListNamesBlockSize;
    }
    ListNameEntry *entry = &block.names[list - 1];
    memset(entry, 0, sizeof *entry);
    if (length > 0) {
        memcpy(entry->ansi, ansiName, keyLength);
        memcpy(entry->utf8, utf8, length);
    }
    memcpy(tail + ListNamesOffset, &block, sizeof block);
    return 1;
}
