#include "lang/WordReader.h"

#include <algorithm>
#include <limits>

namespace zel {

std::string_view SkipWhiteSpace(std::string_view text)
{
    size_t i = 0;
    while (i < text.size() && IsWhiteSpace(text[i])) ++i;
    return text.substr(i);
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b)
{
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [&](char x, char y) { return lower(x) == lower(y); });
}

int32_t ParseNumber(std::string_view text, size_t* used)
{
    size_t i = 0;
    while (i < text.size() && IsWhiteSpace(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    const size_t digitsStart = i;
    int64_t value = 0;
    for (; i < text.size() && IsDigit(text[i]); ++i)
        value = std::min<int64_t>(value * 10 + (text[i] - '0'), int64_t(1) << 32);
    if (used) *used = i == digitsStart ? 0 : i;
    if (negative) value = -value;
    return int32_t(std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(),
                                       std::numeric_limits<int32_t>::max()));
}

bool WordReader::NextWord(std::string& word, size_t capacity, bool restOfLine)
{
    word.clear();
    rest_ = zel::SkipWhiteSpace(rest_);
    if (rest_.empty()) return false;

    size_t i = 0;
    size_t start = 0;
    size_t stop = 0;   // end of the word's characters
    size_t after = 0;  // where reading continues
    if (rest_[0] == chars_.beginArgument) {
        // A grouped word keeps white space, split characters and inner groups.
        int depth = 1;
        start = i = 1;
        for (; i < rest_.size(); ++i) {
            if (rest_[i] == chars_.beginArgument) {
                ++depth;
            } else if (rest_[i] == chars_.endArgument && --depth == 0) {
                break;
            }
        }
        stop = i;
        after = i < rest_.size() ? i + 1 : i;
    } else {
        if (restOfLine) {
            i = rest_.size();
        } else {
            while (i < rest_.size() && !IsWhiteSpace(rest_[i])) ++i;
        }
        stop = after = i;
    }
    word.assign(rest_.substr(start, std::min(stop - start, capacity)));
    rest_ = rest_.substr(after);
    return true;
}

bool WordReader::NextScopedWord(std::string& name, size_t capacity, bool restOfLine)
{
    if (!NextWord(name, capacity, restOfLine)) return false;
    size_t first = name.find(chars_.scope);
    if (first == std::string::npos) return true;
    size_t second = name.find(chars_.scope, first + 1);
    name.erase(0, (second == std::string::npos ? first : second) + 1);
    return true;
}

bool WordReader::NextNumber(int32_t& value)
{
    value = 0;
    rest_ = zel::SkipWhiteSpace(rest_);
    if (rest_.empty()) return false;
    if (rest_[0] == chars_.beginArgument) rest_.remove_prefix(1);
    size_t used = 0;
    value = ParseNumber(rest_, &used);
    rest_.remove_prefix(used);
    if (!rest_.empty() && rest_[0] == chars_.endArgument) rest_.remove_prefix(1);
    return true;
}

bool WordReader::NextBoolean(bool& value)
{
    std::string word;
    bool found = NextWord(word, 15);
    if (word.empty()) {
        value = false;
    } else if (IsDigit(word[0])) {
        value = word[0] != '0';
    } else {
        value = EqualsIgnoringCase(word, "yes") || EqualsIgnoringCase(word, "on") ||
                EqualsIgnoringCase(word, "true");
    }
    return found;
}

}  // namespace zel
