#include <gtest/gtest.h>

#include "base/Utf8.h"

namespace zel {
namespace {

TEST(Utf8, WideCharactersTakeTwoCellsAndCombiningMarksNone)
{
    EXPECT_EQ(CellCount("abc"), 3u);
    EXPECT_EQ(CellCount("\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E"), 6u);  // 日本語
    EXPECT_EQ(CellCount("e\xCC\x81"), 1u);                             // e + combining acute
    EXPECT_EQ(CellCount("\xEF\xBC\xA1"), 2u);                          // fullwidth A
    EXPECT_EQ(CellCount("\xE2\x82\xAC"), 1u);                          // euro sign
    EXPECT_EQ(CellWidth(0x1B), 1);                                     // controls show as a dot
}

TEST(Utf8, CellsAndBytesConvertAcrossWideCharacters)
{
    const std::string_view text =
        "a\xE6\x97\xA5"
        "b";  // a日b: cells 0, 1-2, 3
    EXPECT_EQ(ByteAtCell(text, 0), 0u);
    EXPECT_EQ(ByteAtCell(text, 1), 1u);
    EXPECT_EQ(ByteAtCell(text, 2), 1u);  // the right half of 日
    EXPECT_EQ(ByteAtCell(text, 3), 4u);
    EXPECT_EQ(ByteAtCell(text, 9), text.size());
    EXPECT_EQ(CellAtByte(text, 4), 3u);
    EXPECT_EQ(NextCharacter(text, 1), 4u);
    EXPECT_EQ(PreviousCharacter(text, 4), 1u);
    EXPECT_EQ(PreviousCharacter(text, 1), 0u);
    EXPECT_EQ(CharacterCount(text), 3u);
}

TEST(Utf8, InvalidBytesNeverLoseThePlace)
{
    const std::string_view bad =
        "\xE6\x97"
        "a\xFF\x80"
        "b";
    size_t count = 0;
    for (size_t at = 0; at < bad.size(); at = NextCharacter(bad, at)) ++count;
    EXPECT_EQ(count, 5u);  // the cut 日, a, FF, 80, b
    EXPECT_FALSE(IsValidUtf8(bad));
    EXPECT_TRUE(IsValidUtf8(ValidUtf8(bad)));
    EXPECT_EQ(PreviousCharacter(bad, bad.size()), bad.size() - 1);
}

}  // namespace
}  // namespace zel
