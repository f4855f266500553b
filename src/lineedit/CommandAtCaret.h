// The command at the caret: the part of the input line that tab completion replaces and the
// syntax tip describes. Its boundaries come from the special characters: it starts after
// the last unescaped split character before the caret, or after an unmatched
// begin-argument character, and ends at the first white space, end-argument character or
// unescaped split character from the caret on. Only ASCII special characters act as boundaries (the
// text is UTF-8).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "lang/SpecialChars.h"

namespace zel {

struct CommandAtCaret {
    size_t start = 0;  // byte offset of the command's first character (white space skipped)
    size_t end = 0;    // byte offset just past it
    // Up to three white-space-separated words from start to end.
    std::vector<std::string> words;
    // Words ended before the caret: 0 while the caret is on the command word.
    int argumentIndex = 0;

    std::string_view TextIn(std::string_view text) const { return text.substr(start, end - start); }
};

// `caret` beyond the text is taken as its end.
CommandAtCaret FindCommandAtCaret(std::string_view text, size_t caret, const SpecialChars& chars);

}  // namespace zel
