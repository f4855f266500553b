// Turns output lines into what the console host writes: the buffer's bytes unchanged for a
// pipe or file, or Windows-1252 decoded to UTF-8 with the runs' formats as ANSI SGR codes
// for a terminal.
#pragma once

#include <string>
#include <string_view>

#include "display/OutputBuffer.h"
#include "display/OutputFormats.h"

namespace zel {

// Appends the UTF-8 form of Windows-1252 text; control bytes other than tab and bell show
// as the middle dot, so no byte from a server can drive the terminal.
void AppendWindows1252AsUtf8(std::string& out, std::string_view text);

// Appends the line for a terminal: each run in its colours and effects, the colours equal
// to the views' defaults left to the terminal's own; ends with a reset and a line feed.
void AppendTerminalLine(std::string& out, const OutputBuffer& buffer, const OutputLine& line,
                        const OutputViewStyle& style);

// Output kept back while another program has the terminal: beyond `limit` bytes, the oldest
// whole lines of `text` are dropped until a quarter of the limit is free. Returns how many.
size_t DropOldestLines(std::string& text, size_t limit);

}  // namespace zel
