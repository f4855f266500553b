// OutputLine: the packed layout [Header][TextRun x count][bytes] and its readers.
#include "display/OutputLine.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

namespace zel {

OutputLine& OutputLine::operator=(OutputLine&& other) noexcept
{
    if (this != &other) {
        this->~OutputLine();
        header_ = other.header_;
        other.header_ = nullptr;
    }
    return *this;
}

OutputLine::~OutputLine()
{
    if (header_ && !(header_->bits & kBorrowed)) std::free(header_);
    header_ = nullptr;
}

size_t OutputLine::RunAt(uint32_t column) const
{
    auto runs = Runs();
    return std::upper_bound(runs.begin(), runs.end(), column,
                            [](uint32_t c, const TextRun& run) { return c < run.end; }) -
           runs.begin();
}

OutputLine OutputLine::Pack(std::span<const TextRun> runs, std::string_view text)
{
    static_assert(alignof(TextRun) <= alignof(Header) && sizeof(Header) % alignof(TextRun) == 0);
    void* block = std::malloc(Bytes(runs.size(), text.size()));
    if (!block) throw std::bad_alloc();
    auto* header = new (block) Header{uint32_t(text.size()), uint32_t(runs.size()) | kEnded};
    auto* runStorage = reinterpret_cast<TextRun*>(header + 1);
    if (!runs.empty()) std::memcpy(runStorage, runs.data(), runs.size_bytes());
    if (!text.empty())
        std::memcpy(reinterpret_cast<char*>(runStorage + runs.size()), text.data(), text.size());
    return OutputLine(header);
}

OutputLine OutputLine::Borrow(BorrowedHeader& header)
{
    header.bits |= kBorrowed;
    return OutputLine(&header);
}

void OutputLine::Point(BorrowedHeader& header, std::span<const TextRun> runs, std::string_view text)
{
    header.length = uint32_t(text.size());
    header.bits = uint32_t(runs.size()) | kBorrowed;
    header.runs = runs.data();
    header.text = text.data();
}

}  // namespace zel
