#include "base/TextCodec.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "base/Utf8.h"

namespace zel {
namespace {

// Windows-1252 0x80..0x9F; 0 marks the five undefined bytes, which map to themselves.
constexpr char16_t kHighControls[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};
constexpr char32_t kMiddleDot = 0xB7;
constexpr char kReplacementUtf8[] = "\xEF\xBF\xBD";

// Whether the bytes from `at` to the end are the valid start of a longer character.
bool CutShort(std::string_view text, size_t at)
{
    const auto lead = static_cast<unsigned char>(text[at]);
    if (lead < 0xC2 || lead > 0xF4) return false;
    const size_t need = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
    const size_t left = text.size() - at;
    return left < need && DecodeUtf8At(text, at).length == left;
}

constexpr EncodingName kEncodings[] = {
    {"Windows-1252", ""},
    {"UTF-8", ""},
    {"CP437", "CP437"},
    {"CP850", "CP850"},
    {"CP1251", "CP1251"},
    {"KOI8-R", "KOI8-R"},
    {"ISO-8859-1", "ISO-8859-1"},
    {"ISO-8859-2", "ISO-8859-2"},
    {"ISO-8859-15", "ISO-8859-15"},
    {"GBK", "GBK"},
    {"Big5", "BIG5"},
    {"Shift_JIS", "SHIFT_JIS"},
    {"EUC-KR", "EUC-KR"},
};

// The name folded for comparison: lower case without '-' and '_'.
std::string Folded(std::string_view name)
{
    std::string folded;
    for (char c : name) {
        if (c == '-' || c == '_') continue;
        folded += (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
    }
    return folded;
}

// Runs iconv over the whole of `in`, appending to `out`. Returns how many bytes at the end
// form an unfinished sequence (EINVAL); at an invalid one (EILSEQ) `invalid` appends its
// stand-in and returns how many bytes to skip (at least 1).
template <typename Invalid>
size_t ConvertAll(iconv_t cd, std::string_view in, std::string& out, Invalid invalid)
{
    char* inPointer = const_cast<char*>(in.data());
    size_t inLeft = in.size();
    char buffer[4096];
    while (inLeft > 0) {
        char* outPointer = buffer;
        size_t outLeft = sizeof buffer;
        const size_t result = iconv(cd, &inPointer, &inLeft, &outPointer, &outLeft);
        out.append(buffer, size_t(outPointer - buffer));
        if (result != size_t(-1)) continue;
        if (errno == E2BIG) continue;
        if (errno == EINVAL) return inLeft;
        // EILSEQ (or anything unexpected): one byte is given up, the state starts again.
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        const size_t skip =
            std::min(inLeft, std::max<size_t>(1, invalid(out, {inPointer, inLeft})));
        inPointer += skip;
        inLeft -= skip;
    }
    return 0;
}

}  // namespace

std::span<const EncodingName> Encodings()
{
    return kEncodings;
}

std::optional<int32_t> FindEncoding(std::string_view name)
{
    const std::string folded = Folded(name);
    if (folded.empty()) return std::nullopt;
    for (size_t i = 0; i < std::size(kEncodings); ++i)
        if (Folded(kEncodings[i].name) == folded) return int32_t(i);
    if (folded == "cp1252") return kWindows1252;
    if (folded == "utf8") return kUtf8;
    return std::nullopt;
}

bool EncodingAvailable(int32_t encoding)
{
    if (encoding < 0 || size_t(encoding) >= std::size(kEncodings)) return false;
    const std::string_view set = kEncodings[encoding].iconv;
    if (set.empty()) return true;
    const iconv_t cd = iconv_open("UTF-8", std::string(set).c_str());
    if (cd == iconv_t(-1)) return false;
    iconv_close(cd);
    return true;
}

char32_t Windows1252CodePoint(unsigned char byte)
{
    if (byte < 0x80 || byte >= 0xA0) return byte;
    const char16_t mapped = kHighControls[byte - 0x80];
    return mapped ? mapped : byte;
}

void AppendUtf8(std::string& out, char32_t c)
{
    if ((c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF) c = 0xFFFD;
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

void AppendWindows1252AsUtf8(std::string& out, std::string_view bytes)
{
    size_t start = 0;
    for (size_t i = 0; i < bytes.size(); ++i) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        if (c < 0x80) continue;
        out.append(bytes.substr(start, i - start));
        AppendUtf8(out, Windows1252CodePoint(c));
        start = i + 1;
    }
    out.append(bytes.substr(start));
}

std::string Windows1252ToUtf8(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 8);
    AppendWindows1252AsUtf8(out, bytes);
    return out;
}

std::string Utf8ToWindows1252(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (size_t at = 0; at < text.size();) {
        const Utf8Char c = DecodeUtf8At(text, at);
        at += c.length;
        if (c.code < 0x80 || (c.code >= 0xA0 && c.code <= 0xFF)) {
            out += char(c.code);
            continue;
        }
        char mapped = '?';
        for (unsigned i = 0; i < 32; ++i)
            if (Windows1252CodePoint(static_cast<unsigned char>(0x80 + i)) == c.code)
                mapped = char(0x80 + i);
        out += mapped;
    }
    return out;
}

void AppendDisplayText(std::string& out, std::string_view text)
{
    for (size_t at = 0; at < text.size();) {
        const auto byte = static_cast<unsigned char>(text[at]);
        if (byte >= 0x20 && byte < 0x7F) {
            size_t end = at + 1;
            while (end < text.size() && static_cast<unsigned char>(text[end]) >= 0x20 &&
                   static_cast<unsigned char>(text[end]) < 0x7F)
                ++end;
            out.append(text.substr(at, end - at));
            at = end;
            continue;
        }
        const Utf8Char c = DecodeUtf8At(text, at);
        if (c.code == '\t' || c.code == '\a')
            out += char(c.code);
        else if (c.code < 0x20 || (c.code >= 0x7F && c.code < 0xA0))
            AppendUtf8(out, kMiddleDot);
        else if (c.code == 0xFFFD)
            out += kReplacementUtf8;
        else
            out.append(text.substr(at, c.length));
        at += c.length;
    }
}

StreamDecoder::StreamDecoder(int32_t encoding) : encoding_(encoding)
{
    if (encoding_ < 0 || size_t(encoding_) >= std::size(kEncodings)) encoding_ = kWindows1252;
    const std::string_view set = kEncodings[encoding_].iconv;
    if (set.empty()) return;
    iconv_ = iconv_open("UTF-8", std::string(set).c_str());
    // A set missing on this machine is refused by the option; here it falls back to UTF-8.
    if (iconv_ == iconv_t(-1)) encoding_ = kUtf8;
}

StreamDecoder::~StreamDecoder()
{
    if (iconv_ != iconv_t(-1)) iconv_close(iconv_);
}

void StreamDecoder::Decode(std::string_view bytes, std::string& out)
{
    if (encoding_ == kWindows1252) {
        out.append(bytes);
        return;
    }
    // A held start of a character joins the new bytes (rare: at most once a read).
    std::string joined;
    if (heldLength_ > 0) {
        joined.assign(held_, heldLength_);
        joined.append(bytes);
        bytes = joined;
        heldLength_ = 0;
    }
    if (iconv_ == iconv_t(-1))
        DecodeUtf8(bytes, out);
    else
        DecodeIconv(bytes, out);
}

void StreamDecoder::Hold(std::string_view tail)
{
    heldLength_ = tail.size();
    std::memcpy(held_, tail.data(), heldLength_);
}

void StreamDecoder::DecodeUtf8(std::string_view bytes, std::string& out)
{
    size_t at = 0;
    size_t start = 0;
    while (at < bytes.size()) {
        if (static_cast<unsigned char>(bytes[at]) < 0x80) {
            ++at;
            continue;
        }
        const Utf8Char c = DecodeUtf8At(bytes, at);
        if (c.code != 0xFFFD || bytes.substr(at, c.length) == kReplacementUtf8) {
            at += c.length;
            continue;
        }
        out.append(bytes.substr(start, at - start));
        if (CutShort(bytes, at)) {
            Hold(bytes.substr(at));  // a valid start cut by the end of the read
            return;
        }
        out += kReplacementUtf8;
        at += c.length;
        start = at;
    }
    out.append(bytes.substr(start));
}

void StreamDecoder::DecodeIconv(std::string_view bytes, std::string& out)
{
    const size_t unfinished =
        ConvertAll(iconv_, bytes, out, [](std::string& o, std::string_view) -> size_t {
            o += kReplacementUtf8;
            return 1;
        });
    if (unfinished > 0) {
        if (unfinished <= sizeof held_) {
            Hold(bytes.substr(bytes.size() - unfinished));
        } else {
            out += kReplacementUtf8;
        }
    }
}

void StreamDecoder::Finish(std::string& out)
{
    if (heldLength_ > 0) out += kReplacementUtf8;
    heldLength_ = 0;
    if (iconv_ != iconv_t(-1)) iconv(iconv_, nullptr, nullptr, nullptr, nullptr);
}

std::string ConvertCharset(const std::string& to, const std::string& from, std::string_view text,
                           std::string_view standIn)
{
    const iconv_t cd = iconv_open(to.c_str(), from.c_str());
    if (cd == iconv_t(-1)) return std::string(text);
    std::string out;
    ConvertAll(cd, text, out, [&](std::string& o, std::string_view) -> size_t {
        o += standIn;
        return 1;
    });
    iconv_close(cd);
    return out;
}

std::string EncodeForWire(int32_t encoding, std::string_view text)
{
    if (encoding < 0 || size_t(encoding) >= std::size(kEncodings)) return std::string(text);
    const std::string_view set = kEncodings[encoding].iconv;
    if (set.empty()) return std::string(text);
    const iconv_t cd = iconv_open(std::string(set).c_str(), "UTF-8");
    if (cd == iconv_t(-1)) return std::string(text);
    std::string out;
    // An unmappable or invalid character goes as one '?'.
    const size_t unfinished =
        ConvertAll(cd, text, out, [](std::string& o, std::string_view rest) -> size_t {
            o += '?';
            return DecodeUtf8At(rest, 0).length;
        });
    if (unfinished > 0) out += '?';
    iconv_close(cd);
    return out;
}

}  // namespace zel
