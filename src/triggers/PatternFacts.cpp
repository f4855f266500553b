#include "triggers/PatternFacts.h"

#include "lang/WordReader.h"

#include <algorithm>
#include <cctype>
#include <vector>

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

constexpr size_t kSaturated = size_t(1) << 40;

size_t Multiply(size_t a, size_t b)
{
    return b != 0 && a > kSaturated / b ? kSaturated : a * b;
}

// "{n}", "{n,}" or "{n,m}" at `i`: how many copies the compiled pattern holds, and the end.
bool ReadBound(std::string_view p, size_t i, size_t& copies, size_t& end)
{
    size_t j = i + 1, low = 0, high = 0;
    bool digits = false, comma = false, highDigits = false;
    for (; j < p.size() && IsDigit(p[j]); ++j, digits = true)
        low = std::min<size_t>(low * 10 + size_t(p[j] - '0'), kSaturated);
    if (j < p.size() && p[j] == ',') {
        comma = true;
        for (++j; j < p.size() && IsDigit(p[j]); ++j, highDigits = true)
            high = std::min<size_t>(high * 10 + size_t(p[j] - '0'), kSaturated);
    }
    if (!digits || j >= p.size() || p[j] != '}') return false;
    copies = !comma ? low : highDigits ? high : low + 1;
    copies = std::max<size_t>(copies, 1);
    end = j + 1;
    return true;
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

size_t ExpandedPatternSize(std::string_view p)
{
    struct Frame {
        size_t total = 0;
        size_t last = 0;  // the last atom, which a repetition applies to
    };
    std::vector<Frame> frames(1);
    auto atom = [&frames](size_t size) {
        Frame& f = frames.back();
        f.total = std::min(f.total + size, kSaturated);
        f.last = size;
    };
    auto repeat = [&frames](size_t copies) {
        Frame& f = frames.back();
        const size_t grown = Multiply(f.last, copies);
        f.total = std::min(f.total - f.last + grown, kSaturated);
        f.last = grown;
    };
    auto closeGroup = [&frames, &atom] {
        const size_t size = frames.back().total + 1;
        frames.pop_back();
        atom(size);
    };
    for (size_t i = 0; i < p.size();) {
        const char c = p[i];
        size_t copies = 0, end = 0;
        if (c == '\\') {
            atom(1);
            i += 2;
        } else if (c == '[') {
            atom(1);
            bool newline = false;
            i = std::min(SkipBracket(p, i, newline), p.size());
        } else if (c == '(') {
            frames.emplace_back();
            ++i;
        } else if (c == ')' && frames.size() > 1) {
            closeGroup();
            ++i;
        } else if (c == '+') {
            repeat(2);
            ++i;
        } else if (c == '{' && ReadBound(p, i, copies, end)) {
            repeat(copies);
            i = end;
        } else {
            // '*', '?' and '|' add no copies; everything else is one character.
            if (c != '*' && c != '?' && c != '|') atom(1);
            ++i;
        }
    }
    while (frames.size() > 1) closeGroup();
    return frames.back().total;
}

bool HasBackReference(std::string_view p)
{
    for (size_t i = 0; i < p.size();) {
        if (p[i] == '\\') {
            if (i + 1 < p.size() && p[i + 1] >= '1' && p[i + 1] <= '9') return true;
            i += 2;
        } else if (p[i] == '[') {
            bool newline = false;
            i = std::min(SkipBracket(p, i, newline), p.size());
        } else {
            ++i;
        }
    }
    return false;
}

}  // namespace zel
