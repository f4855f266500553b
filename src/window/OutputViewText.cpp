// OutputViewText: see OutputViewText.h.
#include "window/OutputViewText.h"

#include <algorithm>

#include "base/Utf8.h"

namespace zel {
namespace {

char FoldAscii(char c)
{
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

bool MatchesAt(std::string_view haystack, std::string_view needle, size_t at, bool matchCase)
{
    if (matchCase) return haystack.compare(at, needle.size(), needle) == 0;
    for (size_t i = 0; i < needle.size(); ++i)
        if (FoldAscii(haystack[at + i]) != FoldAscii(needle[i])) return false;
    return true;
}

bool IsWordCharacter(char32_t c)
{
    return c > 0x20 && !IsControlCharacter(c);
}

}  // namespace

QString DisplayText(std::string_view utf8)
{
    QString text = QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
    for (QChar& c : text)
        if (IsControlCharacter(c.unicode())) c = QChar(kControlDot);
    return text;
}

std::string_view CellSlice(std::string_view text, uint32_t from, uint32_t to)
{
    if (from >= to) return {};
    const size_t begin = ByteAtCell(text, from);
    // The character covering `to` is the first one left out; walk on from `begin`.
    size_t end = begin;
    uint32_t cell = CellAtByte(text, begin);
    while (end < text.size()) {
        const Utf8Char c = DecodeUtf8At(text, end);
        const int width = CellWidth(c.code);
        if (width > 0 && cell + uint32_t(width) > to) break;
        cell += uint32_t(width);
        end += c.length;
    }
    return text.substr(begin, end - begin);
}

std::optional<CellRange> WordAtCell(std::string_view text, uint32_t cell)
{
    const size_t at = ByteAtCell(text, cell);
    if (at >= text.size() || !IsWordCharacter(DecodeUtf8At(text, at).code)) return std::nullopt;
    size_t begin = at;
    while (begin > 0) {
        const size_t previous = PreviousCharacter(text, begin);
        if (!IsWordCharacter(DecodeUtf8At(text, previous).code)) break;
        begin = previous;
    }
    size_t end = at;
    while (end < text.size()) {
        const Utf8Char c = DecodeUtf8At(text, end);
        // Zero-width marks belong to the word they follow.
        if (!IsWordCharacter(c.code) && CellWidth(c.code) != 0) break;
        end += c.length;
    }
    const uint32_t start = CellAtByte(text, begin);
    return CellRange{start, start + CellCount(text.substr(begin, end - begin))};
}

std::optional<size_t> FindText(std::string_view haystack, std::string_view needle, size_t from,
                               bool backward, bool matchCase)
{
    if (needle.empty() || needle.size() > haystack.size()) return std::nullopt;
    const size_t last = haystack.size() - needle.size();
    if (backward) {
        if (from == 0) return std::nullopt;
        for (size_t at = std::min(from - 1, last) + 1; at-- > 0;)
            if (MatchesAt(haystack, needle, at, matchCase)) return at;
        return std::nullopt;
    }
    if (matchCase) {
        const size_t at = haystack.find(needle, from);
        return at == std::string_view::npos ? std::nullopt : std::optional<size_t>(at);
    }
    const char first = FoldAscii(needle[0]);
    for (size_t at = from; at <= last; ++at)
        if (FoldAscii(haystack[at]) == first && MatchesAt(haystack, needle, at, false)) return at;
    return std::nullopt;
}

}  // namespace zel
