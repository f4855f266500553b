// SgrTable: what the codes of an SGR sequence do to the ANSI state, as a table of rules.
// Pure: a parameter list and a format in, the changed format out.
#pragma once

#include <cstdint>
#include <span>

#include "display/TextFormat.h"

namespace zel {

// The fixed colour of ANSI colour index 0-7, normal or bright.
Color AnsiColor(uint32_t index, bool bright);

// Applies the codes in order to `state`. True when at least one listed code was seen (the
// caller then makes the state current). Unlisted codes are skipped; the extended colour
// forms 38/48;5;n and 38/48;2;r;g;b are consumed whole, without effect, so their numbers
// are not read as codes of their own.
bool ApplySgr(std::span<const uint32_t> params, TextFormat& state);

}  // namespace zel
