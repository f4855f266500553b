// TextFormat: the fixed-size format record shared by every piece of shown text, its text
// form ("textcolor=light_red weight=700 ...") in both directions, the colour names, and the
// rule that resolves a partial format against the format in force. Pure values, no state.
#pragma once

#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

namespace zel {

// Red in the lowest byte, then green, then blue.
using Color = uint32_t;

constexpr Color MakeColor(uint8_t red, uint8_t green, uint8_t blue)
{
    return Color(red) | Color(green) << 8 | Color(blue) << 16;
}

// The window's own default colour; survives resolution and is replaced when drawing.
constexpr Color kWindowDefaultColor = 0xFFFFFFFF;
// Inherit the colour in force; resolution replaces it.
constexpr Color kInheritColor = 0xFFFFFFFE;

namespace mask {
constexpr uint32_t kWeight = 0x1;
constexpr uint32_t kItalic = 0x2;
constexpr uint32_t kUnderline = 0x4;
constexpr uint32_t kStrikeout = 0x8;
constexpr uint32_t kInverse = 0x10;
constexpr uint32_t kXEffect = 0x40;
constexpr uint32_t kFace = 0x80;
constexpr uint32_t kTextColor = 0x100;
constexpr uint32_t kBackColor = 0x200;
constexpr uint32_t kHeight = 0x400;
constexpr uint32_t kWidth = 0x800;
constexpr uint32_t kAll = 0xFFFFFFFF;
}  // namespace mask

namespace effect {
constexpr uint32_t kItalic = 0x2;
constexpr uint32_t kUnderline = 0x4;
constexpr uint32_t kStrikeout = 0x8;
constexpr uint32_t kInverse = 0x10;
constexpr uint32_t kBlink = 0x30000;  // 0 none, 1..3 "Type 1".."Type 3"
constexpr uint32_t kCapitalizing = 0xC0000;
constexpr uint32_t kPosition = 0x300000;
constexpr uint32_t kSpacing = 0xC00000;
constexpr uint32_t kXEffect = 0xF000000;  // 15: the view's default x-effect
}  // namespace effect

struct TextFormat {
    uint32_t mask = 0;
    uint32_t effects = 0;
    int32_t height = 0;
    int32_t width = 0;
    int32_t weight = 0;
    Color backColor = 0;
    Color textColor = 0;
    char face[32] = {};  // NUL-terminated, at most 31 characters

    // The record has no padding, so comparing its words is comparing its fields; this is
    // on the output buffer's hot path, where a field-by-field loop over the face is slow.
    bool operator==(const TextFormat& other) const
    {
        const auto* a = reinterpret_cast<const unsigned char*>(this);
        const auto* b = reinterpret_cast<const unsigned char*>(&other);
        uint64_t difference = 0;
#pragma GCC unroll 7
        for (size_t at = 0; at + 8 <= sizeof *this; at += 8) {
            uint64_t x, y;
            std::memcpy(&x, a + at, 8);
            std::memcpy(&y, b + at, 8);
            difference |= x ^ y;
        }
        uint32_t x, y;
        std::memcpy(&x, a + sizeof *this - 4, 4);
        std::memcpy(&y, b + sizeof *this - 4, 4);
        return (difference | (x ^ y)) == 0;
    }

    std::string_view Face() const;
    void SetFace(std::string_view name);  // cut to 31 characters
};
static_assert(sizeof(TextFormat) == 7 * sizeof(uint32_t) + 32, "TextFormat must not be padded");

// Mask all ones, height 16, weight 400, black back, light grey text, "Courier New".
TextFormat DefaultTextFormat();

// Six hexadecimal digits (RRGGBB) or one of the 22 names, case-insensitive; else black.
Color ParseColor(std::string_view text);
// The first colour name with exactly this value, else "RRGGBB" of the low 24 bits.
std::string ColorToText(Color color);

// Parses items key=value; replaces the whole record. False only when no text is given,
// in which case the record is untouched.
bool ParseFormat(std::optional<std::string_view> text, TextFormat& format);
// Items in fixed order, one space between them; empty for mask 0.
std::string FormatToText(const TextFormat& format);

// The format that results from pushing `pushed` onto a stack whose top is `inForce`.
TextFormat ResolveFormat(const TextFormat& pushed, const TextFormat& inForce);

}  // namespace zel
