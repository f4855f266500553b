// TerminalText: see TerminalText.h. Colours are brought down to the terminal's depth here, by
// the nearest colour the depth can show.
#include "console/TerminalText.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "display/SgrTable.h"

namespace zel {
namespace {

// The palette entries whose colour every 256-colour terminal agrees on: the cube and the
// grey ramp. Entries 0-15 follow the terminal's theme, so they are never chosen there.
constexpr uint32_t kFirstFixedEntry = 16;
constexpr uint32_t kAnsiColors = 16;

uint32_t SquaredDistance(Color a, Color b)
{
    uint32_t sum = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        const int d = int(a >> shift & 0xFF) - int(b >> shift & 0xFF);
        sum += uint32_t(d * d);
    }
    return sum;
}

// The palette entry in [first, end) nearest to `color` in RGB; the lowest on a tie.
uint32_t NearestEntry(Color color, uint32_t first, uint32_t end)
{
    uint32_t best = first, bestDistance = UINT32_MAX;
    for (uint32_t i = first; i < end; ++i) {
        const uint32_t distance = SquaredDistance(color, PaletteColor(uint8_t(i)));
        if (distance < bestDistance) {
            best = i;
            bestDistance = distance;
        }
    }
    return best;
}

// `base` is 38 for the text colour, 48 for the back colour.
void AppendColor(std::string& out, int base, Color color, ColorDepth depth)
{
    char code[32];
    const uint32_t number = TerminalColorNumber(color, depth);
    switch (depth) {
        case ColorDepth::TrueColor:
            std::snprintf(code, sizeof code, ";%d;2;%u;%u;%u", base, number >> 16,
                          number >> 8 & 0xFF, number & 0xFF);
            break;
        case ColorDepth::Palette256:
            std::snprintf(code, sizeof code, ";%d;5;%u", base, number);
            break;
        case ColorDepth::Ansi16: {
            // 30-37 and 90-97 for the text, 40-47 and 100-107 for the back.
            const uint32_t first = (base == 38 ? 30 : 40) + (number >= 8 ? 60 : 0);
            std::snprintf(code, sizeof code, ";%u", first + number % 8);
            break;
        }
    }
    out += code;
}

std::string SgrFor(const TextFormat& format, const OutputViewStyle& style, ColorDepth depth)
{
    std::string sgr = "\x1b[0";
    if (format.weight >= 700) sgr += ";1";
    if (format.effects & effect::kItalic) sgr += ";3";
    if (format.effects & effect::kUnderline) sgr += ";4";
    if ((format.mask & mask::kInverse) && (format.effects & effect::kInverse)) sgr += ";7";
    if (format.effects & effect::kStrikeout) sgr += ";9";
    if (format.textColor != kWindowDefaultColor && format.textColor != style.textColor)
        AppendColor(sgr, 38, format.textColor, depth);
    if (format.backColor != kWindowDefaultColor && format.backColor != style.backColor)
        AppendColor(sgr, 48, format.backColor, depth);
    return sgr + "m";
}

}  // namespace

ColorDepth ColorDepthOf(const char* colorTerm, const char* term)
{
    if (colorTerm &&
        (std::strcmp(colorTerm, "truecolor") == 0 || std::strcmp(colorTerm, "24bit") == 0))
        return ColorDepth::TrueColor;
    if (term && std::strstr(term, "256color")) return ColorDepth::Palette256;
    return ColorDepth::Ansi16;
}

ColorDepth TerminalColorDepth()
{
    return ColorDepthOf(std::getenv("COLORTERM"), std::getenv("TERM"));
}

uint32_t TerminalColorNumber(Color color, ColorDepth depth)
{
    switch (depth) {
        case ColorDepth::TrueColor:
            return (color & 0xFF) << 16 | (color & 0xFF00) | (color >> 16 & 0xFF);
        case ColorDepth::Palette256:
            return NearestEntry(color, kFirstFixedEntry, 256);
        case ColorDepth::Ansi16:
            break;
    }
    return NearestEntry(color, 0, kAnsiColors);
}

void AppendTerminalLine(std::string& out, const OutputBuffer& buffer, const OutputLine& line,
                        const OutputViewStyle& style, ColorDepth depth)
{
    const std::string_view text = line.Text();
    uint32_t start = 0;
    std::string current = "\x1b[0m";
    for (const auto& run : line.Runs()) {
        std::string sgr = SgrFor(buffer.Format(run.format), style, depth);
        if (sgr != current) {
            out += sgr;
            current = std::move(sgr);
        }
        const uint32_t end = std::min<uint32_t>(run.end, uint32_t(text.size()));
        if (end > start) AppendDisplayText(out, text.substr(start, end - start));
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
