// TerminalKeys: a key that libtermkey decoded from the terminal's bytes, as the client's key
// code (input/KeyCode.h: the Windows virtual-key value and modifier bits that bindings and
// settings files use) and the character it types, so that a binding such as F5 means the
// same in the window and on a terminal. The terminal describes F1 to F12 with Shift,
// Control or Alt as F13 and up (terminfo's convention); they come back as F1 to F12 with
// those modifiers, so F13 to F24 themselves cannot be told apart from Shift with F1 to F12.
#pragma once

#include <termkey.h>

#include <optional>

#include "input/KeyCode.h"

namespace zel {

struct TerminalKey {
    KeyCode code = 0;   // key and modifiers; 0 when the character has no virtual key
    char32_t text = 0;  // the character typed; 0 for a key that types none
    bool operator==(const TerminalKey&) const = default;
};

// Nothing for what is no key: mouse reports, cursor positions, mode reports, unknown
// control sequences and keys with no virtual-key value.
std::optional<TerminalKey> DecodeTerminalKey(const TermKeyKey& key);

}  // namespace zel
