// Utf8: walking UTF-8 text by characters and measuring it in terminal cells. The output
// buffer holds UTF-8; views, selection and layout count characters and cells through here.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace zel {

// One character of UTF-8 text: its code point and how many bytes it takes.
struct Utf8Char {
    char32_t code = 0;
    uint32_t length = 0;
};

// The character starting at text[at] (at < text.size()). A byte that starts no valid
// character (a stray continuation, an overlong form, a surrogate, a value above U+10FFFF or
// a sequence cut short) gives U+FFFD with the length of the longest valid-looking prefix, at
// least 1, so a walk never loses its place.
Utf8Char DecodeUtf8At(std::string_view text, size_t at);
// The byte offset of the character after / before the one at `at`.
size_t NextCharacter(std::string_view text, size_t at);
size_t PreviousCharacter(std::string_view text, size_t at);
// Characters in the text.
size_t CharacterCount(std::string_view text);
// Whether every byte is below 0x80 (the text is the same in every form).
bool IsAscii(std::string_view text);

// Cells a character takes on a grid: 2 for East Asian wide and fullwidth characters, 0 for
// combining marks and other zero-width characters, 1 for everything else (control
// characters too: views show them as a dot). Locale-independent (utf8proc).
int CellWidth(char32_t c);
// Cells of the whole text.
uint32_t CellCount(std::string_view text);
// The byte offset of the character that covers `cell`; text.size() when the text is
// shorter. A cell in the right half of a wide character gives that character.
size_t ByteAtCell(std::string_view text, uint32_t cell);
// The first cell of the character at byte `at`.
uint32_t CellAtByte(std::string_view text, size_t at);

// Text made valid: each invalid sequence becomes U+FFFD.
std::string ValidUtf8(std::string_view text);
// True when the text is valid UTF-8 throughout.
bool IsValidUtf8(std::string_view text);

}  // namespace zel
