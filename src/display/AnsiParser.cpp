// AnsiParser: see the grammar in AnsiParser.h.
#include "display/AnsiParser.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace zel {

namespace {

constexpr uint8_t kBackspace = 8;
constexpr uint8_t kLineFeed = 10;
constexpr uint8_t kCarriageReturn = 13;
constexpr uint8_t kEscape = 27;

// The bytes that end a run of text. A table keeps the scan over plain text a tight loop.
constexpr std::array<bool, 256> kSpecial = [] {
    std::array<bool, 256> table{};
    for (uint8_t c : {kBackspace, kLineFeed, kCarriageReturn, kEscape}) table[c] = true;
    return table;
}();

// The high bit of each byte of `word` that is below 0x20, exact up to the first such byte
// (a borrow may mark bytes after it). Every byte that ends a run of text is below 0x20 and
// ordinary text has none, so the scan usually moves eight bytes at a step.
constexpr uint64_t ControlBits(uint64_t word)
{
    constexpr uint64_t kOnes = 0x0101010101010101ull;
    return (word - kOnes * 0x20) & ~word & kOnes * 0x80;
}

// The length of the text at the start of `data` before the first byte that ends a run.
size_t TextLength(const uint8_t* data, size_t size)
{
    size_t end = 0;
    while (end < size) {
        if (std::endian::native == std::endian::little && end + 8 <= size) {
            uint64_t word;
            std::memcpy(&word, data + end, 8);
            const uint64_t controls = ControlBits(word);
            if (controls == 0) {
                end += 8;
                continue;
            }
            end += size_t(std::countr_zero(controls)) / 8;
        }
        if (kSpecial[data[end]]) break;
        ++end;  // a control byte that is text, such as TAB
    }
    return end;
}

constexpr bool IsControl(uint8_t byte)
{
    return byte < 0x20 || byte >= 0x7F;
}

}  // namespace

// Inlined into Feed: it runs for every byte of every sequence.
[[gnu::always_inline]] inline bool AnsiParser::SequenceByte(uint8_t byte, Sink& sink)
{
    if (IsControl(byte) || ++sequenceLength_ > kMaximumSequenceLength) {
        state_ = State::Text;
        return false;
    }
    switch (state_) {
        case State::Escape:
            if (byte == '[') {
                state_ = State::Csi;
                paramCount_ = 0;
                value_ = 0;
                afterSeparator_ = false;
                subParameter_ = false;
            } else if (byte < 0x30) {
                state_ = State::EscapeIntermediate;
            } else {
                state_ = State::Text;
            }
            return true;
        case State::EscapeIntermediate:
            if (byte >= 0x30) state_ = State::Text;
            return true;
        case State::Csi:
            if (byte >= '0' && byte <= '9') {
                value_ = std::min(value_ * 10 + (byte - '0'), kMaximumValue);
                afterSeparator_ = false;
            } else if (byte < 0x40) {
                // Any other parameter byte separates; ';' right after a separator is skipped,
                // so "1;;31" holds the two codes 1 and 31.
                if (!(afterSeparator_ && byte == ';')) EndParam();
                afterSeparator_ = true;
                subParameter_ = byte == ':';
            } else {
                state_ = State::Text;
                if (byte == 'm' || byte == 'M') {
                    EndParam();
                    sink.Sgr(std::span<const uint32_t>(params_.data(), paramCount_));
                }
            }
            return true;
        case State::Text:
            break;
    }
    return false;
}

void AnsiParser::Feed(std::string_view bytes, Sink& sink)
{
    const auto* data = reinterpret_cast<const uint8_t*>(bytes.data());
    const size_t size = bytes.size();
    size_t i = 0;
    while (i < size) {
        if (state_ != State::Text) {
            // An abandoned sequence leaves its byte to be read again as text or control.
            while (i < size && SequenceByte(data[i], sink)) {
                ++i;
                if (state_ == State::Text) break;
            }
            continue;
        }
        const size_t end = i + TextLength(data + i, size - i);
        if (end > i) {
            lastTerminator_ = Terminator::None;
            sink.Text(bytes.substr(i, end - i));
            i = end;
            if (i == size) break;
        }
        const uint8_t byte = data[i++];
        if (byte == kEscape) {
            state_ = State::Escape;
            sequenceLength_ = 1;
            lastTerminator_ = Terminator::None;
        } else if (byte == kBackspace) {
            lastTerminator_ = Terminator::None;
            sink.Backspace();
        } else {
            LineEndByte(byte, sink);
        }
    }
}

void AnsiParser::LineEndByte(uint8_t byte, Sink& sink)
{
    const Terminator self = byte == kCarriageReturn ? Terminator::Cr : Terminator::Lf;
    if (lastTerminator_ != Terminator::None && lastTerminator_ != self) {
        // The second half of a CR LF or LF CR pair.
        lastTerminator_ = Terminator::None;
        return;
    }
    lastTerminator_ = self;
    sink.LineEnd();
}

void AnsiParser::EndParam()
{
    if (paramCount_ < kMaximumParams)
        params_[paramCount_++] = value_ | (subParameter_ ? kSubParameter : 0);
    value_ = 0;
}

}  // namespace zel
