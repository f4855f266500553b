// PosixRegex: a compiled POSIX extended regular expression (case-sensitive, newline-
// sensitive), owned. A pattern that does not compile is kept with its error and never
// matches. It reads bytes (a character is a byte) or, when made for UTF-8, characters: `.`
// and bracket expressions then take whole UTF-8 characters. Either way the locale is its
// own, whatever the process's locale is.
#pragma once

#include <regex.h>

#include <string>
#include <string_view>

namespace zel {

class PosixRegex {
public:
    // The whole match and 63 groups.
    static constexpr size_t kMatches = 64;
    // Larger expansions (ExpandedPatternSize) are refused: the C library's compile time grows with
    // the expansion (2 s for "x" and twenty "+"), and its matching time with expansion times line
    // length (5 s for one 4,000-character line against "(.{1,100}){1,100}").
    static constexpr size_t kMaximumExpandedSize = 2048;

    PosixRegex() = default;
    explicit PosixRegex(const std::string& pattern, bool utf8 = false);
    ~PosixRegex();
    PosixRegex(PosixRegex&& other) noexcept;
    PosixRegex& operator=(PosixRegex&& other) noexcept;
    PosixRegex(const PosixRegex&) = delete;
    PosixRegex& operator=(const PosixRegex&) = delete;

    bool Valid() const { return compiled_; }
    bool Utf8() const { return utf8_; }
    // The regex library's message when the pattern did not compile, or why it was refused.
    const std::string& Error() const { return error_; }

    // Searches `text` for the leftmost match within [from, to); ^ matches at `text` and
    // after line feeds, $ at `to` and before line feeds. Offsets are relative to `text`.
    // Only the first `groups` entries are filled (asking for fewer groups is much faster);
    // the others are set to -1.
    bool Search(const char* text, size_t from, size_t to, regmatch_t (&match)[kMatches],
                size_t groups = kMatches) const;

private:
    regex_t regex_{};
    bool compiled_ = false;
    bool utf8_ = false;
    std::string error_;
};

}  // namespace zel
