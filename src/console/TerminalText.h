// Turns output lines into what the console host writes: the buffer's bytes unchanged for a
// pipe or file, or Windows-1252 decoded to UTF-8 with the runs' formats as ANSI SGR codes
// for a terminal.
#pragma once

#include <string>
#include <string_view>

#include "base/TextCodec.h"
#include "display/OutputBuffer.h"
#include "display/OutputFormats.h"

namespace zel {

// The colours a terminal shows, and so the SGR codes it is given.
enum class ColorDepth : uint8_t {
    Ansi16,      // 30-37, 90-97 and 40-47, 100-107: the nearest of the 16 ANSI colours
    Palette256,  // 38;5;n: the nearest entry of the palette's cube and grey ramp
    TrueColor,   // 38;2;r;g;b: the colour itself
};

// From the values of COLORTERM and TERM (null when unset): COLORTERM "truecolor" or "24bit"
// gives TrueColor, a TERM containing "256color" Palette256, anything else Ansi16. Terminfo
// is not read.
ColorDepth ColorDepthOf(const char* colorTerm, const char* term);
// Of this process's environment.
ColorDepth TerminalColorDepth();
// The colour's number at `depth`: a palette entry (0-15 for Ansi16, 16-255 for Palette256,
// the nearest in RGB) or, for TrueColor, 0xRRGGBB.
uint32_t TerminalColorNumber(Color color, ColorDepth depth);

// Appends the line for a terminal: each run in its colours and effects, the colours equal
// to the views' defaults left to the terminal's own; ends with a reset and a line feed.
void AppendTerminalLine(std::string& out, const OutputBuffer& buffer, const OutputLine& line,
                        const OutputViewStyle& style, ColorDepth depth);

// Output kept back while another program has the terminal: beyond `limit` bytes, the oldest
// whole lines of `text` are dropped until a quarter of the limit is free. Returns how many.
size_t DropOldestLines(std::string& text, size_t limit);

}  // namespace zel
