// The options that came after the settings record was fixed: a small
// versioned block at the start of the record's reserved tail. Plain C++ over
// bytes, no windows.h.
#ifndef VOMBLY_CORE_OPTIONS_FORMAT_H
#define VOMBLY_CORE_OPTIONS_FORMAT_H

#include <stddef.h>
#include <stdint.h>

#include "core/format.h"

// The block as it lies in the tail: a header that says it is ours and how
// long it is, then the fields of version 1. Little-endian memory image, no
// gaps; offsets are pinned in options_format.cpp.
struct OptionsBlock {
    uint32_t magic;              // OptionsMagic
    uint16_t version;            // highest version that has written the block
    uint16_t length;             // bytes of the block, header included
    uint32_t hotkeyModifiers;    // MOD_ALT 1, MOD_CONTROL 2, MOD_SHIFT 4, MOD_WIN 8
    uint32_t hotkeyKey;          // virtual-key code; 0 means no hotkey
    uint32_t pasteAfterHotkey;   // 1: a copy made after the hotkey is pasted into the window it came from
    uint32_t privateLists;       // bit n-1 set: list n is private
    uint32_t privateClearSeconds; // a private copy is cleared after this many seconds; 0 never
};

enum {
    OptionsMagic = 0x54504F56u,  // "VOPT"
    OptionsVersion = 1,
    OptionsBlockSize = 28,
    OptionsTailSize = 1028,
    OptionsModifierMask = 0x0F,
    OptionsPrivateListMask = 0x07,
    // A day: longer would only keep a secret on the clipboard by mistake.
    OptionsMaxClearSeconds = 86400
};

// The options a user has before changing any; a tail without the block
// reads as these.
void DefaultOptions(OptionsBlock *options);

// Reads the block from the tail. A tail without a valid block (another
// build's bytes, zeros) gives the defaults and returns 0; otherwise returns 1.
// Out-of-range values read as their nearest valid value.
int DecodeOptions(const unsigned char tail[OptionsTailSize], OptionsBlock *options);

// Writes the version 1 fields and the header into the tail. Bytes of the
// tail behind the block, and a later version's fields inside it, are kept.
void EncodeOptions(const OptionsBlock *options, unsigned char tail[OptionsTailSize]);

#endif
