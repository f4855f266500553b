// SgrTable: the SGR rules. Each rule covers a range of codes and says how many parameters
// it consumes, so multi-parameter forms (extended colours) are one more row.
#include "display/SgrTable.h"

#include <algorithm>
#include <array>

#include "display/AnsiParser.h"

namespace zel {

namespace {

constexpr std::array<Color, 8> kNormal{
    MakeColor(0, 0, 0),     MakeColor(192, 0, 0),     MakeColor(0, 144, 0),
    MakeColor(160, 160, 0), MakeColor(32, 32, 255),   MakeColor(192, 0, 192),
    MakeColor(0, 192, 192), MakeColor(192, 192, 192),
};
constexpr std::array<Color, 8> kBright{
    MakeColor(128, 128, 128), MakeColor(255, 64, 64),   MakeColor(16, 255, 16),
    MakeColor(255, 255, 32),  MakeColor(160, 160, 255), MakeColor(255, 64, 255),
    MakeColor(64, 255, 255),  MakeColor(255, 255, 255),
};

constexpr std::array<Color, 256> kPalette = [] {
    std::array<Color, 256> palette{};
    for (size_t i = 0; i < 8; ++i) {
        palette[i] = kNormal[i];
        palette[8 + i] = kBright[i];
    }
    constexpr uint8_t kLevels[] = {0, 95, 135, 175, 215, 255};
    for (size_t i = 0; i < 216; ++i)
        palette[16 + i] = MakeColor(kLevels[i / 36], kLevels[i / 6 % 6], kLevels[i % 6]);
    for (size_t i = 0; i < 24; ++i) {
        const auto grey = uint8_t(8 + 10 * i);
        palette[232 + i] = MakeColor(grey, grey, grey);
    }
    return palette;
}();

constexpr uint32_t kSubParameter = AnsiParser::kSubParameter;
constexpr uint32_t kNumber = ~kSubParameter;

// What a rule did: how many parameters it used, its own code included, and whether that
// counts as a listed code (one that makes the state current).
struct Step {
    size_t used;
    bool listed;
};
constexpr Step kListed{1, true};

// A rule gets its code, without the sub-parameter flag, and the parameters from it on.
using Apply = Step (*)(uint32_t code, std::span<const uint32_t> params, TextFormat& state);

struct SgrRule {
    uint32_t first;
    uint32_t last;
    Apply apply;
};

template <uint32_t kMask, uint32_t kEffects>
Step SetEffect(uint32_t, std::span<const uint32_t>, TextFormat& state)
{
    state.mask |= kMask;
    state.effects |= kEffects;
    return kListed;
}

// The resets of single effects leave the mask bit set, as 0 does for all of them, so an
// effect set and reset gives the same format as one never set.
template <uint32_t kMask, uint32_t kEffects>
Step ClearEffect(uint32_t, std::span<const uint32_t>, TextFormat& state)
{
    state.mask |= kMask;
    state.effects &= ~kEffects;
    return kListed;
}

template <int32_t kWeight>
Step SetWeight(uint32_t, std::span<const uint32_t>, TextFormat& state)
{
    state.mask |= mask::kWeight;
    state.weight = kWeight;
    return kListed;
}

Step Reset(uint32_t, std::span<const uint32_t>, TextFormat& state)
{
    // Height, width and face keep their values.
    state.mask = mask::kAll;
    state.effects = 0;
    state.backColor = kWindowDefaultColor;
    state.textColor = kWindowDefaultColor;
    state.weight = 400;
    return kListed;
}

template <Color TextFormat::*kColor, uint32_t kMask>
void SetColor(TextFormat& state, Color color)
{
    state.mask |= kMask;
    state.*kColor = color;
}

// 30-37, 40-47, 90-97.
template <Color TextFormat::*kColor, uint32_t kMask, uint32_t kFirst, bool kBrightColor>
Step IndexedColor(uint32_t code, std::span<const uint32_t>, TextFormat& state)
{
    SetColor<kColor, kMask>(state, AnsiColor(code - kFirst, kBrightColor));
    return kListed;
}

// 39 and 49: the window's own colour, as 0 leaves it.
template <Color TextFormat::*kColor, uint32_t kMask>
Step DefaultColor(uint32_t, std::span<const uint32_t>, TextFormat& state)
{
    SetColor<kColor, kMask>(state, kWindowDefaultColor);
    return kListed;
}

// 38 and 48. Separated by ';', the form is 5;n or 2;r;g;b; by ':', it is the group of
// sub-parameters that follows the code, and 2 may have a colour-space slot before r:g:b
// (38:2::r:g:b). Whatever the form holds, its numbers are consumed so that none is read
// as a code of its own (the 5 of 38;5;n is no blink); the span may end early, cut by the
// parser's parameter bound, and then the form takes what there is.
template <Color TextFormat::*kColor, uint32_t kMask>
Step ExtendedColor(uint32_t, std::span<const uint32_t> params, TextFormat& state)
{
    std::span<const uint32_t> form = params.subspan(1);
    size_t length = 0;
    const bool colon = !form.empty() && (form[0] & kSubParameter);
    if (colon) {
        while (length < form.size() && (form[length] & kSubParameter)) ++length;
    } else if (!form.empty()) {
        const uint32_t mode = form[0] & kNumber;
        length = std::min<size_t>(mode == 5 ? 2 : mode == 2 ? 4 : 1, form.size());
    }
    const Step unlisted{1 + length, false};
    form = form.first(length);
    if (form.empty()) return unlisted;

    const uint32_t mode = form[0] & kNumber;
    std::span<const uint32_t> numbers = form.subspan(1);
    if (colon && mode == 2 && numbers.size() > 3) numbers = numbers.subspan(1);
    auto number = [&](size_t i) { return numbers[i] & kNumber; };
    if (mode == 5 && numbers.size() >= 1 && number(0) <= 255) {
        SetColor<kColor, kMask>(state, kPalette[number(0)]);
    } else if (mode == 2 && numbers.size() >= 3 && number(0) <= 255 && number(1) <= 255 &&
               number(2) <= 255) {
        SetColor<kColor, kMask>(
            state, MakeColor(uint8_t(number(0)), uint8_t(number(1)), uint8_t(number(2))));
    } else {
        return unlisted;
    }
    return {1 + length, true};
}

constexpr auto kText = &TextFormat::textColor;
constexpr auto kBack = &TextFormat::backColor;

constexpr SgrRule kRules[] = {
    {0, 0, Reset},
    {1, 1, SetWeight<700>},
    {2, 2, SetWeight<400>},
    {4, 4, SetEffect<mask::kUnderline, effect::kUnderline>},
    {5, 5, SetEffect<effect::kBlink, effect::kBlink>},  // blinking "Type 3"
    {7, 7, SetEffect<mask::kInverse, effect::kInverse>},
    {8, 8, SetEffect<mask::kStrikeout, effect::kStrikeout>},
    {22, 22, SetWeight<400>},  // neither bold nor faint
    {23, 23, ClearEffect<mask::kItalic, effect::kItalic>},
    {24, 24, ClearEffect<mask::kUnderline, effect::kUnderline>},
    {25, 25, ClearEffect<effect::kBlink, effect::kBlink>},
    {27, 27, ClearEffect<mask::kInverse, effect::kInverse>},
    {30, 37, IndexedColor<kText, mask::kTextColor, 30, false>},
    {38, 38, ExtendedColor<kText, mask::kTextColor>},
    {39, 39, DefaultColor<kText, mask::kTextColor>},
    {40, 47, IndexedColor<kBack, mask::kBackColor, 40, false>},
    {48, 48, ExtendedColor<kBack, mask::kBackColor>},
    {49, 49, DefaultColor<kBack, mask::kBackColor>},
    {90, 97, IndexedColor<kText, mask::kTextColor, 90, true>},
};

// Code to rule, so each code is one lookup rather than a walk of the rules. Codes beyond
// the table have no rule.
constexpr size_t kCodes = 128;
constexpr std::array<uint8_t, kCodes> kRuleOfCode = [] {
    std::array<uint8_t, kCodes> table{};
    table.fill(uint8_t(std::size(kRules)));
    for (size_t r = 0; r < std::size(kRules); ++r)
        for (uint32_t code = kRules[r].first; code <= kRules[r].last && code < kCodes; ++code)
            table[code] = uint8_t(r);
    return table;
}();

}  // namespace

Color AnsiColor(uint32_t index, bool bright)
{
    return (bright ? kBright : kNormal)[index & 7];
}

Color PaletteColor(uint8_t index)
{
    return kPalette[index];
}

bool ApplySgr(std::span<const uint32_t> params, TextFormat& state)
{
    bool listed = false;
    while (!params.empty()) {
        const uint32_t code = params[0] & kNumber;
        Step step{1, false};
        if (code < kCodes && kRuleOfCode[code] < std::size(kRules))
            step = kRules[kRuleOfCode[code]].apply(code, params, state);
        listed |= step.listed;
        params = params.subspan(std::clamp<size_t>(step.used, 1, params.size()));
    }
    return listed;
}

}  // namespace zel
