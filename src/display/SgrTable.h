// SgrTable: what the codes of an SGR sequence do to the ANSI state, as a table of rules.
// Pure: a parameter list and a format in, the changed format out.
#pragma once

#include <cstdint>
#include <span>

#include "display/TextFormat.h"

namespace zel {

// The fixed colour of ANSI colour index 0-7, normal or bright.
Color AnsiColor(uint32_t index, bool bright);

// Entry `index` of the 256-colour palette: 0-15 the ANSI colours (normal, then bright),
// 16-231 the 6x6x6 cube on the levels 0, 95, 135, 175, 215, 255 (blue varies fastest),
// 232-255 the grey ramp 8, 18, ..., 238.
Color PaletteColor(uint8_t index);

// Applies the codes in order to `state`. True when at least one listed code was seen (the
// caller then makes the state current). Unlisted codes are skipped. The extended colours
// 38/48;5;n and 38/48;2;r;g;b set the text or back colour; a form that is cut short, out of
// range or of an unknown kind consumes its numbers without effect and counts as unlisted.
// A parameter carrying AnsiParser::kSubParameter followed ':'; only 38 and 48 read such
// groups (38:5:n, 38:2:r:g:b, 38:2:space:r:g:b); elsewhere the flag is ignored.
bool ApplySgr(std::span<const uint32_t> params, TextFormat& state);

}  // namespace zel
