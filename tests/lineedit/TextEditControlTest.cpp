// The in-memory edit control: caret moves and deletions over multi-byte text, the kill
// keys and the clipboard, and the capacity of the command buffer.
#include <gtest/gtest.h>

#include <string>

#include "base/Utf8.h"
#include "lineedit/TextEditControl.h"

namespace zel {
namespace {

constexpr KeyCode kShift = key::kShift;
constexpr KeyCode kControl = key::kControl;
constexpr KeyCode kAlt = key::kAlt;

// "aé日本b": a (1 byte), é (2), 日 (3), 本 (3), b (1).
const std::string kMixed =
    "a\xC3\xA9\xE6\x97\xA5\xE6\x9C\xAC"
    "b";

TextEditControl Control(std::string_view text)
{
    TextEditControl edit;
    edit.SetText(text);
    return edit;
}

TEST(TextEditControl, CaretMovesByCharacter)
{
    TextEditControl edit = Control(kMixed);
    EXPECT_EQ(edit.Caret(), kMixed.size());
    const size_t stops[] = {9, 6, 3, 1, 0, 0};
    for (size_t stop : stops) {
        edit.EditKey(key::kLeft);
        EXPECT_EQ(edit.Caret(), stop);
    }
    for (size_t stop : {1, 3, 6, 9, 10, 10}) {
        edit.EditKey(key::kRight);
        EXPECT_EQ(edit.Caret(), size_t(stop));
    }
    edit.EditKey(key::kHome);
    EXPECT_EQ(edit.Caret(), 0u);
    // Shift extends: Shift+End selects everything, Left collapses to the start.
    edit.EditKey(kShift | key::kEnd);
    EXPECT_EQ(edit.SelectionStart(), 0u);
    EXPECT_EQ(edit.SelectionEnd(), kMixed.size());
    edit.EditKey(key::kLeft);
    EXPECT_FALSE(edit.HasSelection());
    EXPECT_EQ(edit.Caret(), 0u);
    edit.EditKey(kShift | key::kRight);
    edit.EditKey(kShift | key::kRight);
    EXPECT_EQ(edit.SelectionEnd(), 3u);
    // Offsets inside a character are moved back to its start.
    edit.Select(4, 8);
    EXPECT_EQ(edit.SelectionStart(), 3u);
    EXPECT_EQ(edit.SelectionEnd(), 6u);
    edit.Select(100, 100);
    EXPECT_EQ(edit.Caret(), kMixed.size());
}

TEST(TextEditControl, DeletionsRemoveWholeCharacters)
{
    TextEditControl edit = Control(kMixed);
    edit.EditKey(key::kLeft);
    edit.EditKey(key::kBackspace);  // 本
    EXPECT_EQ(edit.Value(),
              "a\xC3\xA9\xE6\x97\xA5"
              "b");
    edit.EditKey(key::kHome);
    edit.EditKey(key::kRight);
    edit.EditKey(key::kDelete);  // é
    EXPECT_EQ(edit.Value(),
              "a\xE6\x97\xA5"
              "b");
    edit.EditKey(key::kHome);
    edit.EditKey(key::kBackspace);  // nothing before the caret
    EXPECT_EQ(edit.Value(),
              "a\xE6\x97\xA5"
              "b");
    edit.EditKey(key::kEnd);
    edit.EditKey(key::kDelete);  // nothing after it
    EXPECT_EQ(edit.Value(),
              "a\xE6\x97\xA5"
              "b");
    // With a selection, both delete the selection.
    edit.Select(1, 4);
    edit.EditKey(key::kBackspace);
    EXPECT_EQ(edit.Value(), "ab");
    EXPECT_TRUE(IsValidUtf8(edit.Value()));
}

TEST(TextEditControl, KillKeysFillTheClipboard)
{
    TextEditControl edit = Control("say h\xC3\xA9llo there");
    for (KeyCode code : {kControl | 'K', kControl | 'U', kControl | 'W', kAlt | 'B', kAlt | 'F'})
        EXPECT_TRUE(edit.OwnsKey(code)) << code;
    EXPECT_FALSE(edit.OwnsKey(kControl | 'A'));
    EXPECT_FALSE(edit.EditKey(kControl | 'A'));

    edit.EditKey(kAlt | 'B');  // start of "there"
    EXPECT_EQ(edit.Caret(), 11u);
    edit.EditKey(kAlt | 'B');  // start of "héllo"
    EXPECT_EQ(edit.Caret(), 4u);
    edit.EditKey(kAlt | 'F');  // end of "héllo"
    EXPECT_EQ(edit.Caret(), 10u);
    edit.EditKey(kControl | 'K');
    EXPECT_EQ(edit.Value(), "say h\xC3\xA9llo");
    EXPECT_EQ(edit.Clipboard(), " there");
    edit.EditKey(kControl | 'W');
    EXPECT_EQ(edit.Value(), "say ");
    EXPECT_EQ(edit.Clipboard(), "h\xC3\xA9llo");
    edit.EditKey(kControl | 'U');
    EXPECT_EQ(edit.Value(), "");
    EXPECT_EQ(edit.Clipboard(), "say ");
    edit.Paste();
    edit.Paste();
    EXPECT_EQ(edit.Value(), "say say ");

    edit.Select(0, 3);
    edit.Copy();
    edit.SelectNone();
    edit.Paste();
    EXPECT_EQ(edit.Value(), "say say say");
    edit.Select(0, 4);
    edit.Cut();
    EXPECT_EQ(edit.Value(), "say say");
    EXPECT_EQ(edit.Clipboard(), "say ");
}

TEST(TextEditControl, TextStaysWithinTheCapacity)
{
    // Single bytes and three-byte characters: 4095 characters either way.
    TextEditControl ascii = Control(std::string(5000, 'x'));
    EXPECT_EQ(ascii.Value().size(), kInputCapacity);
    std::string wide;
    for (int i = 0; i < 5000; ++i) wide += "\xE6\x97\xA5";
    TextEditControl edit = Control(wide);
    EXPECT_EQ(CharacterCount(edit.Value()), kInputCapacity);
    EXPECT_TRUE(IsValidUtf8(edit.Value()));

    // A full line takes nothing more, but a replaced selection makes room.
    edit.ReplaceSelection("abc");
    EXPECT_EQ(CharacterCount(edit.Value()), kInputCapacity);
    edit.Select(0, 6);
    edit.ReplaceSelection("abc");
    EXPECT_EQ(CharacterCount(edit.Value()), kInputCapacity);
    EXPECT_TRUE(edit.Value().starts_with("ab\xE6\x97\xA5"));
    EXPECT_EQ(edit.Caret(), 2u);

    // Invalid bytes become replacement characters, never a broken sequence.
    TextEditControl broken = Control("a\xE6\x97");
    EXPECT_TRUE(IsValidUtf8(broken.Value()));
    EXPECT_TRUE(broken.Value().starts_with("a"));
}

}  // namespace
}  // namespace zel
