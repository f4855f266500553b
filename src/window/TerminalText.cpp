#include "window/TerminalText.h"

#include <algorithm>
#include <cstdio>

namespace zel {
namespace {

// Windows-1252 0x80..0x9F; 0 marks the five undefined bytes.
constexpr char16_t kHighControls[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};
constexpr char32_t kReplacement = 0xFFFD;
constexpr char32_t kMiddleDot = 0xB7;

void AppendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | (c >> 6));
        out += char(0x80 | (c & 0x3F));
    } else {
        out += char(0xE0 | (c >> 12));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
}

void AppendColor(std::string& out, int base, Color color)
{
    char code[32];
    std::snprintf(code, sizeof code, ";%d;2;%u;%u;%u", base, color & 0xFF, (color >> 8) & 0xFF,
                  (color >> 16) & 0xFF);
    out += code;
}

std::string SgrFor(const TextFormat& format, const OutputViewStyle& style)
{
    std::string sgr = "\x1b[0";
    if (format.weight >= 700) sgr += ";1";
    if (format.effects & effect::kItalic) sgr += ";3";
    if (format.effects & effect::kUnderline) sgr += ";4";
    if ((format.mask & mask::kInverse) && (format.effects & effect::kInverse)) sgr += ";7";
    if (format.effects & effect::kStrikeout) sgr += ";9";
    if (format.textColor != kWindowDefaultColor && format.textColor != style.textColor)
        AppendColor(sgr, 38, format.textColor);
    if (format.backColor != kWindowDefaultColor && format.backColor != style.backColor)
        AppendColor(sgr, 48, format.backColor);
    return sgr + "m";
}

}  // namespace

void AppendWindows1252AsUtf8(std::string& out, std::string_view text)
{
    for (char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == '\t' || c == '\a' || (c >= 0x20 && c < 0x7F)) {
            out += ch;
        } else if (c < 0x20 || c == 0x7F) {
            AppendUtf8(out, kMiddleDot);
        } else if (c < 0xA0) {
            char16_t mapped = kHighControls[c - 0x80];
            AppendUtf8(out, mapped ? mapped : kReplacement);
        } else {
            AppendUtf8(out, c);
        }
    }
}

void AppendTerminalLine(std::string& out, const OutputBuffer& buffer, const OutputLine& line,
                        const OutputViewStyle& style)
{
    const std::string_view text = line.Text();
    uint32_t start = 0;
    std::string current = "\x1b[0m";
    for (const auto& run : line.Runs()) {
        std::string sgr = SgrFor(buffer.Format(run.format), style);
        if (sgr != current) {
            out += sgr;
            current = std::move(sgr);
        }
        const uint32_t end = std::min<uint32_t>(run.end, uint32_t(text.size()));
        if (end > start) AppendWindows1252AsUtf8(out, text.substr(start, end - start));
        start = std::max(start, end);
    }
    if (current != "\x1b[0m") out += "\x1b[0m";
    out += '\n';
}

size_t DropOldestLines(std::string& text, size_t limit)
{
    if (text.size() <= limit) return 0;
    const size_t excess = text.size() - limit + limit / 4;
    size_t end = excess >= text.size() ? std::string::npos : text.find('\n', excess - 1);
    end = end == std::string::npos ? text.size() : end + 1;
    const size_t lines = size_t(std::count(text.begin(), text.begin() + ptrdiff_t(end), '\n'));
    text.erase(0, end);
    return lines;
}

}  // namespace zel
