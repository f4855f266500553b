#include "terminal/TerminalKeys.h"

#include <iterator>

#include "lineedit/KeyInput.h"

#include <iterator>

namespace zel {
namespace {

struct SymbolKey {
    TermKeySym symbol;
    KeyCode code;
    char32_t text;  // what the key types without Control or Alt
};

// The keysyms that have a virtual key; DEL arrives as Backspace (TERMKEY_CANON_DELBS).
constexpr SymbolKey kSymbols[] = {
    {TERMKEY_SYM_BACKSPACE, key::kBackspace, 0},
    {TERMKEY_SYM_TAB, key::kTab, 0},
    {TERMKEY_SYM_ENTER, key::kReturn, 0},
    {TERMKEY_SYM_ESCAPE, key::kEscape, 0},
    {TERMKEY_SYM_SPACE, key::kSpace, U' '},
    {TERMKEY_SYM_DEL, key::kBackspace, 0},
    {TERMKEY_SYM_UP, key::kUp, 0},
    {TERMKEY_SYM_DOWN, key::kDown, 0},
    {TERMKEY_SYM_LEFT, key::kLeft, 0},
    {TERMKEY_SYM_RIGHT, key::kRight, 0},
    {TERMKEY_SYM_BEGIN, key::kClear, 0},
    {TERMKEY_SYM_FIND, key::kHome, 0},
    {TERMKEY_SYM_INSERT, key::kInsert, 0},
    {TERMKEY_SYM_DELETE, key::kDelete, 0},
    {TERMKEY_SYM_SELECT, key::kEnd, 0},
    {TERMKEY_SYM_PAGEUP, key::kPageUp, 0},
    {TERMKEY_SYM_PAGEDOWN, key::kPageDown, 0},
    {TERMKEY_SYM_HOME, key::kHome, 0},
    {TERMKEY_SYM_END, key::kEnd, 0},
    {TERMKEY_SYM_CLEAR, key::kClear, 0},
    {TERMKEY_SYM_HELP, key::kHelp, 0},
    {TERMKEY_SYM_PRINT, key::kPrint, 0},
    {TERMKEY_SYM_KP0, key::kNumpad0, U'0'},
    {TERMKEY_SYM_KP1, key::kNumpad0 + 1, U'1'},
    {TERMKEY_SYM_KP2, key::kNumpad0 + 2, U'2'},
    {TERMKEY_SYM_KP3, key::kNumpad0 + 3, U'3'},
    {TERMKEY_SYM_KP4, key::kNumpad0 + 4, U'4'},
    {TERMKEY_SYM_KP5, key::kNumpad0 + 5, U'5'},
    {TERMKEY_SYM_KP6, key::kNumpad0 + 6, U'6'},
    {TERMKEY_SYM_KP7, key::kNumpad0 + 7, U'7'},
    {TERMKEY_SYM_KP8, key::kNumpad0 + 8, U'8'},
    {TERMKEY_SYM_KP9, key::kNumpad0 + 9, U'9'},
    {TERMKEY_SYM_KPENTER, key::kReturn, 0},
    {TERMKEY_SYM_KPPLUS, key::kAdd, U'+'},
    {TERMKEY_SYM_KPMINUS, key::kSubtract, U'-'},
    {TERMKEY_SYM_KPMULT, key::kMultiply, U'*'},
    {TERMKEY_SYM_KPDIV, key::kDivide, U'/'},
    {TERMKEY_SYM_KPCOMMA, key::kSeparator, U','},
    {TERMKEY_SYM_KPPERIOD, key::kDecimal, U'.'},
    {TERMKEY_SYM_KPEQUALS, 0, U'='},
};

// Terminfo names a function key with modifiers as a higher function key, in groups of
// twelve (xterm and its followers): F13-F24 are Shift with F1-F12, F25-F36 Control, F37-F48
// Control and Shift, F49-F60 Alt, F61-F63 Alt and Shift.
constexpr int kFunctionGroup = 12;
constexpr KeyCode kGroupModifiers[] = {
    0, key::kShift, key::kControl, key::kControl | key::kShift, key::kAlt, key::kAlt | key::kShift};

KeyCode Modifiers(int modifiers)
{
    KeyCode code = 0;
    if (modifiers & TERMKEY_KEYMOD_SHIFT) code |= key::kShift;
    if (modifiers & TERMKEY_KEYMOD_ALT) code |= key::kAlt;
    if (modifiers & TERMKEY_KEYMOD_CTRL) code |= key::kControl;
    return code;
}

// A character's key as a US keyboard types it (lineedit/KeyInput.h). With Control or Alt
// the key is a command and types nothing; such a character without a key of its own is no
// key at all.
std::optional<TerminalKey> DecodeCharacter(char32_t c, int modifiers)
{
    if (c < 0x20 || c == 0x7F || (c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF) return std::nullopt;
    const KeyCode code = KeyForCharacter(c);
    if (!(modifiers & (TERMKEY_KEYMOD_CTRL | TERMKEY_KEYMOD_ALT))) return TerminalKey{code, c};
    if (code == 0) return std::nullopt;
    return TerminalKey{code | Modifiers(modifiers), 0};
}

}  // namespace

std::optional<TerminalKey> DecodeTerminalKey(const TermKeyKey& key)
{
    switch (key.type) {
        case TERMKEY_TYPE_UNICODE:
            return DecodeCharacter(char32_t(key.code.codepoint), key.modifiers);
        case TERMKEY_TYPE_FUNCTION: {
            const int group = (key.code.number - 1) / kFunctionGroup;
            if (key.code.number < 1 || group >= int(std::size(kGroupModifiers)))
                return std::nullopt;
            const int number = (key.code.number - 1) % kFunctionGroup + 1;
            return TerminalKey{
                key::Function(number) | kGroupModifiers[group] | Modifiers(key.modifiers), 0};
        }
        case TERMKEY_TYPE_KEYSYM:
            for (const SymbolKey& s : kSymbols) {
                if (s.symbol != key.code.sym) continue;
                const bool plain = !(key.modifiers & (TERMKEY_KEYMOD_CTRL | TERMKEY_KEYMOD_ALT));
                if (s.code == 0 && !plain) return std::nullopt;
                return TerminalKey{s.code ? s.code | Modifiers(key.modifiers) : 0,
                                   plain ? s.text : 0};
            }
            return std::nullopt;
        default:
            return std::nullopt;
    }
}

}  // namespace zel
