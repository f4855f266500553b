// How a text field is written into a settings file so that reading the line back gives the
// text again: inside a group, through the substitution every command line gets.
#pragma once

#include <string>
#include <string_view>

#include "engine/SpecialChars.h"

namespace zel {

// The escape, begin-argument and end-argument characters each get the escape character in
// front, the variable character is doubled. At most kTextCapacity characters: a pair that no
// longer fits is left out whole, so a cut never leaves a lone escape character that would
// swallow the group's closing character.
std::string EscapeSettingsField(const SpecialChars& chars, std::string_view text);

}  // namespace zel
