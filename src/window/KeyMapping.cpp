#include "window/KeyMapping.h"

#include <utility>

namespace zel {
namespace {

using namespace key;

// Windows values of keys KeyCode.h does not name.
constexpr KeyCode kShiftKey = 0x10;
constexpr KeyCode kControlKey = 0x11;
constexpr KeyCode kAltKey = 0x12;
constexpr KeyCode kLeftWin = 0x5B;
constexpr KeyCode kAppsKey = 0x5D;
constexpr KeyCode kOemSemicolon = 0xBA;
constexpr KeyCode kOemPlus = 0xBB;
constexpr KeyCode kOemComma = 0xBC;
constexpr KeyCode kOemMinus = 0xBD;
constexpr KeyCode kOemPeriod = 0xBE;
constexpr KeyCode kOemSlash = 0xBF;
constexpr KeyCode kOemTilde = 0xC0;
constexpr KeyCode kOemOpenBracket = 0xDB;
constexpr KeyCode kOemBackslash = 0xDC;
constexpr KeyCode kOemCloseBracket = 0xDD;
constexpr KeyCode kOemQuote = 0xDE;

// Keys whose value does not follow from a range.
constexpr std::pair<int, KeyCode> kKeys[] = {
    {Qt::Key_Backspace, kBackspace},
    {Qt::Key_Tab, kTab},
    {Qt::Key_Backtab, kTab},  // Shift+Tab; the Shift bit comes from the modifiers
    {Qt::Key_Clear, kClear},
    {Qt::Key_Return, kReturn},
    {Qt::Key_Enter, kReturn},
    {Qt::Key_Pause, kPause},
    {Qt::Key_CapsLock, kCapsLock},
    {Qt::Key_Escape, kEscape},
    {Qt::Key_Space, kSpace},
    {Qt::Key_PageUp, kPageUp},
    {Qt::Key_PageDown, kPageDown},
    {Qt::Key_End, kEnd},
    {Qt::Key_Home, kHome},
    {Qt::Key_Left, kLeft},
    {Qt::Key_Up, kUp},
    {Qt::Key_Right, kRight},
    {Qt::Key_Down, kDown},
    {Qt::Key_Select, kSelect},
    {Qt::Key_Printer, kPrint},
    {Qt::Key_Execute, kExecute},
    {Qt::Key_Print, kSnapshot},
    {Qt::Key_Insert, kInsert},
    {Qt::Key_Delete, kDelete},
    {Qt::Key_Help, kHelp},
    {Qt::Key_NumLock, kNumLock},
    {Qt::Key_ScrollLock, kScrollLock},
    {Qt::Key_Shift, kShiftKey},
    {Qt::Key_Control, kControlKey},
    {Qt::Key_Alt, kAltKey},
    {Qt::Key_AltGr, kAltKey},
    {Qt::Key_Meta, kLeftWin},
    {Qt::Key_Super_L, kLeftWin},
    {Qt::Key_Super_R, kLeftWin + 1},
    {Qt::Key_Menu, kAppsKey},
    // Shifted digits of a US keyboard.
    {Qt::Key_Exclam, '1'},
    {Qt::Key_At, '2'},
    {Qt::Key_NumberSign, '3'},
    {Qt::Key_Dollar, '4'},
    {Qt::Key_Percent, '5'},
    {Qt::Key_AsciiCircum, '6'},
    {Qt::Key_Ampersand, '7'},
    {Qt::Key_Asterisk, '8'},
    {Qt::Key_ParenLeft, '9'},
    {Qt::Key_ParenRight, '0'},
    // Punctuation, either shift state.
    {Qt::Key_Semicolon, kOemSemicolon},
    {Qt::Key_Colon, kOemSemicolon},
    {Qt::Key_Equal, kOemPlus},
    {Qt::Key_Plus, kOemPlus},
    {Qt::Key_Comma, kOemComma},
    {Qt::Key_Less, kOemComma},
    {Qt::Key_Minus, kOemMinus},
    {Qt::Key_Underscore, kOemMinus},
    {Qt::Key_Period, kOemPeriod},
    {Qt::Key_Greater, kOemPeriod},
    {Qt::Key_Slash, kOemSlash},
    {Qt::Key_Question, kOemSlash},
    {Qt::Key_QuoteLeft, kOemTilde},
    {Qt::Key_AsciiTilde, kOemTilde},
    {Qt::Key_BracketLeft, kOemOpenBracket},
    {Qt::Key_BraceLeft, kOemOpenBracket},
    {Qt::Key_Backslash, kOemBackslash},
    {Qt::Key_Bar, kOemBackslash},
    {Qt::Key_BracketRight, kOemCloseBracket},
    {Qt::Key_BraceRight, kOemCloseBracket},
    {Qt::Key_Apostrophe, kOemQuote},
};

// The keypad's own values; its navigation keys (number lock off) keep the ordinary ones.
KeyCode KeypadKey(int qtKey)
{
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) return kNumpad0 + KeyCode(qtKey - Qt::Key_0);
    switch (qtKey) {
        case Qt::Key_Asterisk:
            return kMultiply;
        case Qt::Key_Plus:
            return kAdd;
        case Qt::Key_Minus:
            return kSubtract;
        case Qt::Key_Period:
        case Qt::Key_Comma:
            return kDecimal;
        case Qt::Key_Slash:
            return kDivide;
        default:
            return 0;
    }
}

}  // namespace

KeyCode VirtualKey(int qtKey, bool keypad)
{
    if (keypad)
        if (KeyCode code = KeypadKey(qtKey)) return code;
    if ((qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) || (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9))
        return KeyCode(qtKey);  // Qt uses the upper-case character codes, as Windows does
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24) return Function(qtKey - Qt::Key_F1 + 1);
    for (const auto& [qt, code] : kKeys)
        if (qt == qtKey) return code;
    return 0;
}

KeyCode KeyCodeOf(int qtKey, Qt::KeyboardModifiers modifiers, bool appsDown)
{
    KeyCode code = VirtualKey(qtKey, modifiers.testFlag(Qt::KeypadModifier));
    if (code == 0) return 0;
    if (modifiers.testFlag(Qt::ShiftModifier)) code |= kShift;
    if (modifiers.testFlag(Qt::ControlModifier)) code |= kControl;
    if (modifiers.testFlag(Qt::AltModifier)) code |= kAlt;
    if (appsDown) code |= kApps;
    return code;
}

}  // namespace zel
