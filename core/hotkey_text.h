// How a hotkey is written for the user ("Ctrl+Shift+Insert"), and how a
// list entry is shortened and escaped to be a menu item's text. Plain C++,
// no windows.h.
#ifndef VOMBLY_CORE_HOTKEY_TEXT_H
#define VOMBLY_CORE_HOTKEY_TEXT_H

#include <stddef.h>
#include <stdint.h>

enum {
    HotkeyTextSize = 64,
    // Menu items show at most this many characters of an entry.
    MenuLabelChars = 60,
    MenuLabelSize = 2 * MenuLabelChars + 8
};

// The name printed on the key with virtual-key code `key` for the keys
// whose names do not depend on the keyboard layout (letters, digits,
// function keys, the editing block, the number pad); NULL for others.
const char *HotkeyKeyName(uint32_t key);

// "Ctrl+Alt+Shift+Win+<keyName>" with only the modifiers in `modifiers`
// (MOD_ALT 1, MOD_CONTROL 2, MOD_SHIFT 4, MOD_WIN 8). Returns 1, or 0 when
// `text` is too small (it then holds as much as fits).
int FormatHotkeyText(uint32_t modifiers, const char *keyName, char *text, size_t size);

// The menu item text of a list entry: at most MenuLabelChars characters, and
// "..." after an entry that was longer; ampersands doubled so they show
// instead of underlining; tabs, line ends and other control characters shown
// as spaces (a tab would move the rest to the shortcut column). `label`
// needs MenuLabelSize bytes.
void MenuLabel(const char *entry, char label[MenuLabelSize]);
// The same for a UTF-16 entry; a surrogate pair is one character.
void MenuLabelW(const char16_t *entry, char16_t label[MenuLabelSize]);

#endif
