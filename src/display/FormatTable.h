// FormatTable: the output buffer's resolved formats, each stored once and shared by every
// run that uses it. Entries are reference-counted by their users (runs and the buffer's
// current format); an entry no one uses is freed and its index reused, so the table never
// holds more formats than the buffer holds runs, plus one. Not thread-safe: the buffer's
// owner serialises access.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "display/TextFormat.h"

namespace zel {

class FormatTable {
public:
    static constexpr uint32_t kNone = UINT32_MAX;

    // A hash of the whole record; callers that test a format against an entry compute it
    // once and pass it on.
    static uint32_t Hash(const TextFormat& format);
    // The index of an entry equal to `format` (whose hash is `hash`), with one more
    // reference.
    uint32_t Acquire(const TextFormat& format, uint32_t hash);
    uint32_t Acquire(const TextFormat& format) { return Acquire(format, Hash(format)); }
    // True when the entry at `index` holds `format`.
    bool Holds(uint32_t index, const TextFormat& format, uint32_t hash) const
    {
        return entries_[index].hash == hash && entries_[index].format == format;
    }
    void AddRef(uint32_t index) { entries_[index].references++; }
    void Release(uint32_t index)
    {
        if (--entries_[index].references == 0) Free(index);
    }
    // The format at `index`; the default format for an index never handed out.
    const TextFormat& Get(uint32_t index) const;
    // Entries in use.
    size_t Size() const { return used_; }
    size_t MemoryUsage() const;
    void Clear();

private:
    struct Entry {
        TextFormat format;
        uint32_t hash = 0;
        uint32_t references = 0;
    };
    void Grow();
    // Open addressing with linear probing over entry indices; kNone marks a free slot.
    // Kept at most half full, and a power of two in size so a slot is a mask away.
    size_t Find(const TextFormat& format, uint32_t hash) const;
    void Unlink(uint32_t index);
    void Free(uint32_t index);

    std::vector<Entry> entries_;
    std::vector<uint32_t> free_;
    std::vector<uint32_t> slots_;
    size_t used_ = 0;
};

}  // namespace zel
