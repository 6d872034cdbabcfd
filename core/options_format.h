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

// The Unicode list names: a block of its own at the end of the tail, so
// that the options block can grow. Each name is keyed by the list name's
// ANSI bytes as the record keeps them: a build that changes a name there
// without knowing of this block leaves a key that no longer matches, and the
// list is then called by the record's name. Layout pinned in
// options_format.cpp; a tail without the block has no Unicode names.
enum {
    ListNamesMagic = 0x4D414E56u, // "VNAM"
    ListNamesVersion = 1,
    // A typed name is at most 60 UTF-16 units, at most 3 UTF-8 bytes each.
    ListNameUtf8Size = 188,
    ListNamesBlockSize = 8 + 3 * (ListNameSize + ListNameUtf8Size),
    ListNamesOffset = OptionsTailSize - ListNamesBlockSize
};

// The Unicode name (UTF-8, zero-terminated) of list `list` (1 to 3) into
// `utf8` (`size` bytes) when the tail keeps one for the ANSI name `ansiName`:
// returns 1. Otherwise 0 with `utf8` empty.
int DecodeListNameUtf8(const unsigned char tail[OptionsTailSize], int list, const char *ansiName, char *utf8,
                       size_t size);

// Keeps `utf8` as the Unicode name of list `list` for the ANSI name
// `ansiName`; NULL or "" forgets it. Forgetting in a tail without the block
// changes no byte. Returns 0 (nothing changed) for a list number outside 1
// to 3, a name too long for its field, or text that is not strict UTF-8.
int EncodeListNameUtf8(unsigned char tail[OptionsTailSize], int list, const char *ansiName, const char *utf8);

#endif
