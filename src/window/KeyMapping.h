// KeyMapping: a Qt key press as the client's key code (input/KeyCode.h), so that a binding
// means the same key in the window and in the terminal. The key part is the Windows
// virtual-key value of the key as it sits on a US keyboard: shifted symbols give their
// unshifted key (Shift+1 is "1" with Shift), keypad keys their NUMPAD codes.
#pragma once

#include <Qt>

#include "input/KeyCode.h"

namespace zel {

// The virtual-key value of a Qt key; `keypad` when the key came from the keypad. 0 for a
// key without one (letters of other alphabets, media keys).
KeyCode VirtualKey(int qtKey, bool keypad);

// The key code of a press: the virtual key with the Shift, Control, Alt and Applications
// bits of the modifiers held (`appsDown`: the Applications key is held, which Qt does not
// report as a modifier). 0 when the key has no virtual-key value.
KeyCode KeyCodeOf(int qtKey, Qt::KeyboardModifiers modifiers, bool appsDown);

}  // namespace zel
