// Key codes from the keyboard: the helpers both hosts use to turn what their toolkit reports
// into the client's key codes (input/KeyCode.h), and the classes of keys the input line
// tells apart.
#pragma once

#include "input/KeyCode.h"

namespace zel {

// The modifier bits the keyboard path sets: Shift, Control, Alt (either side) and Apps.
constexpr KeyCode kKeyboardModifiers = key::kShift | key::kControl | key::kAlt | key::kApps;

// A press of Shift, Control, Alt, Apps or Win by itself (the key part names a modifier key).
bool IsModifierKey(KeyCode code);
// A key the edit control receives as typing when it is not bound: no modifier, Shift only,
// or Control with Alt (AltGr), and not F1 to F24. Key code 0 (a character without a key of
// its own) is typing.
bool IsOrdinaryTyping(KeyCode code);

// The key code of a typed character on a US keyboard: letters and digits their upper-case
// character codes, punctuation its virtual key, with Shift where that layout needs it
// ('A' -> SHIFT+A, '!' -> SHIFT+1, ';' -> [BA]); space, tab, carriage return, line feed
// (RETURN), backspace and escape their keys. 0 for any other character (é, 日): the host
// presses it as key code 0, which is never bound, and inserts its text.
KeyCode KeyForCharacter(char32_t c);

}  // namespace zel
