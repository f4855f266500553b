#include "base/Utf8.h"

#include <utf8proc.h>

namespace zel {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool IsContinuation(unsigned char byte)
{
    return (byte & 0xC0) == 0x80;
}

}  // namespace

Utf8Char DecodeUtf8At(std::string_view text, size_t at)
{
    const auto* p = reinterpret_cast<const unsigned char*>(text.data()) + at;
    const size_t left = text.size() - at;
    const unsigned char lead = p[0];
    if (lead < 0x80) return {lead, 1};
    // Lead bytes and the range of their first continuation byte (Unicode table 3-7), so
    // overlong forms, surrogates and values above U+10FFFF never decode.
    uint32_t length;
    char32_t code;
    unsigned char low = 0x80, high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        code = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        code = lead & 0x0F;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        code = lead & 0x07;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    } else {
        return {kReplacement, 1};
    }
    for (uint32_t i = 1; i < length; ++i) {
        if (i >= left) return {kReplacement, i};
        const unsigned char byte = p[i];
        if (i == 1 ? (byte < low || byte > high) : !IsContinuation(byte)) return {kReplacement, i};
        code = (code << 6) | (byte & 0x3F);
    }
    return {code, length};
}

size_t NextCharacter(std::string_view text, size_t at)
{
    if (at >= text.size()) return text.size();
    return at + DecodeUtf8At(text, at).length;
}

size_t PreviousCharacter(std::string_view text, size_t at)
{
    if (at == 0) return 0;
    // Back over at most three continuation bytes to a start whose character ends at `at`.
    size_t start = at - 1;
    for (size_t back = 0;
         back < 3 && start > 0 && IsContinuation(static_cast<unsigned char>(text[start])); ++back)
        --start;
    while (start < at - 1 && NextCharacter(text, start) != at) ++start;
    return start;
}

size_t CharacterCount(std::string_view text)
{
    size_t count = 0;
    for (size_t at = 0; at < text.size(); at = NextCharacter(text, at)) ++count;
    return count;
}

bool IsAscii(std::string_view text)
{
    for (const char c : text)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

int CellWidth(char32_t c)
{
    if (c < 0x7F) return 1;
    if (c < 0xA0) return 1;  // C1 controls show as a dot
    const int width = utf8proc_charwidth(utf8proc_int32_t(c));
    return width < 0 ? 1 : width > 2 ? 2 : width;
}

uint32_t CellCount(std::string_view text)
{
    uint32_t cells = 0;
    for (size_t at = 0; at < text.size();) {
        const unsigned char byte = static_cast<unsigned char>(text[at]);
        if (byte < 0x80) {
            ++cells;
            ++at;
            continue;
        }
        const Utf8Char c = DecodeUtf8At(text, at);
        cells += uint32_t(CellWidth(c.code));
        at += c.length;
    }
    return cells;
}

size_t ByteAtCell(std::string_view text, uint32_t cell)
{
    uint32_t cells = 0;
    for (size_t at = 0; at < text.size();) {
        const Utf8Char c = DecodeUtf8At(text, at);
        const uint32_t width = uint32_t(CellWidth(c.code));
        if (width > 0 && cell < cells + width) return at;
        cells += width;
        at += c.length;
    }
    return text.size();
}

uint32_t CellAtByte(std::string_view text, size_t at)
{
    return CellCount(text.substr(0, at < text.size() ? at : text.size()));
}

std::string ValidUtf8(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (size_t at = 0; at < text.size();) {
        const Utf8Char c = DecodeUtf8At(text, at);
        if (c.code == kReplacement && !(c.length == 3 && text.substr(at, 3) == "\xEF\xBF\xBD"))
            out += "\xEF\xBF\xBD";
        else
            out.append(text.substr(at, c.length));
        at += c.length;
    }
    return out;
}

bool IsValidUtf8(std::string_view text)
{
    for (size_t at = 0; at < text.size();) {
        const Utf8Char c = DecodeUtf8At(text, at);
        if (c.code == kReplacement && text.substr(at, 3) != "\xEF\xBF\xBD") return false;
        at += c.length;
    }
    return true;
}

}  // namespace zel
