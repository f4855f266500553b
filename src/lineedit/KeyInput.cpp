#include "lineedit/KeyInput.h"

#include <string_view>

namespace zel {
namespace {

// Virtual keys of the modifier keys: Shift, Control, Alt (Menu), the Windows keys, Apps,
// and the left and right Shift, Control and Alt.
constexpr KeyCode kShiftKey = 0x10, kControlKey = 0x11, kMenuKey = 0x12;
constexpr KeyCode kLeftWinKey = 0x5B, kRightWinKey = 0x5C, kAppsKey = 0x5D;
constexpr KeyCode kLeftShiftKey = 0xA0, kRightMenuKey = 0xA5;

// The US layout's punctuation: unshifted and shifted character, virtual key.
struct Punctuation {
    char plain, shifted;
    KeyCode key;
};
constexpr Punctuation kPunctuation[] = {
    {';', ':', 0xBA},  {'=', '+', 0xBB}, {',', '<', 0xBC},  {'-', '_', 0xBD},
    {'.', '>', 0xBE},  {'/', '?', 0xBF}, {'`', '~', 0xC0},  {'[', '{', 0xDB},
    {'\\', '|', 0xDC}, {']', '}', 0xDD}, {'\'', '"', 0xDE},
};
// The shifted digits 0 to 9.
constexpr std::string_view kShiftedDigits = ")!@#$%^&*(";

}  // namespace

bool IsModifierKey(KeyCode code)
{
    const KeyCode k = code & key::kKeyMask;
    return (k >= kShiftKey && k <= kMenuKey) || (k >= kLeftWinKey && k <= kAppsKey) ||
           (k >= kLeftShiftKey && k <= kRightMenuKey);
}

bool IsOrdinaryTyping(KeyCode code)
{
    const KeyCode k = code & key::kKeyMask;
    if (k >= key::Function(1) && k <= key::Function(24)) return false;
    const KeyCode modifiers = code & ~key::kKeyMask & ~key::kShift;
    return modifiers == 0 || modifiers == (key::kControl | key::kAlt);
}

KeyCode KeyForCharacter(char32_t c)
{
    if (c >= 'a' && c <= 'z') return KeyCode(c - 'a' + 'A');
    if (c >= 'A' && c <= 'Z') return key::kShift | KeyCode(c);
    if (c >= '0' && c <= '9') return KeyCode(c);
    switch (c) {
        case ' ':
            return key::kSpace;
        case '\t':
            return key::kTab;
        case '\r':
        case '\n':
            return key::kReturn;
        case '\b':
        case 0x7F:
            return key::kBackspace;
        case 0x1B:
            return key::kEscape;
        default:
            break;
    }
    if (const size_t digit = kShiftedDigits.find(char(c));
        c < 0x80 && digit != std::string_view::npos)
        return key::kShift | KeyCode('0' + digit);
    for (const Punctuation& p : kPunctuation) {
        if (c == char32_t(p.plain)) return p.key;
        if (c == char32_t(p.shifted)) return key::kShift | p.key;
    }
    return 0;
}

}  // namespace zel
