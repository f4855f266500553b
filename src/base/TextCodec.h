// TextCodec: the character sets a server may speak, and the client's two text forms.
//
// The client keeps command lines, definitions and received lines in the engine's text form:
// Windows-1252 bytes under the default encoding (every byte is one character, as the
// settings files and logs of earlier versions hold them), UTF-8 under any other. The output
// buffer and every view hold Unicode as UTF-8: one form to draw, measure and select, and
// the one the terminal, Qt and screen readers take without another conversion.
//
// Windows-1252 maps all 256 byte values: the five bytes the code page leaves undefined map
// to the C1 controls of the same value, so bytes survive the trip to Unicode and back.
#pragma once

#include <iconv.h>

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace zel {

// The encodings `option encoding` offers, by index; 0 is the default.
enum : int32_t { kWindows1252 = 0, kUtf8 = 1 };
struct EncodingName {
    std::string_view name;   // as shown and saved
    std::string_view iconv;  // the iconv set; empty for the two built in
};
std::span<const EncodingName> Encodings();
// The index of the encoding named `name` (case and '-'/'_' ignored), if listed.
std::optional<int32_t> FindEncoding(std::string_view name);
// Whether the C library can convert the encoding on this machine.
bool EncodingAvailable(int32_t encoding);
// The engine's text form under `encoding`: UTF-8 for every encoding but the default.
inline bool EngineFormIsUtf8(int32_t encoding)
{
    return encoding != kWindows1252;
}

// The Unicode character of a Windows-1252 byte (total: see above).
char32_t Windows1252CodePoint(unsigned char byte);
// Appends `c` as UTF-8; a value that is no character (a surrogate, above U+10FFFF) as
// U+FFFD.
void AppendUtf8(std::string& out, char32_t c);
// Windows-1252 bytes as UTF-8, losslessly.
void AppendWindows1252AsUtf8(std::string& out, std::string_view bytes);
std::string Windows1252ToUtf8(std::string_view bytes);
// UTF-8 as Windows-1252; a character the code page lacks becomes '?', an invalid
// sequence too.
std::string Utf8ToWindows1252(std::string_view text);

// The middle dot that marks a control byte in the engine's text form.
inline std::string_view MiddleDot(bool utf8)
{
    return utf8 ? "\xC2\xB7" : "\xB7";
}

// UTF-8 for a view: control characters other than tab and bell show as the middle dot, so no
// byte from a server can drive a terminal; invalid sequences show as U+FFFD.
void AppendDisplayText(std::string& out, std::string_view text);

// Received bytes to the engine's form, with state across calls: a character split
// between two reads decodes whole; an invalid or overlong sequence gives U+FFFD and the
// next character decodes as usual. Windows-1252 passes the bytes unchanged.
class StreamDecoder {
public:
    explicit StreamDecoder(int32_t encoding = kWindows1252);
    ~StreamDecoder();
    StreamDecoder(const StreamDecoder&) = delete;
    StreamDecoder& operator=(const StreamDecoder&) = delete;

    int32_t Encoding() const { return encoding_; }
    // Appends the decoded text of `bytes`; an unfinished last character is kept.
    void Decode(std::string_view bytes, std::string& out);
    // The stream ended: a kept unfinished character becomes U+FFFD.
    void Finish(std::string& out);
    // Bytes of an unfinished character held (at most a few).
    size_t Held() const { return heldLength_; }

private:
    void DecodeUtf8(std::string_view bytes, std::string& out);
    void Hold(std::string_view tail);
    void DecodeIconv(std::string_view bytes, std::string& out);

    int32_t encoding_;
    iconv_t iconv_ = iconv_t(-1);
    char held_[8] = {};
    size_t heldLength_ = 0;
};

// `text` in the iconv set `from` as the set `to`; each byte that cannot be converted gives
// `standIn`. Unchanged when the C library lacks either set.
std::string ConvertCharset(const std::string& to, const std::string& from, std::string_view text,
                           std::string_view standIn);

// The engine's form to the bytes sent under `encoding`; a character the set lacks is sent
// as '?'. Windows-1252 and UTF-8 pass the bytes unchanged.
std::string EncodeForWire(int32_t encoding, std::string_view text);

}  // namespace zel
