#include "triggers/PosixRegex.h"

#include "triggers/PatternFacts.h"

#include <locale.h>

#include <algorithm>
#include <utility>

namespace zel {
namespace {

// The locales the library runs under: "C" reads bytes, "C.UTF-8" characters. Made once,
// never freed (they live as long as the process).
locale_t RegexLocale(bool utf8)
{
    static const locale_t bytes = newlocale(LC_ALL_MASK, "C", locale_t(0));
    static const locale_t characters = [] {
        locale_t made = newlocale(LC_ALL_MASK, "C.UTF-8", locale_t(0));
        return made ? made : newlocale(LC_ALL_MASK, "en_US.UTF-8", locale_t(0));
    }();
    return utf8 && characters ? characters : bytes;
}

// The calling thread's locale for the scope.
class LocaleScope {
public:
    explicit LocaleScope(bool utf8) : previous_(uselocale(RegexLocale(utf8))) {}
    ~LocaleScope() { uselocale(previous_); }
    LocaleScope(const LocaleScope&) = delete;
    LocaleScope& operator=(const LocaleScope&) = delete;

private:
    locale_t previous_;
};

}  // namespace

PosixRegex::PosixRegex(const std::string& pattern, bool utf8) : utf8_(utf8)
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
    const LocaleScope locale(utf8_);
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
      utf8_(other.utf8_),
      error_(std::move(other.error_))
{
}

PosixRegex& PosixRegex::operator=(PosixRegex&& other) noexcept
{
    if (this != &other) {
        if (compiled_) regfree(&regex_);
        regex_ = other.regex_;
        compiled_ = std::exchange(other.compiled_, false);
        utf8_ = other.utf8_;
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
    const LocaleScope locale(utf8_);
    return regexec(&regex_, text, groups, match, REG_STARTEND) == 0;
}

}  // namespace zel
