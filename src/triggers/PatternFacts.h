// PatternFacts: what a quick look at an extended regular expression can prove, so that
// actions that cannot match a piece of text are skipped without running the expression.
// Every fact is conservative: when in doubt the pattern gets no literal and is not
// single-line, and it is simply run.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace zel {

struct PatternFacts {
    // Bytes that every match contains, in this order and adjacent; empty when none is known.
    std::string literal;
    // No match can contain a line feed (newline-sensitive matching), so every match lies
    // within one line of the text.
    bool singleLine = false;
    // The pattern is nothing but `literal`: its leftmost match is the literal's first
    // occurrence.
    bool pureLiteral = false;
};

PatternFacts AnalysePattern(std::string_view pattern);

// The size of a pattern once its repetitions are written out, as the C library compiles
// them: "x+" holds x twice, "x{2,5}" five times, a group the sum of its parts. Saturates.
size_t ExpandedPatternSize(std::string_view pattern);

// Whether the pattern holds a back-reference (\1 to \9 outside brackets). Extended
// expressions have none; the C library accepts them as an extension whose matching time
// has no bound (minutes for "(a+)+\1$" against a line of 300 a's).
bool HasBackReference(std::string_view pattern);

}  // namespace zel
