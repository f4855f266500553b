// SgrTable: the SGR rules. Each rule covers a range of codes and says how many parameters
// it consumes, so multi-parameter forms (extended colours) slot in as one more row.
#include "display/SgrTable.h"

#include <algorithm>
#include <array>

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

// A rule gets the parameters from its own code on and returns how many it used (at least 1).
using Apply = size_t (*)(std::span<const uint32_t> params, TextFormat& state);

struct SgrRule {
    uint32_t first;
    uint32_t last;
    bool listed;  // counts as a code that makes the state current
    Apply apply;
};

template <uint32_t kMask, uint32_t kEffects>
size_t SetEffect(std::span<const uint32_t>, TextFormat& state)
{
    state.mask |= kMask;
    state.effects |= kEffects;
    return 1;
}

template <int32_t kWeight>
size_t SetWeight(std::span<const uint32_t>, TextFormat& state)
{
    state.mask |= mask::kWeight;
    state.weight = kWeight;
    return 1;
}

size_t Reset(std::span<const uint32_t>, TextFormat& state)
{
    // Height, width and face keep their values.
    state.mask = mask::kAll;
    state.effects = 0;
    state.backColor = kWindowDefaultColor;
    state.textColor = kWindowDefaultColor;
    state.weight = 400;
    return 1;
}

size_t Text(std::span<const uint32_t> params, TextFormat& state)
{
    state.mask |= mask::kTextColor;
    state.textColor = kNormal[params[0] - 30];
    return 1;
}

size_t Back(std::span<const uint32_t> params, TextFormat& state)
{
    state.mask |= mask::kBackColor;
    state.backColor = kNormal[params[0] - 40];
    return 1;
}

size_t BrightText(std::span<const uint32_t> params, TextFormat& state)
{
    state.mask |= mask::kTextColor;
    state.textColor = kBright[params[0] - 90];
    return 1;
}

// 38;5;n and 38;2;r;g;b (48 likewise). Not drawn yet; consumed so that, say, the 5 of
// 38;5;n is not taken for blink. A cut-off form consumes what there is.
size_t ExtendedColor(std::span<const uint32_t> params, TextFormat&)
{
    if (params.size() < 2) return 1;
    size_t length = params[1] == 5 ? 3 : params[1] == 2 ? 5 : 2;
    return std::min(length, params.size());
}

constexpr SgrRule kRules[] = {
    {0, 0, true, Reset},
    {1, 1, true, SetWeight<700>},
    {2, 2, true, SetWeight<400>},
    {4, 4, true, SetEffect<mask::kUnderline, effect::kUnderline>},
    {5, 5, true, SetEffect<effect::kBlink, effect::kBlink>},  // blinking "Type 3"
    {7, 7, true, SetEffect<mask::kInverse, effect::kInverse>},
    {8, 8, true, SetEffect<mask::kStrikeout, effect::kStrikeout>},
    {30, 37, true, Text},
    {38, 38, false, ExtendedColor},
    {40, 47, true, Back},
    {48, 48, false, ExtendedColor},
    {90, 97, true, BrightText},
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

bool ApplySgr(std::span<const uint32_t> params, TextFormat& state)
{
    bool listed = false;
    while (!params.empty()) {
        size_t used = 1;
        if (params[0] < kCodes && kRuleOfCode[params[0]] < std::size(kRules)) {
            const SgrRule& rule = kRules[kRuleOfCode[params[0]]];
            used = rule.apply(params, state);
            listed |= rule.listed;
        }
        params = params.subspan(std::clamp<size_t>(used, 1, params.size()));
    }
    return listed;
}

}  // namespace zel
