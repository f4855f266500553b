// The syntax tip: syntax and description of the internal command, alias or syntax entry
// being typed, looked up from the command at the caret. Plain data; the host draws it.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "display/TextFormat.h"

namespace zel {

class ClientWindow;

// Back colours of the three kinds of tip (Color values: red in the low byte).
constexpr Color kCommandTipColor = MakeColor(224, 255, 224);
constexpr Color kAliasTipColor = MakeColor(255, 224, 224);
constexpr Color kSyntaxTipColor = MakeColor(224, 224, 255);
constexpr std::string_view kNoDescription = "(description not available)";

struct SyntaxTip {
    std::string syntax;       // UTF-8, lines separated by CR LF or LF, each line's words
                              // counted at runs of white space
    std::string description;  // UTF-8; kNoDescription when there is none
    Color backColor = kCommandTipColor;
    // Index of the syntax line's word to draw in bold (0 = the command word), or -1.
    int highlight = -1;
    // Byte offset in the input line's text of the command's first character: the tip's left
    // edge goes under it.
    size_t commandStart = 0;

    bool operator==(const SyntaxTip&) const = default;
};

// The tip for the UTF-8 input line `text` with the caret at `caret`: the command table's
// entry (when the command starts with one or two command characters), else an alias, else
// a syntax entry named by the first three, two or one words. None when nothing matches or
// the option `tips` is off. Takes DefinitionLock. User-interface thread.
std::optional<SyntaxTip> FindSyntaxTip(ClientWindow& client, std::string_view text, size_t caret);

}  // namespace zel
