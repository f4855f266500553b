#include "triggers/PosixRegex.h"

#include "triggers/PatternFacts.h"

#include <algorithm>
#include <utility>

namespace zel {
PosixRegex::PosixRegex(const std::string& pattern)
{
    if (ExpandedPatternSize(pattern) > kMaximumExpandedSize) {
        error_ = "Repetitions too large (more than " + std::to_string(kMaximumExpandedSize) +
                 " characters once written out)";
        return;
    }
    if (HasBackReference(pattern)) {
        error_ = "Back-references are not supported (their matching time has no bound)";
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
