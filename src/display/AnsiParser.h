// AnsiParser: the lexical layer of appended text. Bytes in, events out: runs of plain text,
// line ends, backspaces and SGR parameter lists. It keeps its state between calls, so a
// line-end pair or an escape sequence cut across two Feed calls gives the same events as
// the uncut text. It knows nothing of formats or lines (see SgrTable.h and OutputBuffer.h).
//
// Grammar, one byte at a time:
//   text      every byte except CR, LF, BS and ESC
//   line end  CR, LF, CR LF or LF CR (a pair is one line end; CR CR is two)
//   ESC [ p* f    CSI: parameter bytes 0x20-0x3F, final byte 0x40-0x7E. Final 'm' or 'M'
//                 gives an SGR event; any other final ends the sequence without effect.
//   ESC i* f      other escapes: intermediates 0x20-0x2F, final 0x30-0x7E; no effect.
// A control byte or a byte of 0x80 and above inside a sequence abandons it and is then read
// as ordinary text or control, so a stray ESC cannot swallow a line end or a letter.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

namespace zel {

class AnsiParser {
public:
    struct Sink {
        virtual void Text(std::string_view run) = 0;
        virtual void LineEnd() = 0;
        virtual void Backspace() = 0;
        // Never empty: "ESC [ m" gives one parameter, 0. A parameter that followed ':'
        // carries kSubParameter, so that 38:2::r:g:b can be told from 38;2;0;r;g and a code b.
        virtual void Sgr(std::span<const uint32_t> params) = 0;

    protected:
        ~Sink() = default;
    };

    // Parameters beyond this are read and dropped; values saturate at kMaximumValue.
    static constexpr size_t kMaximumParams = 32;
    static constexpr uint32_t kMaximumValue = 99999;
    static constexpr uint32_t kSubParameter = 0x80000000;  // above any value
    // A sequence longer than this is abandoned, so a run of parameter bytes cannot hide
    // the text after it forever.
    static constexpr uint32_t kMaximumSequenceLength = 256;

    void Feed(std::string_view bytes, Sink& sink);
    // Drops a sequence in progress: what is fed next starts as text. A line-end pair cut
    // here still counts as one line end.
    void AbandonSequence() { state_ = State::Text; }

private:
    enum class State : uint8_t { Text, Escape, EscapeIntermediate, Csi };
    enum class Terminator : uint8_t { None, Cr, Lf };

    // Returns false when the byte does not belong to the sequence and is to be read again
    // as text or control.
    bool SequenceByte(uint8_t byte, Sink& sink);
    void EndParam();
    void LineEndByte(uint8_t byte, Sink& sink);

    State state_ = State::Text;
    // The CR or LF that ended the last line, so that its partner is not a second line end.
    Terminator lastTerminator_ = Terminator::None;
    bool afterSeparator_ = false;
    bool subParameter_ = false;  // the parameter being read followed ':'
    uint32_t sequenceLength_ = 0;
    uint32_t value_ = 0;
    size_t paramCount_ = 0;
    std::array<uint32_t, kMaximumParams> params_{};
};

}  // namespace zel
