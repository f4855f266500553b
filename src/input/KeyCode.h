// The key code: a 32-bit value holding a key and the modifier keys held with it. The low 16
// bits are a Windows virtual-key value (letters and digits are their upper-case character
// codes), so key names and settings files mean the same on every platform; the input line
// maps its toolkit's keys to these values. Names of key codes are in KeyNames.h.
#pragma once

#include <cstdint>

namespace zel {

using KeyCode = uint32_t;

namespace key {

constexpr KeyCode kKeyMask = 0xFFFF;

// Modifier bits. The keyboard path sets only the either-side bits (Shift, Control, Alt) and
// Apps; the side-specific bits and Win only arise from names or hexadecimal values typed.
constexpr KeyCode kLeftShift = 0x10000;
constexpr KeyCode kRightShift = 0x20000;
constexpr KeyCode kShift = 0x40000;
constexpr KeyCode kLeftControl = 0x80000;
constexpr KeyCode kRightControl = 0x100000;
constexpr KeyCode kControl = 0x200000;
constexpr KeyCode kLeftAlt = 0x400000;
constexpr KeyCode kRightAlt = 0x800000;
constexpr KeyCode kAlt = 0x1000000;
constexpr KeyCode kWin = 0x8000000;
constexpr KeyCode kApps = 0x10000000;

// Virtual-key values of the named keys.
constexpr KeyCode kBackspace = 0x08;
constexpr KeyCode kTab = 0x09;
constexpr KeyCode kClear = 0x0C;
constexpr KeyCode kReturn = 0x0D;
constexpr KeyCode kPause = 0x13;
constexpr KeyCode kCapsLock = 0x14;
constexpr KeyCode kEscape = 0x1B;
constexpr KeyCode kSpace = 0x20;
constexpr KeyCode kPageUp = 0x21;
constexpr KeyCode kPageDown = 0x22;
constexpr KeyCode kEnd = 0x23;
constexpr KeyCode kHome = 0x24;
constexpr KeyCode kLeft = 0x25;
constexpr KeyCode kUp = 0x26;
constexpr KeyCode kRight = 0x27;
constexpr KeyCode kDown = 0x28;
constexpr KeyCode kSelect = 0x29;
constexpr KeyCode kPrint = 0x2A;
constexpr KeyCode kExecute = 0x2B;
constexpr KeyCode kSnapshot = 0x2C;
constexpr KeyCode kInsert = 0x2D;
constexpr KeyCode kDelete = 0x2E;
constexpr KeyCode kHelp = 0x2F;
constexpr KeyCode kNumpad0 = 0x60;  // to kNumpad0 + 9
constexpr KeyCode kMultiply = 0x6A;
constexpr KeyCode kAdd = 0x6B;
constexpr KeyCode kSeparator = 0x6C;
constexpr KeyCode kSubtract = 0x6D;
constexpr KeyCode kDecimal = 0x6E;
constexpr KeyCode kDivide = 0x6F;
constexpr KeyCode kF1 = 0x70;  // to kF1 + 23 (F24)
constexpr KeyCode kNumLock = 0x90;
constexpr KeyCode kScrollLock = 0x91;

constexpr KeyCode Function(int n)
{
    return kF1 + KeyCode(n - 1);
}

}  // namespace key
}  // namespace zel
