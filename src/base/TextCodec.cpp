#include "base/TextCodec.h"

namespace zel {
namespace {

// Windows-1252 0x80..0x9F; 0 marks the five undefined bytes.
constexpr char16_t kHighControls[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};
constexpr char32_t kReplacement = 0xFFFD;
constexpr char32_t kMiddleDot = 0xB7;

}  // namespace

char32_t Windows1252CodePoint(unsigned char byte)
{
    if (byte < 0x80 || byte >= 0xA0) return byte;
    const char16_t mapped = kHighControls[byte - 0x80];
    return mapped ? mapped : kReplacement;
}

void AppendUtf8(std::string& out, char32_t c)
{
    if ((c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF) c = kReplacement;
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | (c >> 6));
        out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += char(0xE0 | (c >> 12));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    } else {
        out += char(0xF0 | (c >> 18));
        out += char(0x80 | ((c >> 12) & 0x3F));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
}

void AppendWindows1252AsUtf8(std::string& out, std::string_view text)
{
    for (char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == '\t' || c == '\a' || (c >= 0x20 && c < 0x7F)) {
            out += ch;
        } else if (c < 0x20 || c == 0x7F) {
            AppendUtf8(out, kMiddleDot);
        } else {
            AppendUtf8(out, Windows1252CodePoint(c));
        }
    }
}

}  // namespace zel
