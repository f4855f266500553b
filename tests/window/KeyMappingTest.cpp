// Qt key presses as the client's key codes: the same names as in the terminal.
#include <gtest/gtest.h>

#include "input/KeyNames.h"
#include "window/KeyMapping.h"

namespace zel {
namespace {

TEST(KeyMapping, PressesGiveTheKeyNamesOfBindings)
{
    const struct {
        int key;
        Qt::KeyboardModifiers modifiers;
        const char* name;
    } cases[] = {
        {Qt::Key_Return, Qt::NoModifier, "RETURN"},
        {Qt::Key_Enter, Qt::KeypadModifier, "RETURN"},
        {Qt::Key_Return, Qt::ControlModifier, "CONTROL+RETURN"},
        {Qt::Key_Up, Qt::NoModifier, "UP"},
        {Qt::Key_Up, Qt::ControlModifier, "CONTROL+UP"},
        {Qt::Key_Down, Qt::AltModifier, "ALT+DOWN"},
        {Qt::Key_Backtab, Qt::ShiftModifier, "SHIFT+TAB"},
        {Qt::Key_A, Qt::ControlModifier, "CONTROL+A"},
        {Qt::Key_F4, Qt::AltModifier, "ALT+F4"},
        {Qt::Key_F24, Qt::NoModifier, "F24"},
        {Qt::Key_ScrollLock, Qt::NoModifier, "SCROLLLOCK"},
        {Qt::Key_Insert, Qt::ShiftModifier, "SHIFT+INSERT"},
        {Qt::Key_Exclam, Qt::ShiftModifier | Qt::AltModifier, "SHIFT+ALT+1"},
        {Qt::Key_5, Qt::KeypadModifier, "NUMPAD5"},
        {Qt::Key_Asterisk, Qt::KeypadModifier, "MULTIPLY"},
        {Qt::Key_Home, Qt::KeypadModifier, "HOME"},
        {Qt::Key_Semicolon, Qt::ControlModifier, "CONTROL+[BA]"},
        {Qt::Key_Tab, Qt::ControlModifier, "CONTROL+TAB"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(KeyName(KeyCodeOf(c.key, c.modifiers, false)), c.name) << c.name;
    EXPECT_EQ(KeyCodeOf(Qt::Key_A, Qt::NoModifier, true), key::kApps | 'A');
}

TEST(KeyMapping, KeysWithoutAVirtualKeyGiveZero)
{
    EXPECT_EQ(KeyCodeOf(Qt::Key_Adiaeresis, Qt::NoModifier, false), 0u);
    EXPECT_EQ(KeyCodeOf(Qt::Key_VolumeUp, Qt::ControlModifier, false), 0u);
}

}  // namespace
}  // namespace zel
