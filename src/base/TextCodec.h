// TextCodec: the client's text as Unicode for display. The output buffer keeps the bytes
// as received (Windows-1252); every view (terminal, window, screen reader) decodes them here.
#pragma once

#include <string>
#include <string_view>

namespace zel {

// The Unicode character of a Windows-1252 byte; U+FFFD for the five undefined bytes.
char32_t Windows1252CodePoint(unsigned char byte);

// Appends `c` as UTF-8; a value that is no character (a surrogate, above U+10FFFF) as
// U+FFFD.
void AppendUtf8(std::string& out, char32_t c);

// Appends the UTF-8 form of Windows-1252 text for display; control bytes other than tab and
// bell show as the middle dot, so no byte from a server can drive a terminal.
void AppendWindows1252AsUtf8(std::string& out, std::string_view text);

}  // namespace zel
