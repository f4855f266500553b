#include "net/PosixRegex.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace zel {
namespace {

bool IsAsciiDigit(char c)
{
    return c >= '0' && c <= '9';
}

constexpr size_t kSaturated = size_t(1) << 40;

size_t Multiply(size_t a, size_t b)
{
    return b != 0 && a > kSaturated / b ? kSaturated : a * b;
}

// The end of the bracket expression that starts at `i` (its '[').
size_t BracketEnd(std::string_view p, size_t i)
{
    ++i;
    if (i < p.size() && p[i] == '^') ++i;
    if (i < p.size() && p[i] == ']') ++i;  // a leading ']' is a member
    while (i < p.size() && p[i] != ']') {
        // "[:alpha:]", "[.x.]" and "[=e=]" hold a ']' of their own.
        if (p[i] == '[' && i + 1 < p.size() &&
            (p[i + 1] == ':' || p[i + 1] == '.' || p[i + 1] == '=')) {
            const char kind = p[i + 1];
            size_t close = i + 2;
            while (close + 1 < p.size() && !(p[close] == kind && p[close + 1] == ']')) ++close;
            i = close + 2;
        } else {
            ++i;
        }
    }
    return std::min(i, p.size());
}

// "{n}", "{n,}" or "{n,m}" at `i`: how many copies the compiled pattern holds, and the end.
bool ReadBound(std::string_view p, size_t i, size_t& copies, size_t& end)
{
    size_t j = i + 1, low = 0, high = 0;
    bool digits = false, comma = false, highDigits = false;
    for (; j < p.size() && IsAsciiDigit(p[j]); ++j, digits = true)
        low = std::min<size_t>(low * 10 + size_t(p[j] - '0'), kSaturated);
    if (j < p.size() && p[j] == ',') {
        comma = true;
        for (++j; j < p.size() && IsAsciiDigit(p[j]); ++j, highDigits = true)
            high = std::min<size_t>(high * 10 + size_t(p[j] - '0'), kSaturated);
    }
    if (!digits || j >= p.size() || p[j] != '}') return false;
    copies = !comma ? low : highDigits ? high : low + 1;
    copies = std::max<size_t>(copies, 1);
    end = j + 1;
    return true;
}

}  // namespace

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
    for (size_t i = 0; i < p.size();) {
        const char c = p[i];
        size_t copies = 0, end = 0;
        if (c == '\\') {
            atom(1);
            i += 2;
        } else if (c == '[') {
            atom(1);
            i = BracketEnd(p, i) + 1;
        } else if (c == '(') {
            frames.emplace_back();
            ++i;
        } else if (c == ')' && frames.size() > 1) {
            const size_t size = frames.back().total + 1;
            frames.pop_back();
            atom(size);
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
    while (frames.size() > 1) {
        const size_t size = frames.back().total + 1;
        frames.pop_back();
        atom(size);
    }
    return frames.back().total;
}

PosixRegex::PosixRegex(const std::string& pattern)
{
    if (ExpandedPatternSize(pattern) > kMaximumExpandedSize) {
        error_ = "Repetitions too large (more than " + std::to_string(kMaximumExpandedSize) +
                 " characters once written out)";
        return;
    }
    const int error = regcomp(&regex_, pattern.c_str(), REG_EXTENDED | REG_NEWLINE);
    compiled_ = error == 0;
    if (!compiled_) {
        char message[256];
        regerror(error, &regex_, message, sizeof message);
        error_ = message;
    }
}

PosixRegex::~PosixRegex()
{
    if (compiled_) regfree(&regex_);
}

PosixRegex::PosixRegex(PosixRegex&& other) noexcept
    : regex_(other.regex_),
      compiled_(std::exchange(other.compiled_, false)),
      error_(std::move(other.error_))
{
}

PosixRegex& PosixRegex::operator=(PosixRegex&& other) noexcept
{
    if (this != &other) {
        if (compiled_) regfree(&regex_);
        regex_ = other.regex_;
        compiled_ = std::exchange(other.compiled_, false);
        error_ = std::move(other.error_);
    }
    return *this;
}

bool PosixRegex::Search(const char* text, size_t from, size_t to, regmatch_t (&match)[kMatches],
                        size_t groups) const
{
    if (!compiled_) return false;
    groups = std::clamp<size_t>(groups, 1, kMatches);
    for (size_t i = groups; i < kMatches; ++i) match[i].rm_so = match[i].rm_eo = -1;
    match[0].rm_so = regoff_t(from);
    match[0].rm_eo = regoff_t(to);
    return regexec(&regex_, text, groups, match, REG_STARTEND) == 0;
}

}  // namespace zel
