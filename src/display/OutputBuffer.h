// OutputBuffer: the bounded scroll-back store of attributed lines that both output views
// draw. It interprets line ends, backspaces and ANSI SGR sequences in appended text, which
// comes in the engine's text form (base/TextCodec.h) and is kept as UTF-8.
// It takes no lock: the owner (ClientWindow) serialises every call under OutputLock, and
// views on another thread read it under the same lock after a Listener notification.
//
// Appended text goes through AnsiParser (see its grammar), so any split of a stream into
// appends gives the same lines and formats. Text joins the open (last) line in the current
// format; a line end packs the open line into one allocation; a backspace takes the last
// character off the open line; an SGR sequence with a listed code makes the accumulated ANSI
// state current (while ANSI is enabled). After each append the oldest lines beyond the
// maximum are dropped. Formats are interned in a FormatTable and shared by reference.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "display/AnsiParser.h"
#include "display/FormatTable.h"
#include "display/OutputLine.h"
#include "display/TextFormat.h"

namespace zel {

class OutputBuffer : private AnsiParser::Sink {
public:
    // Called inside Append/Clear, on the appending thread, with the owner's lock held.
    struct Listener {
        // A line got its terminator. Called before trimming, so no line is missed even when
        // the maximum is 0.
        virtual void LineEnded(uint64_t number, const OutputLine& line) = 0;
        // An append finished (after trimming): views may redraw the end.
        virtual void Appended() {}
        virtual void Cleared() {}

    protected:
        ~Listener() = default;
    };

    static constexpr int32_t kDefaultMaximumLines = 16384;
    static constexpr size_t kDefaultMaximumBytes = size_t(256) << 20;
    // A line that never ends is broken here (bytes of UTF-8, between characters), so one
    // endless line cannot exhaust memory.
    static constexpr uint32_t kMaximumLineLength = 16384;

    OutputBuffer();
    OutputBuffer(const OutputBuffer&) = delete;
    OutputBuffer& operator=(const OutputBuffer&) = delete;

    void AddListener(Listener* listener);
    void RemoveListener(Listener* listener);

    // Resolves `format` against the format in force and makes the result current.
    void PushFormat(const TextFormat& format);
    const TextFormat& CurrentFormat() const;
    // Adds text in the current format; see above for what is interpreted. Listeners must
    // not append from inside their callbacks.
    void Append(std::string_view text);
    // An escape sequence that appended text left unfinished is dropped: the next append
    // (the client's own message) starts as text and cannot complete it.
    void AbandonSequence() { ansi_.AbandonSequence(); }
    // Frees all lines; the default format is current again. Line numbers keep counting.
    void Clear();

    // Makes the accumulated ANSI state current again after a print pushed its own format,
    // once the stream has set any attribute: received text keeps its colour across reads.
    void ResumeAnsiState();
    void SetAnsiEnabled(bool on) { ansiEnabled_ = on; }
    // The form of appended text: UTF-8 (invalid sequences kept as U+FFFD) or, by default,
    // Windows-1252 bytes.
    void SetEngineFormUtf8(bool on) { engineUtf8_ = on; }
    bool AnsiEnabled() const { return ansiEnabled_; }
    // Any value is accepted; 0 or less keeps no line after an append.
    void SetMaximumLines(int32_t lines);
    int32_t MaximumLines() const { return maximumLines_; }
    // The ended lines together hold at most this many bytes (MemoryUsage counts them); the
    // oldest go first, as with the line maximum, so no stream can grow the buffer past it.
    void SetMaximumBytes(size_t bytes) { maximumBytes_ = bytes; }
    size_t MaximumBytes() const { return maximumBytes_; }

    // Absolute numbering: the first line held is LineBase(), the end is LineBase() + LineCount().
    uint64_t LineBase() const { return lineBase_; }
    size_t LineCount() const;
    uint64_t End() const { return lineBase_ + LineCount(); }
    // Null when the line is no longer or not yet held. Valid until the buffer next changes.
    const OutputLine* Line(uint64_t number) const;
    const TextFormat& Format(uint32_t formatIndex) const { return formats_.Get(formatIndex); }

    // Columns below are byte offsets into a line's UTF-8 text (base/Utf8.h converts cells).
    // The character at the column; 0 when the line is not held or the column is past its end.
    char32_t CharacterAt(uint64_t line, uint32_t column) const;
    // Text from (line1, column1) up to (line2, column2); lines joined by CR LF.
    std::string TextBetween(uint64_t line1, uint32_t column1, uint64_t line2,
                            uint32_t column2) const;
    struct Word {
        uint32_t start = 0;
        uint32_t end = 0;  // one past the last character
        std::string text;
    };
    // The run of characters above the space that holds the column.
    std::optional<Word> WordAt(uint64_t line, uint32_t column) const;

    // Bytes held by lines, runs and formats: for the memory benchmark and tests.
    size_t MemoryUsage() const;

private:
    // AnsiParser events.
    void Text(std::string_view run) override;
    void LineEnd() override;
    void Backspace() override;
    void Sgr(std::span<const uint32_t> params) override;

    void EndLine();
    // Drops the oldest lines beyond the maximum; the open line too when `withOpen`.
    void Trim(bool withOpen);
    void ReleaseRuns(const OutputLine& line);
    uint32_t CurrentIndex();
    size_t Limit() const { return maximumLines_ > 0 ? size_t(maximumLines_) : 0; }
    const OutputLine& OpenLine() const;

    // Ended lines, oldest first; the open line, if any, follows them.
    std::deque<OutputLine> lines_;
    uint64_t lineBase_ = 0;
    size_t packedBytes_ = 0;

    // The open line is built here and packed into one allocation when it ends.
    bool hasOpen_ = false;
    // Fixed at the line cap, so adding text is a bounded copy with no growth checks.
    std::unique_ptr<char[]> openText_{new char[kMaximumLineLength]};
    uint32_t openLength_ = 0;
    std::vector<TextRun> openRuns_;
    mutable OutputLine::BorrowedHeader openHeader_;
    OutputLine openLine_ = OutputLine::Borrow(openHeader_);

    FormatTable formats_;
    TextFormat current_;
    uint32_t currentHash_ = 0;  // FormatTable::Hash(current_)
    // current_'s entry in formats_, with a reference of its own; kNone until a run needs it.
    uint32_t currentIndex_ = FormatTable::kNone;
    TextFormat ansiState_;
    AnsiParser ansi_;
    bool ansiEnabled_ = true;
    bool engineUtf8_ = false;
    std::string decoded_;    // the UTF-8 of a run with non-ASCII bytes
    bool ansiSeen_ = false;  // a listed attribute code has been applied to ansiState_
    int32_t maximumLines_ = kDefaultMaximumLines;
    size_t maximumBytes_ = kDefaultMaximumBytes;
    std::vector<Listener*> listeners_;
};

}  // namespace zel
