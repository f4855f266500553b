// TextFormat: colour names and the text forms of colours and formats, and format
// resolution. Every function here is a pure function of its arguments.
#include "display/TextFormat.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstdio>
#include <cstring>

#include "lang/WordReader.h"

namespace zel {

namespace {

struct NamedColor {
    std::string_view name;
    Color color;
};

// The writer uses the first row that matches, so the order is part of the text form.
constexpr std::array<NamedColor, 22> kColorNames{{
    {"black", MakeColor(0, 0, 0)},
    {"dark_gray", MakeColor(128, 128, 128)},
    {"light_gray", MakeColor(192, 192, 192)},
    {"white", MakeColor(255, 255, 255)},
    {"red", MakeColor(255, 0, 0)},
    {"green", MakeColor(0, 255, 0)},
    {"yellow", MakeColor(255, 255, 0)},
    {"blue", MakeColor(0, 0, 255)},
    {"magenta", MakeColor(255, 0, 255)},
    {"cyan", MakeColor(0, 255, 255)},
    {"dark_red", MakeColor(128, 0, 0)},
    {"dark_green", MakeColor(0, 128, 0)},
    {"dark_yellow", MakeColor(128, 128, 0)},
    {"dark_blue", MakeColor(0, 0, 128)},
    {"dark_magenta", MakeColor(128, 0, 128)},
    {"dark_cyan", MakeColor(0, 128, 128)},
    {"light_red", MakeColor(255, 128, 128)},
    {"light_green", MakeColor(128, 255, 128)},
    {"light_yellow", MakeColor(255, 255, 128)},
    {"light_blue", MakeColor(128, 128, 255)},
    {"light_magenta", MakeColor(255, 128, 255)},
    {"light_cyan", MakeColor(128, 255, 255)},
}};

// Keys and values of the format text are cut here, like the fixed buffers they came from.
constexpr size_t kItemCapacity = 511;

int HexValue(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

std::string_view TextFormat::Face() const
{
    return std::string_view(face, strnlen(face, sizeof face));
}

void TextFormat::SetFace(std::string_view name)
{
    // Zero the tail too: formats are compared and hashed as whole records.
    std::memset(face, 0, sizeof face);
    name = name.substr(0, std::min(name.find('\0'), sizeof face - 1));
    if (!name.empty()) std::memcpy(face, name.data(), name.size());
}

TextFormat DefaultTextFormat()
{
    TextFormat f;
    f.mask = mask::kAll;
    f.effects = 0;
    f.height = 16;
    f.width = 0;
    f.weight = 400;
    f.backColor = MakeColor(0, 0, 0);
    f.textColor = MakeColor(192, 192, 192);
    f.SetFace("Courier New");
    return f;
}

Color ParseColor(std::string_view text)
{
    if (text.size() == 6 &&
        std::all_of(text.begin(), text.end(), [](char c) { return HexValue(c) >= 0; })) {
        auto pair = [&](size_t i) {
            return uint8_t(HexValue(text[i]) * 16 + HexValue(text[i + 1]));
        };
        return MakeColor(pair(0), pair(2), pair(4));
    }
    for (const auto& named : kColorNames)
        if (EqualsIgnoringCase(text, named.name)) return named.color;
    return MakeColor(0, 0, 0);
}

std::string ColorToText(Color color)
{
    for (const auto& named : kColorNames)
        if (named.color == color) return std::string(named.name);
    char text[8];
    std::snprintf(text, sizeof text, "%02X%02X%02X", unsigned(color & 0xFF),
                  unsigned(color >> 8 & 0xFF), unsigned(color >> 16 & 0xFF));
    return text;
}

bool ParseFormat(std::optional<std::string_view> text, TextFormat& format)
{
    if (!text) return false;
    format = TextFormat{};
    std::string_view rest = *text;
    auto skipSpace = [&] {
        while (!rest.empty() && IsWhiteSpace(rest.front())) rest.remove_prefix(1);
    };
    while (true) {
        skipSpace();
        if (rest.empty()) break;
        // The key runs to the "=", spaces included: "height =5" has the key "height ".
        size_t equals = rest.find('=');
        if (equals == std::string_view::npos) break;
        std::string_view key = rest.substr(0, std::min(equals, kItemCapacity));
        rest.remove_prefix(equals + 1);
        skipSpace();
        if (rest.empty()) break;
        std::string_view value;
        if (rest.front() == '"') {
            rest.remove_prefix(1);
            size_t close = rest.find('"');
            value = rest.substr(0, close);
            rest.remove_prefix(close == std::string_view::npos ? rest.size() : close + 1);
        } else {
            size_t end = std::find_if(rest.begin(), rest.end(), IsWhiteSpace) - rest.begin();
            value = rest.substr(0, end);
            rest.remove_prefix(end);
        }
        value = value.substr(0, kItemCapacity);

        // An effect once turned on stays on, even if the key comes again with 0.
        auto effectItem = [&](uint32_t bit) {
            format.mask |= bit;
            if (ParseNumber(value) != 0) format.effects |= bit;
        };
        if (EqualsIgnoringCase(key, "backcolor")) {
            format.mask |= mask::kBackColor;
            format.backColor = ParseColor(value);
        } else if (EqualsIgnoringCase(key, "textcolor")) {
            format.mask |= mask::kTextColor;
            format.textColor = ParseColor(value);
        } else if (EqualsIgnoringCase(key, "face")) {
            format.mask |= mask::kFace;
            format.SetFace(value);
        } else if (EqualsIgnoringCase(key, "height")) {
            format.mask |= mask::kHeight;
            format.height = ParseNumber(value);
        } else if (EqualsIgnoringCase(key, "width")) {
            format.mask |= mask::kWidth;
            format.width = ParseNumber(value);
        } else if (EqualsIgnoringCase(key, "weight")) {
            format.mask |= mask::kWeight;
            format.weight = ParseNumber(value);
        } else if (EqualsIgnoringCase(key, "italic")) {
            effectItem(effect::kItalic);
        } else if (EqualsIgnoringCase(key, "strikeout")) {
            effectItem(effect::kStrikeout);
        } else if (EqualsIgnoringCase(key, "underline")) {
            effectItem(effect::kUnderline);
        }
    }
    return true;
}

std::string FormatToText(const TextFormat& format)
{
    std::string text;
    auto item = [&](uint32_t bit, std::string_view key, std::string_view value) {
        if (!(format.mask & bit)) return;
        text.append(key).append("=").append(value).append(" ");
    };
    auto flag = [&](uint32_t bit) { return format.effects & bit ? "1" : "0"; };
    item(mask::kBackColor, "backcolor", ColorToText(format.backColor));
    item(mask::kTextColor, "textcolor", ColorToText(format.textColor));
    item(mask::kFace, "face", "\"" + std::string(format.Face()) + "\"");
    item(mask::kHeight, "height", std::to_string(format.height));
    item(mask::kWidth, "width", std::to_string(format.width));
    item(mask::kWeight, "weight", std::to_string(format.weight));
    item(mask::kItalic, "italic", flag(effect::kItalic));
    item(mask::kStrikeout, "strikeout", flag(effect::kStrikeout));
    item(mask::kUnderline, "underline", flag(effect::kUnderline));
    if (!text.empty()) text.pop_back();
    return text;
}

TextFormat ResolveFormat(const TextFormat& pushed, const TextFormat& inForce)
{
    TextFormat result = pushed;
    result.face[sizeof result.face - 1] = '\0';  // even if the caller filled all 32
    // A format that sets everything (the ANSI state always does) inherits nothing.
    if (pushed.mask == mask::kAll && pushed.backColor != kInheritColor &&
        pushed.textColor != kInheritColor)
        return result;
    for (uint32_t bit : {effect::kItalic, effect::kUnderline, effect::kStrikeout})
        if (!(pushed.mask & bit))
            result.effects = (result.effects & ~bit) | (inForce.effects & bit);
    // The multi-bit fields are gated by their own bits in the mask.
    for (uint32_t field : {effect::kBlink, effect::kCapitalizing, effect::kPosition,
                           effect::kSpacing, effect::kXEffect})
        if (!(pushed.mask & field))
            result.effects = (result.effects & ~field) | (inForce.effects & field);

    auto color = [](uint32_t bit, uint32_t maskBits, Color pushedColor, Color previous) {
        if ((maskBits & bit) && pushedColor == kWindowDefaultColor) return pushedColor;
        if (!(maskBits & bit) || pushedColor == kInheritColor) return previous;
        return pushedColor;
    };
    result.backColor = color(mask::kBackColor, pushed.mask, pushed.backColor, inForce.backColor);
    result.textColor = color(mask::kTextColor, pushed.mask, pushed.textColor, inForce.textColor);
    if (!(pushed.mask & mask::kWeight)) result.weight = inForce.weight;
    if (!(pushed.mask & mask::kHeight)) result.height = inForce.height;
    if (!(pushed.mask & mask::kWidth)) result.width = inForce.width;
    // The face is never inherited: views draw in their own face anyway. A set face is
    // copied as it is (SetFace keeps the bytes after the name zero, so equal formats
    // compare equal); only the terminator is forced.
    if (!(pushed.mask & mask::kFace)) std::memset(result.face, 0, sizeof result.face);
    result.mask = mask::kAll;
    return result;
}

}  // namespace zel
