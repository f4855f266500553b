// Output held back while another program has the terminal stays within its limit.
#include <gtest/gtest.h>

#include <string>

#include "window/TerminalText.h"

namespace zel {
namespace {

TEST(HeldOutput, TheOldestWholeLinesGoFirst)
{
    std::string held;
    for (int i = 0; i < 10; ++i) held += "line " + std::to_string(i) + "\n";  // 7 bytes each
    std::string kept = held;
    EXPECT_EQ(DropOldestLines(kept, held.size()), 0u);
    EXPECT_EQ(kept, held);

    // Over the limit, whole lines go until a quarter of it is free: not one at a time.
    EXPECT_EQ(DropOldestLines(kept, 69), 3u);
    EXPECT_EQ(kept.size(), 49u);
    EXPECT_EQ(DropOldestLines(kept, 40), 3u);
    EXPECT_EQ(kept, "line 6\nline 7\nline 8\nline 9\n");

    // A line longer than the limit goes whole.
    kept = std::string(100, 'x') + "\nlast\n";
    EXPECT_EQ(DropOldestLines(kept, 20), 1u);
    EXPECT_EQ(kept, "last\n");
    EXPECT_EQ(DropOldestLines(kept, 0), 1u);
    EXPECT_EQ(kept, "");
}

}  // namespace
}  // namespace zel
