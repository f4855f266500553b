// OutputLine: one line of the output buffer, as received (never wrapped), with its runs of
// formatted text. A held line is one allocation: an 8-byte header, the runs, then the
// bytes. The buffer's open (last) line is built elsewhere and shown through a borrowed
// header that points at it, so readers see both kinds alike. OutputBuffer.cpp writes lines;
// everyone else only reads them.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "base/Utf8.h"

namespace zel {

struct TextRun {
    uint32_t end;     // one past the run's last character, within the line
    uint32_t format;  // index for OutputBuffer::Format
};

class OutputLine {
public:
    OutputLine() = default;
    OutputLine(OutputLine&& other) noexcept : header_(other.header_) { other.header_ = nullptr; }
    OutputLine& operator=(OutputLine&& other) noexcept;
    OutputLine(const OutputLine&) = delete;
    OutputLine& operator=(const OutputLine&) = delete;
    ~OutputLine();

    // The text as UTF-8 (control characters kept; views show them as a dot).
    std::string_view Text() const;
    // Bytes of Text().
    uint32_t Length() const { return header_ ? header_->length : 0; }
    // Columns the line occupies on the cell grid: wide characters take two, combining
    // marks none (base/Utf8.h).
    uint32_t CellCount() const;
    bool Ended() const { return header_ && (header_->bits & kEnded); }
    // Ordered by end; every run holds at least one character and together they cover the
    // line exactly.
    std::span<const TextRun> Runs() const;
    uint32_t RunStart(size_t run) const { return run == 0 ? 0 : Runs()[run - 1].end; }
    // The run holding `column`, or Runs().size() past the end. Logarithmic.
    size_t RunAt(uint32_t column) const;

    // Hints the cache about a line soon to be read.
    void Prefetch() const { __builtin_prefetch(header_); }

    // For OutputBuffer: a packed, ended line owning one allocation of Bytes(...).
    static OutputLine Pack(std::span<const TextRun> runs, std::string_view text);
    static size_t Bytes(size_t runs, size_t length);

    // For OutputBuffer: an open line reads through a header that points at text and runs
    // held elsewhere; Point aims it again after they change.
    struct Header {
        uint32_t length = 0;
        uint32_t bits = 0;  // run count, kEnded, kBorrowed
    };
    struct BorrowedHeader : Header {
        const TextRun* runs = nullptr;
        const char* text = nullptr;
    };
    static OutputLine Borrow(BorrowedHeader& header);
    static void Point(BorrowedHeader& header, std::span<const TextRun> runs, std::string_view text);

private:
    // Accessors are inline: views and trimming call them for every line they touch.
    static constexpr uint32_t kEnded = 0x80000000;
    static constexpr uint32_t kBorrowed = 0x40000000;
    static constexpr uint32_t kCountMask = 0x3FFFFFFF;

    explicit OutputLine(Header* header) : header_(header) {}
    uint32_t RunCount() const { return header_ ? header_->bits & kCountMask : 0; }

    Header* header_ = nullptr;
};

inline std::string_view OutputLine::Text() const
{
    if (!header_) return {};
    if (header_->bits & kBorrowed)
        return {static_cast<const BorrowedHeader*>(header_)->text, header_->length};
    const auto* runs = reinterpret_cast<const TextRun*>(header_ + 1);
    return {reinterpret_cast<const char*>(runs + RunCount()), header_->length};
}

inline uint32_t OutputLine::CellCount() const
{
    return zel::CellCount(Text());
}

inline std::span<const TextRun> OutputLine::Runs() const
{
    if (!header_) return {};
    if (header_->bits & kBorrowed)
        return {static_cast<const BorrowedHeader*>(header_)->runs, RunCount()};
    return {reinterpret_cast<const TextRun*>(header_ + 1), RunCount()};
}

inline size_t OutputLine::Bytes(size_t runs, size_t length)
{
    return sizeof(Header) + runs * sizeof(TextRun) + length;
}

}  // namespace zel
