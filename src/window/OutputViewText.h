// The text side of the output views: a line's UTF-8 bytes as the views show them (control
// characters as a middle dot), cell ranges of a line as bytes, words, and plain-text search.
// No widgets and no locks: callers hold OutputLock while they read a line.
#pragma once

#include <QString>
#include <cstdint>
#include <optional>
#include <string_view>

namespace zel {

// U+00B7, shown for every control character.
constexpr char16_t kControlDot = 0x00B7;

// True for the characters the views show as a dot: C0 controls, DEL and C1 controls.
constexpr bool IsControlCharacter(char32_t c)
{
    return c < 0x20 || (c >= 0x7F && c < 0xA0);
}

// The text as shown, each control character replaced by the dot.
QString DisplayText(std::string_view utf8);

// The bytes of `text` that cover cells [from, to): from the character covering `from` up to
// the character covering `to` (not included). Empty when from >= to.
std::string_view CellSlice(std::string_view text, uint32_t from, uint32_t to);

// The word around the character covering `cell`: the longest run of characters above the
// space (and not control characters). Cells [start, end); none on a space or past the end.
struct CellRange {
    uint32_t start = 0;
    uint32_t end = 0;
};
std::optional<CellRange> WordAtCell(std::string_view text, uint32_t cell);

// The byte offset of `needle` in `haystack`: forward, the first at or after `from`;
// backward, the last that starts before `from`. Without `matchCase`, ASCII letters match
// either case (other characters match exactly). None when absent or the needle is empty.
std::optional<size_t> FindText(std::string_view haystack, std::string_view needle, size_t from,
                               bool backward, bool matchCase);

}  // namespace zel
