#include "lineedit/CommandAtCaret.h"

#include <algorithm>

#include "lang/WordReader.h"

namespace zel {
namespace {

// Special characters outside ASCII would match parts of UTF-8 characters: they bound
// nothing here.
bool Is(char c, char special)
{
    return c == special && static_cast<unsigned char>(special) < 0x80 && special != 0;
}

}  // namespace

CommandAtCaret FindCommandAtCaret(std::string_view text, size_t caret, const SpecialChars& chars)
{
    caret = std::min(caret, text.size());
    const auto escaped = [&](size_t i) { return i > 0 && Is(text[i - 1], chars.escape); };

    CommandAtCaret command;
    int level = 0;
    for (size_t i = caret; i-- > 0;) {
        const char c = text[i];
        if (escaped(i)) continue;
        if (Is(c, chars.endArgument)) {
            ++level;
        } else if (Is(c, chars.beginArgument)) {
            if (level == 0) {
                command.start = i + 1;
                break;
            }
            --level;
        } else if (level == 0 && Is(c, chars.split)) {
            command.start = i + 1;
            break;
        }
    }
    while (command.start < caret && IsWhiteSpace(text[command.start])) ++command.start;

    command.end = caret;
    while (command.end < text.size() && !IsWhiteSpace(text[command.end]) &&
           !Is(text[command.end], chars.endArgument) &&
           !(Is(text[command.end], chars.split) && !escaped(command.end)))
        ++command.end;

    bool inWord = false;
    size_t begun = 0;
    for (size_t i = command.start; i < command.end; ++i) {
        const bool space = IsWhiteSpace(text[i]);
        if (!space) {
            if (!inWord && ++begun <= 3) command.words.emplace_back();
            if (begun <= 3) command.words.back() += text[i];
        } else if (inWord && i < caret) {
            ++command.argumentIndex;  // a word ended before the caret
        }
        inWord = !space;
    }
    return command;
}

}  // namespace zel
