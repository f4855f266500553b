// FormatTable against a model: while a format is held, acquiring an equal one gives the same
// index; nothing held means nothing stored; churn does not grow the table.
#include "display/FormatTable.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <vector>

namespace zel {
namespace {

TEST(FormatTable, InternsWhileHeldAndForgetsWhenReleased)
{
    // A universe larger than the table's first size, with formats that differ only in the
    // face too, so probes collide and deletions have to repair runs of slots.
    std::vector<TextFormat> universe;
    for (uint32_t i = 0; i < 400; ++i) {
        TextFormat f = DefaultTextFormat();
        f.textColor = i % 200;
        f.SetFace(i < 200 ? "Courier New" : "Mono");
        universe.push_back(f);
    }
    std::mt19937 random(99);
    FormatTable table;
    std::map<size_t, std::pair<uint32_t, int>> held;  // universe position: index, count
    size_t settled = 0;
    for (int step = 0; step < 200000; ++step) {
        const size_t which = random() % universe.size();
        auto found = held.find(which);
        // Hold up to about half the universe, so the table both grows and shrinks.
        if (found == held.end() || (random() % 2 && held.size() < universe.size() / 2)) {
            const uint32_t index = table.Acquire(universe[which]);
            if (found != held.end()) {
                ASSERT_EQ(index, found->second.first) << step;
                found->second.second++;
            } else {
                for (const auto& [other, entry] : held) ASSERT_NE(entry.first, index) << step;
                held[which] = {index, 1};
            }
        } else {
            table.Release(found->second.first);
            if (--found->second.second == 0) held.erase(found);
        }
        ASSERT_EQ(table.Size(), held.size()) << step;
        if (step % 1000 == 0) {
            for (const auto& [position, entry] : held)
                ASSERT_EQ(table.Get(entry.first), universe[position]) << step;
        }
        if (step == 20000) settled = table.MemoryUsage();
    }
    EXPECT_LE(table.MemoryUsage(), settled);
    for (auto& [position, entry] : held)
        while (entry.second-- > 0) table.Release(entry.first);
    EXPECT_EQ(table.Size(), 0u);
}

}  // namespace
}  // namespace zel
