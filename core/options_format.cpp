// The options block in the settings record's reserved tail. A build that
// knows nothing of it loads and stores the tail whole, so the block survives
// such a build; this build in turn keeps whatever a later version added.
#include "core/options_format.h"

#include <string.h>

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
