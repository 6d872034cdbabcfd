#include "core/hotkey_text.h"

#include <stdio.h>
#include <string.h>

const char *HotkeyKeyName(uint32_t key)
{
    static const char *const letters[] = {"A", "B", "C", "D", "E", "F", "G", "H", "I", "J", "K", "L", "M",
                                           "N", "O", "P", "Q", "R", "S", "T", "U", "V", "W", "X", "Y", "Z"};
    static const char *const digits[] = {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"};
    static const char *const functionKeys[] = {"F1",  "F2",  "F3",  "F4",  "F5",  "F6",  "F7",  "F8",
                                               "F9",  "F10", "F11", "F12", "F13", "F14", "F15", "F16",
                                               "F17", "F18", "F19", "F20", "F21", "F22", "F23", "F24"};
    static const char *const numberPad[] = {"Num 0", "Num 1", "Num 2", "Num 3", "Num 4",
                                            "Num 5", "Num 6", "Num 7", "Num 8", "Num 9"};
    static const struct {
        uint32_t key;
        const char *name;
    } named[] = {
        {0x08, "Backspace"}, {0x09, "Tab"},       {0x0D, "Enter"},        {0x13, "Pause"},
        {0x1B, "Esc"},       {0x20, "Space"},     {0x21, "Page Up"},      {0x22, "Page Down"},
        {0x23, "End"},       {0x24, "Home"},      {0x25, "Left"},         {0x26, "Up"},
        {0x27, "Right"},     {0x28, "Down"},      {0x2C, "Print Screen"}, {0x2D, "Insert"},
        {0x2E, "Delete"},    {0x6A, "Num *"},     {0x6B, "Num +"},        {0x6D, "Num -"},
        {0x6E, "Num ."},     {0x6F, "Num /"},     {0x90, "Num Lock"},     {0x91, "Scroll Lock"},
    };
    if (key >= 'A' && key <= 'Z')
        return letters[key - 'A'];
    if (key >= '0' && key <= '9')
        return digits[key - '0'];
    if (key >= 0x70 && key <= 0x87)
        return functionKeys[key - 0x70];
    if (key >= 0x60 && key <= 0x69)
        return numberPad[key - 0x60];
    for (const auto &row : named) {
        if (row.key == key)
            return row.name;
    }
    return nullptr;
}

int FormatHotkeyText(uint32_t modifiers, const char *keyName, char *text, size_t size)
{
    if (text == nullptr || size == 0)
        return 0;
    int length = snprintf(text, size, "%s%s%s%s%s", (modifiers & 0x02) ? "Ctrl+" : "",
                          (modifiers & 0x01) ? "Alt+" : "", (modifiers & 0x04) ? "Shift+" : "",
                          (modifiers & 0x08) ? "Win+" : "", keyName != nullptr ? keyName : "");
    return length >= 0 && (size_t)length < size;
}

// One rule for both kinds of text. The second half of a UTF-16 surrogate
// pair belongs to the character before it: it is neither counted nor cut off.
template <typename Char, typename Unit>
static void MenuLabelOf(const Char *entry, Char label[MenuLabelSize])
{
    size_t out = 0;
    size_t shown = 0;
    for (; entry != nullptr && *entry != 0; entry++) {
        Unit c = (Unit)*entry;
        int continues = c >= 0xDC00 && c <= 0xDFFF && out > 0;
        if (shown == MenuLabelChars && !continues) {
            for (int dot = 0; dot < 3; dot++)
                label[out++] = (Char)'.';
            break;
        }
        if (c < 0x20 || c == 0x7F) {
            label[out++] = (Char)' ';
        } else {
            if (c == '&')
                label[out++] = (Char)'&';
            label[out++] = (Char)c;
        }
        if (!continues)
            shown++;
    }
    label[out] = 0;
}

void MenuLabel(const char *entry, char label[MenuLabelSize])
{
    MenuLabelOf<char, unsigned char>(entry, label);
}

void MenuLabelW(const char16_t *entry, char16_t label[MenuLabelSize])
{
    MenuLabelOf<char16_t, char16_t>(entry, label);
}
