// Key names in both directions: the table of named virtual keys, the modifier names read
// and printed, and the token rules of the reader.
#include "input/KeyNames.h"

#include <algorithm>
#include <cstdio>

#include "lang/WordReader.h"

namespace zel {
namespace {

using namespace key;

struct NamedKey {
    KeyCode code;
    std::string_view name;
};

// clang-format off
constexpr NamedKey kKeyNames[] = {
    {kBackspace, "BACKSPACE"}, {kTab, "TAB"}, {kClear, "CLEAR"}, {kReturn, "RETURN"},
    {kPause, "PAUSE"}, {kCapsLock, "CAPSLOCK"}, {kEscape, "ESCAPE"}, {kSpace, "SPACE"},
    {kPageUp, "PAGEUP"}, {kPageDown, "PAGEDOWN"}, {kEnd, "END"}, {kHome, "HOME"},
    {kLeft, "LEFT"}, {kUp, "UP"}, {kRight, "RIGHT"}, {kDown, "DOWN"}, {kSelect, "SELECT"},
    {kPrint, "PRINT"}, {kExecute, "EXECUTE"}, {kSnapshot, "SNAPSHOT"}, {kInsert, "INSERT"},
    {kDelete, "DELETE"}, {kHelp, "HELP"},
    {0x60, "NUMPAD0"}, {0x61, "NUMPAD1"}, {0x62, "NUMPAD2"}, {0x63, "NUMPAD3"},
    {0x64, "NUMPAD4"}, {0x65, "NUMPAD5"}, {0x66, "NUMPAD6"}, {0x67, "NUMPAD7"},
    {0x68, "NUMPAD8"}, {0x69, "NUMPAD9"},
    {kMultiply, "MULTIPLY"}, {kAdd, "ADD"}, {kSeparator, "SEPARATOR"}, {kSubtract, "SUBTRACT"},
    {kDecimal, "DECIMAL"}, {kDivide, "DIVIDE"},
    {0x70, "F1"}, {0x71, "F2"}, {0x72, "F3"}, {0x73, "F4"}, {0x74, "F5"}, {0x75, "F6"},
    {0x76, "F7"}, {0x77, "F8"}, {0x78, "F9"}, {0x79, "F10"}, {0x7A, "F11"}, {0x7B, "F12"},
    {0x7C, "F13"}, {0x7D, "F14"}, {0x7E, "F15"}, {0x7F, "F16"}, {0x80, "F17"}, {0x81, "F18"},
    {0x82, "F19"}, {0x83, "F20"}, {0x84, "F21"}, {0x85, "F22"}, {0x86, "F23"}, {0x87, "F24"},
    {kNumLock, "NUMLOCK"}, {kScrollLock, "SCROLLLOCK"},
};
// clang-format on
static_assert(kNumpad0 == 0x60 && Function(24) == 0x87);

// Read only; the side-specific names below are printed but never read.
constexpr NamedKey kModifierNames[] = {
    {kControl, "CONTROL"},      {kControl, "CNTRL"}, {kControl, "CTRL"},
    {kShift, "SHIFT"},          {kAlt, "ALT"},       {kAlt, "MENU"},
    {kControl | kAlt, "ALTGR"}, {kWin, "WIN"},       {kApps, "APPS"},
};

// Printed after "APPS", in this order: the either-side name, else each side that is set.
struct PrintedModifier {
    NamedKey either, left, right;
};
constexpr PrintedModifier kPrintedModifiers[] = {
    {{kControl, "CONTROL"}, {kLeftControl, "Left_CONTROL"}, {kRightControl, "Right_CONTROL"}},
    {{kShift, "SHIFT"}, {kLeftShift, "Left_SHIFT"}, {kRightShift, "Right_SHIFT"}},
    {{kAlt, "ALT"}, {kLeftAlt, "Left_ALT"}, {kRightAlt, "Right_ALT"}},
};

struct PrefixSymbol {
    char symbol;
    KeyCode bits;
};
constexpr PrefixSymbol kPrefixSymbols[] = {{'^', kControl}, {'#', kShift}, {'@', kAlt}};

template <size_t N>
const NamedKey* FindName(const NamedKey (&table)[N], std::string_view name)
{
    const auto* it = std::find_if(std::begin(table), std::end(table), [name](const NamedKey& k) {
        return EqualsIgnoringCase(k.name, name);
    });
    return it == std::end(table) ? nullptr : it;
}

int HexValue(char c)
{
    if (IsDigit(c)) return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

char ToUpper(char c)
{
    return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c;
}

// The hexadecimal digits at the start of `text`, after an optional "0x", read as strtoul
// reads them and saturated at 32 bits. False when there is no digit.
bool ReadHex(std::string_view text, KeyCode& value)
{
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X') &&
        HexValue(text[2]) >= 0)
        text.remove_prefix(2);
    uint64_t v = 0;
    size_t i = 0;
    for (; i < text.size() && HexValue(text[i]) >= 0; ++i)
        v = std::min<uint64_t>(v * 16 + uint64_t(HexValue(text[i])), 0xFFFFFFFF);
    value = KeyCode(v);
    return i > 0;
}

// One token between separators; false when it reads as nothing.
bool ReadToken(std::string_view token, KeyCode& value)
{
    value = 0;
    std::string word;
    for (char c : token) {
        const auto* prefix = std::find_if(std::begin(kPrefixSymbols), std::end(kPrefixSymbols),
                                          [c](const PrefixSymbol& p) { return p.symbol == c; });
        if (prefix != std::end(kPrefixSymbols))
            value |= prefix->bits;
        else
            word += c;
    }
    KeyCode code = 0;
    if (const NamedKey* named = FindName(kKeyNames, word)) {
        code = named->code;
    } else if (const NamedKey* modifier = FindName(kModifierNames, word)) {
        code = modifier->code;
    } else if (word.size() == 1 && (IsLetter(word[0]) || IsDigit(word[0]))) {
        code = KeyCode(static_cast<unsigned char>(ToUpper(word[0])));
    } else if (word.size() >= 2 && HexValue(word[0]) >= 0) {
        ReadHex(word, code);  // "BACK" reads as 0xBAC
    } else if (word.empty() || word[0] != '[' || !ReadHex(word.substr(1), code)) {
        return false;
    }
    value |= code;
    return true;
}

}  // namespace

std::string KeyName(KeyCode code)
{
    std::string name;
    auto add = [&name](std::string_view part) {
        name += part;
        name += '+';
    };
    if (code & kApps) add("APPS");
    for (const PrintedModifier& m : kPrintedModifiers) {
        if (code & m.either.code) {
            add(m.either.name);
            continue;
        }
        if (code & m.left.code) add(m.left.name);
        if (code & m.right.code) add(m.right.name);
    }
    const KeyCode k = code & kKeyMask;
    const auto* named = std::find_if(std::begin(kKeyNames), std::end(kKeyNames),
                                     [k](const NamedKey& n) { return n.code == k; });
    if (named != std::end(kKeyNames)) {
        name += named->name;
    } else if (k < 0x80 && (IsLetter(char(k)) || IsDigit(char(k)))) {
        name += ToUpper(char(k));
    } else {
        char hex[8];
        std::snprintf(hex, sizeof hex, "[%02X]", unsigned(k & 0xFF));
        name += hex;
    }
    return name;
}

KeyCode ParseKeyName(std::string_view text)
{
    if (text.empty()) return 0;
    KeyCode result = 0;
    for (;;) {
        const size_t separator = text.find_first_of("+-");
        KeyCode token = 0;
        if (!ReadToken(text.substr(0, separator), token)) return 0;
        result |= token;
        if (separator == std::string_view::npos) return result;
        text.remove_prefix(separator + 1);
    }
}

}  // namespace zel
