// Key codes as text and back: the names the `bind` command reads and prints and that
// settings files store. Not every printed name reads back: the side-specific modifier names
// are printed but not read, and the Win bit is not printed at all.
#pragma once

#include <string>
#include <string_view>

#include "input/KeyCode.h"

namespace zel {

// "APPS", then Control, Shift and Alt (either side, else the sides), then the key, joined by
// "+": CONTROL+ALT+A. A key without a name prints as its character when it is a letter or
// digit, else as "[%02X]" of its low eight bits.
std::string KeyName(KeyCode code);

// Reads a key name, case-insensitively: tokens split at "+" and "-", each a key name, a
// modifier name, one letter or digit, a hexadecimal number, or "[" and a hexadecimal number;
// "^", "#" and "@" inside a token add Control, Shift and Alt. The result is the or of all
// tokens; 0 means no text or an unreadable token.
KeyCode ParseKeyName(std::string_view text);

}  // namespace zel
