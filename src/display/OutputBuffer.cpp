// OutputBuffer: appending (segments, line ends, backspace, SGR), trimming, and the reads
// that views, selection and copying use.
#include "display/OutputBuffer.h"

#include <algorithm>
#include <cstring>

#include "base/TextCodec.h"
#include "base/Utf8.h"
#include "display/SgrTable.h"

namespace zel {

OutputBuffer::OutputBuffer()
    : current_(DefaultTextFormat()),
      currentHash_(FormatTable::Hash(current_)),
      ansiState_(DefaultTextFormat())
{
}

void OutputBuffer::AddListener(Listener* listener)
{
    if (std::find(listeners_.begin(), listeners_.end(), listener) == listeners_.end())
        listeners_.push_back(listener);
}

void OutputBuffer::RemoveListener(Listener* listener)
{
    std::erase(listeners_, listener);
}

void OutputBuffer::PushFormat(const TextFormat& format)
{
    current_ = ResolveFormat(format, current_);
    currentHash_ = FormatTable::Hash(current_);
    // Keep the interned entry when the push changed nothing, as repeated prints of one
    // named format usually do.
    if (currentIndex_ != FormatTable::kNone &&
        !formats_.Holds(currentIndex_, current_, currentHash_)) {
        formats_.Release(currentIndex_);
        currentIndex_ = FormatTable::kNone;
    }
}

const TextFormat& OutputBuffer::CurrentFormat() const
{
    return current_;
}

uint32_t OutputBuffer::CurrentIndex()
{
    if (currentIndex_ == FormatTable::kNone)
        currentIndex_ = formats_.Acquire(current_, currentHash_);
    return currentIndex_;
}

void OutputBuffer::SetMaximumLines(int32_t lines)
{
    // Takes effect at the next append, which trims.
    maximumLines_ = lines;
}

void OutputBuffer::Append(std::string_view text)
{
    if (text.empty()) return;
    ansi_.Feed(text, *this);
    Trim(true);
    for (size_t i = 0; i < listeners_.size(); ++i) listeners_[i]->Appended();
}

void OutputBuffer::Text(std::string_view run)
{
    // The engine's text becomes UTF-8 here; ASCII, the bulk of any stream, is taken as is.
    if (!IsAscii(run)) {
        decoded_.clear();
        if (!engineUtf8_)
            AppendWindows1252AsUtf8(decoded_, run);
        else if (IsValidUtf8(run))
            decoded_.assign(run);
        else
            decoded_ = ValidUtf8(run);
        run = decoded_;
    }
    while (!run.empty()) {
        // A full line ends only when more text comes, so a terminator right after the
        // last byte that fits still ends just that line.
        if (openLength_ >= kMaximumLineLength) LineEnd();
        hasOpen_ = true;
        size_t take = std::min<size_t>(run.size(), kMaximumLineLength - openLength_);
        // A line is broken between characters, never inside one.
        while (take > 0 && take < run.size() &&
               (static_cast<unsigned char>(run[take]) & 0xC0) == 0x80)
            --take;
        if (take == 0) {
            LineEnd();
            continue;
        }
        uint32_t format = CurrentIndex();
        std::memcpy(openText_.get() + openLength_, run.data(), take);
        openLength_ += uint32_t(take);
        // Text in the format of the run before it joins that run: a stream that switches
        // formats without changing them costs no run per switch.
        if (!openRuns_.empty() && openRuns_.back().format == format) {
            openRuns_.back().end = openLength_;
        } else {
            formats_.AddRef(format);
            openRuns_.push_back({openLength_, format});
        }
        run.remove_prefix(take);
    }
}

void OutputBuffer::LineEnd()
{
    EndLine();
    // Trim while scanning, so one large append holds no more lines than the maximum.
    Trim(false);
}

void OutputBuffer::EndLine()
{
    // The runs' references move to the packed line.
    lines_.push_back(OutputLine::Pack(openRuns_, {openText_.get(), openLength_}));
    packedBytes_ += OutputLine::Bytes(openRuns_.size(), openLength_);
    openLength_ = 0;
    openRuns_.clear();
    hasOpen_ = false;
    const uint64_t number = lineBase_ + lines_.size() - 1;
    for (size_t i = 0; i < listeners_.size(); ++i) listeners_[i]->LineEnded(number, lines_.back());
}

void OutputBuffer::Backspace()
{
    // Only the open line: an ended line has been reported to listeners as it was, and the
    // next text starts a new line, so there is nothing on this line to take back.
    if (openLength_ == 0) return;
    const uint32_t length = openLength_;
    openLength_ = uint32_t(PreviousCharacter({openText_.get(), length}, length));
    TextRun& last = openRuns_.back();
    last.end = openLength_;
    uint32_t start = openRuns_.size() > 1 ? openRuns_[openRuns_.size() - 2].end : 0;
    if (last.end == start) {
        formats_.Release(last.format);
        openRuns_.pop_back();
    }
}

void OutputBuffer::Sgr(std::span<const uint32_t> params)
{
    // The state follows the codes even while ANSI is off; only making it current waits.
    bool listed = ApplySgr(params, ansiState_);
    ansiSeen_ = ansiSeen_ || listed;
    if (listed && ansiState_.mask != 0 && ansiEnabled_) PushFormat(ansiState_);
}

void OutputBuffer::ResumeAnsiState()
{
    if (ansiSeen_ && ansiState_.mask != 0 && ansiEnabled_) PushFormat(ansiState_);
}

void OutputBuffer::ReleaseRuns(const OutputLine& line)
{
    for (const TextRun& run : line.Runs()) formats_.Release(run.format);
}

void OutputBuffer::Trim(bool withOpen)
{
    const size_t limit = Limit();
    while (!lines_.empty() && (LineCount() > limit || packedBytes_ > maximumBytes_)) {
        // The oldest line is cold by now; start fetching the next one for the next trim.
        if (lines_.size() > 1) lines_[1].Prefetch();
        const OutputLine& first = lines_.front();
        ReleaseRuns(first);
        packedBytes_ -= OutputLine::Bytes(first.Runs().size(), first.Length());
        lines_.pop_front();
        lineBase_++;
    }
    if (withOpen && hasOpen_ && LineCount() > limit) {
        for (const TextRun& run : openRuns_) formats_.Release(run.format);
        openLength_ = 0;
        openRuns_.clear();
        hasOpen_ = false;
        lineBase_++;
    }
}

void OutputBuffer::Clear()
{
    lineBase_ += LineCount();
    while (!lines_.empty()) {
        ReleaseRuns(lines_.front());
        lines_.pop_front();
    }
    lines_.shrink_to_fit();
    packedBytes_ = 0;
    openLength_ = 0;
    openRuns_.clear();
    hasOpen_ = false;
    // Every reference is gone now, the current format's included.
    formats_.Clear();
    currentIndex_ = FormatTable::kNone;
    current_ = DefaultTextFormat();
    currentHash_ = FormatTable::Hash(current_);
    for (size_t i = 0; i < listeners_.size(); ++i) listeners_[i]->Cleared();
}

size_t OutputBuffer::LineCount() const
{
    return lines_.size() + (hasOpen_ ? 1 : 0);
}

const OutputLine& OutputBuffer::OpenLine() const
{
    OutputLine::Point(openHeader_, openRuns_, {openText_.get(), openLength_});
    return openLine_;
}

const OutputLine* OutputBuffer::Line(uint64_t number) const
{
    if (number < lineBase_ || number - lineBase_ >= LineCount()) return nullptr;
    const uint64_t position = number - lineBase_;
    return position < lines_.size() ? &lines_[position] : &OpenLine();
}

char32_t OutputBuffer::CharacterAt(uint64_t line, uint32_t column) const
{
    const OutputLine* held = Line(line);
    if (!held || column >= held->Length()) return 0;
    return DecodeUtf8At(held->Text(), column).code;
}

std::string OutputBuffer::TextBetween(uint64_t line1, uint32_t column1, uint64_t line2,
                                      uint32_t column2) const
{
    if (line2 < line1 || (line2 == line1 && column2 <= column1) || LineCount() == 0) return {};
    // Only held lines are copied: a selection reaching past either end must not produce a
    // line break for every line number it spans.
    if (line1 < lineBase_) line1 = lineBase_, column1 = 0;
    if (line2 >= End()) line2 = End() - 1, column2 = UINT32_MAX;
    if (line2 < line1) return {};
    auto part = [this](uint64_t number, uint32_t from, uint32_t to) {
        std::string_view text = Line(number)->Text();
        from = std::min<uint32_t>(from, uint32_t(text.size()));
        to = std::min<uint32_t>(to, uint32_t(text.size()));
        return from < to ? text.substr(from, to - from) : std::string_view();
    };
    if (line1 == line2) return std::string(part(line1, column1, column2));
    std::string text(part(line1, column1, UINT32_MAX));
    for (uint64_t number = line1 + 1; number < line2; ++number)
        text.append("\r\n").append(part(number, 0, UINT32_MAX));
    text.append("\r\n").append(part(line2, 0, column2));
    return text;
}

std::optional<OutputBuffer::Word> OutputBuffer::WordAt(uint64_t line, uint32_t column) const
{
    const OutputLine* held = Line(line);
    if (!held || column >= held->Length()) return std::nullopt;
    std::string_view text = held->Text();
    auto inWord = [&](size_t i) { return uint8_t(text[i]) > ' '; };
    if (!inWord(column)) return std::nullopt;
    size_t start = column, end = column + 1;
    while (start > 0 && inWord(start - 1)) --start;
    while (end < text.size() && inWord(end)) ++end;
    return Word{uint32_t(start), uint32_t(end), std::string(text.substr(start, end - start))};
}

size_t OutputBuffer::MemoryUsage() const
{
    return sizeof(*this) + packedBytes_ + lines_.size() * sizeof(OutputLine) + kMaximumLineLength +
           openRuns_.capacity() * sizeof(TextRun) + formats_.MemoryUsage();
}

}  // namespace zel
