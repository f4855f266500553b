// TerminalCharset: the character set a terminal reads and types, from the locale of the
// environment (LC_ALL, LC_CTYPE, LANG), without changing the process's own locale. A
// terminal whose locale names no set (C, POSIX: plain ASCII) is taken as UTF-8, as nearly
// every terminal today is.
#pragma once

#include <string>
#include <string_view>

namespace zel {

class TerminalCharset {
public:
    TerminalCharset();
    // For tests: a named set ("UTF-8", "ISO-8859-1", ...).
    explicit TerminalCharset(std::string_view name);

    bool IsUtf8() const { return name_.empty(); }
    // UTF-8 to the terminal's set; what it lacks is transliterated or shown as '?'.
    std::string FromUtf8(std::string_view text) const;
    // Typed bytes to UTF-8; invalid ones become U+FFFD.
    std::string ToUtf8(std::string_view bytes) const;

private:
    std::string name_;  // empty for UTF-8
};

}  // namespace zel
