#include "net/PatternFacts.h"

#include <cctype>

namespace zel {
namespace {

bool IsAlphanumeric(char c)
{
    return std::isalnum(static_cast<unsigned char>(c)) != 0;
}

// Reads a bracket expression from its '['; returns the position after its ']', or npos
// when it never ends. `newline` is set when it may match a line feed.
size_t SkipBracket(std::string_view p, size_t i, bool& newline)
{
    ++i;  // '['
    bool negated = false;
    if (i < p.size() && p[i] == '^') {
        negated = true;
        ++i;
    }
    const size_t first = i;
    char previous = 0;
    while (i < p.size()) {
        const char c = p[i];
        if (c == ']' && i > first) return i + 1;
        if (c == '[' && i + 1 < p.size() &&
            (p[i + 1] == ':' || p[i + 1] == '=' || p[i + 1] == '.')) {
            const char kind = p[i + 1];
            const size_t end = p.find(std::string{kind, ']'}, i + 2);
            if (end == std::string_view::npos) return std::string_view::npos;
            const std::string_view name = p.substr(i + 2, end - i - 2);
            // Classes that hold a line feed, and anything collated, may match one.
            if (kind != ':' || name == "space" || name == "cntrl") newline = newline || !negated;
            i = end + 2;
            previous = 0;
            continue;
        }
        if (c == '\n') newline = newline || !negated;
        // A range over the line feed, such as \t-\r.
        if (c == '-' && previous != 0 && i + 1 < p.size() && p[i + 1] != ']' &&
            static_cast<unsigned char>(previous) <= '\n' &&
            static_cast<unsigned char>(p[i + 1]) >= '\n')
            newline = newline || !negated;
        previous = c;
        ++i;
    }
    return std::string_view::npos;
}

}  // namespace

PatternFacts AnalysePattern(std::string_view p)
{
    bool newline = false;
    bool alternation = false;
    bool onlyLiterals = true;
    std::string run, best;
    const auto endRun = [&] {
        if (run.size() > best.size()) best = run;
        run.clear();
    };
    int depth = 0;  // nothing inside parentheses is taken as literal
    for (size_t i = 0; i < p.size();) {
        const char c = p[i];
        size_t next = i + 1;
        bool literal = false;
        char value = c;
        switch (c) {
            case '\\':
                if (i + 1 >= p.size()) return {};
                value = p[i + 1];
                next = i + 2;
                // \w, \s, \b, \1, \< and the like are not the character they show; \s
                // and \W are lists that may hold a line feed.
                literal = !IsAlphanumeric(value) && value != '<' && value != '>' && value != '`' &&
                          value != '\'';
                if (value == 's' || value == 'W') newline = true;
                break;
            case '[':
                next = SkipBracket(p, i, newline);
                if (next == std::string_view::npos) return {};
                break;
            case '{':
                next = p.find('}', i);
                if (next == std::string_view::npos) return {};
                i = next + 1;
                onlyLiterals = false;
                continue;  // a quantifier: its atom has been dealt with
            case '*':
            case '+':
            case '?':
                i = next;
                onlyLiterals = false;
                continue;
            case '(':
                if (depth++ == 0) endRun();
                break;
            case ')':
                if (depth > 0) --depth;
                break;
            case '|':
                if (depth == 0) alternation = true;
                break;
            case '.':
            case '^':
            case '$':
                break;
            default:
                literal = true;
                if (c == '\n') newline = true;
                break;
        }
        i = next;
        onlyLiterals = onlyLiterals && literal;
        if (depth > 0 || c == ')') continue;
        if (!literal) {
            endRun();
            continue;
        }
        // *, ? and {..} make the atom optional; + keeps it, and its last repetition is
        // next to what follows.
        const char quantifier = next < p.size() ? p[next] : 0;
        if (quantifier == '*' || quantifier == '?' || quantifier == '{') {
            endRun();
        } else if (quantifier == '+') {
            run += value;
            endRun();
            run = value;
        } else {
            run += value;
        }
    }
    endRun();
    PatternFacts facts;
    if (!alternation) facts.literal = best;
    facts.singleLine = !newline;
    facts.pureLiteral = onlyLiterals && !best.empty();
    return facts;
}

}  // namespace zel
