// FormatTable: interning with reference counts over an open-addressing index.
#include "display/FormatTable.h"

#include <cstring>

namespace zel {

uint32_t FormatTable::Hash(const TextFormat& format)
{
    // Independent multiplies over the record's words, so they run in parallel. TextFormat
    // has no padding and SetFace zeroes the face's tail, so equal records hash equal.
    static_assert(sizeof(TextFormat) == 7 * 8 + 4);
    static constexpr uint64_t kMultipliers[7] = {
        0x9E3779B97F4A7C15ull, 0xC2B2AE3D27D4EB4Full, 0x165667B19E3779F9ull, 0xD6E8FEB86659FD93ull,
        0xFF51AFD7ED558CCDull, 0xC4CEB9FE1A85EC53ull, 0x94D049BB133111EBull,
    };
    const auto* bytes = reinterpret_cast<const unsigned char*>(&format);
    uint32_t tail;
    std::memcpy(&tail, bytes + 56, 4);
    uint64_t hash = tail * 0xBF58476D1CE4E5B9ull;
#pragma GCC unroll 7
    for (size_t i = 0; i < 7; ++i) {
        uint64_t word;
        std::memcpy(&word, bytes + 8 * i, 8);
        hash += (word ^ (word >> 29)) * kMultipliers[i];
    }
    return uint32_t(hash >> 32) ^ uint32_t(hash);
}

size_t FormatTable::Find(const TextFormat& format, uint32_t hash) const
{
    const size_t mask = slots_.size() - 1;
    for (size_t slot = hash & mask;; slot = (slot + 1) & mask) {
        const uint32_t index = slots_[slot];
        if (index == kNone) return slot;
        if (entries_[index].hash == hash && entries_[index].format == format) return slot;
    }
}

void FormatTable::Grow()
{
    std::vector<uint32_t> old = std::move(slots_);
    slots_.assign(old.empty() ? 16 : old.size() * 2, kNone);
    for (uint32_t index : old)
        if (index != kNone) slots_[Find(entries_[index].format, entries_[index].hash)] = index;
}

uint32_t FormatTable::Acquire(const TextFormat& format, uint32_t hash)
{
    // No most-recently-used list in front: a coloured stream cycles through more formats
    // than a short list holds, and the probe below is one stored-hash compare on a hit.
    if ((used_ + 1) * 2 > slots_.size()) Grow();
    const size_t slot = Find(format, hash);
    uint32_t index = slots_[slot];
    if (index == kNone) {
        if (!free_.empty()) {
            index = free_.back();
            free_.pop_back();
        } else {
            index = uint32_t(entries_.size());
            entries_.emplace_back();
        }
        entries_[index] = Entry{format, hash, 0};
        slots_[slot] = index;
        used_++;
    }
    entries_[index].references++;
    return index;
}

void FormatTable::Unlink(uint32_t index)
{
    // Backward-shift deletion: later members of the probe run move into the gap, so no
    // tombstones accumulate.
    const size_t mask = slots_.size() - 1;
    size_t gap = Find(entries_[index].format, entries_[index].hash);
    for (size_t slot = (gap + 1) & mask; slots_[slot] != kNone; slot = (slot + 1) & mask) {
        const size_t home = entries_[slots_[slot]].hash & mask;
        // Move it when its home is not within (gap, slot], cyclically.
        if (((slot - home) & mask) >= ((slot - gap) & mask)) {
            slots_[gap] = slots_[slot];
            gap = slot;
        }
    }
    slots_[gap] = kNone;
}

void FormatTable::Free(uint32_t index)
{
    Unlink(index);
    free_.push_back(index);
    used_--;
}

const TextFormat& FormatTable::Get(uint32_t index) const
{
    static const TextFormat kDefault = DefaultTextFormat();
    return index < entries_.size() ? entries_[index].format : kDefault;
}

size_t FormatTable::MemoryUsage() const
{
    return entries_.capacity() * sizeof(Entry) + free_.capacity() * sizeof(uint32_t) +
           slots_.capacity() * sizeof(uint32_t);
}

void FormatTable::Clear()
{
    entries_.clear();
    free_.clear();
    slots_.clear();
    used_ = 0;
}

}  // namespace zel
