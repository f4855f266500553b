// The clear and font commands, driven as typed lines.
#include <gtest/gtest.h>

#include <algorithm>
#include <mutex>
#include <string>
#include <vector>

#include "TestClient.h"

namespace zel {
namespace {

using test::TestClient;
using Calls = std::vector<std::string>;

TEST(DisplayCommands, FontSetsTheNineFormatsAndTheViews)
{
    const std::string face31(31, 'F');
    // An empty face or a height of -1: each format keeps what it had before the last line.
    const struct {
        std::vector<std::string> lines;
        std::string face;
        int32_t height, width, cellHeight, cellWidth;
    } cases[] = {
        {{"|font Arial 2"}, "Arial", 5, 0, 0, 0},
        {{"|font {Lucida Console} 14 8 18 9"}, "Lucida Console", 14, 8, 18, 9},
        {{"|font Arial 20", "|font Mono"}, "Mono", 20, 0, 0, 0},  // the views' height
        {{"|font Mono"}, "Mono", 16, 0, 0, 0},
        {{"|font {} 12"}, "", 12, 0, 0, 0},  // a height alone keeps the face
        {{"|font Arial -3 -4 -5 -6"}, "Arial", 5, 0, 0, 0},
        {{"|font Arial 99999999 99999999 99999999"}, "Arial", 1000, 1000, 1000, 0},
        {{"|font " + std::string(40, 'F') + " 10"}, face31, 10, 0, 0, 0},
        {{"|font"}, "", -1, 0, 0, 0},  // nothing given: nothing changes
        {{"|font Arial 30 7", "|font"}, "", -1, 7, 0, 0},
    };
    for (const auto& c : cases) {
        TestClient t;
        OutputFormatSet before;
        for (const auto& line : c.lines) {
            before = t.client.Formats();
            t.host.calls.clear();
            t.Run(line);
        }
        const std::string label = c.lines.back();
        const bool changes = label != "|font";
        const OutputFormatSet& formats = t.client.Formats();
        for (size_t i = 0; i <= kOutputFormatCount; ++i) {
            const TextFormat& f = i == 0 ? formats.global : formats.named[i - 1];
            const TextFormat& old = i == 0 ? before.global : before.named[i - 1];
            EXPECT_EQ(f.Face(), c.face.empty() ? old.Face() : c.face) << label << " " << i;
            EXPECT_EQ(f.height, c.height < 0 ? old.height : c.height) << label << " " << i;
            EXPECT_EQ(f.width, c.width) << label << " " << i;
        }
        // Only the fields change: which formats set them and which inherit them stays.
        EXPECT_EQ(formats[OutputFormat::Highlight].mask, 0x105u) << label;
        EXPECT_EQ(formats[OutputFormat::Default].mask, 0x78Fu) << label;

        const OutputViewStyle& view = formats.view;
        EXPECT_EQ(view.face, c.face.empty() ? before.view.face : c.face) << label;
        EXPECT_EQ(view.height, c.height < 0 ? before.view.height : c.height) << label;
        EXPECT_EQ(view.width, c.width) << label;
        EXPECT_EQ(view.cellHeight, c.cellHeight) << label;
        EXPECT_EQ(view.cellWidth, c.cellWidth) << label;

        Calls calls = t.host.calls;
        std::erase_if(calls, [](const std::string& call) { return call.starts_with("history"); });
        Calls expected;
        if (changes)
            expected = {"font " + view.face + " " + std::to_string(view.height) + " " +
                            std::to_string(view.width) + " 400",
                        "layout", "repaint"};
        EXPECT_EQ(calls, expected) << label;
        EXPECT_EQ(t.client.SettingsChanged(), c.lines.front() != "|font") << label;
    }
}

TEST(DisplayCommands, ClearEmptiesTheBufferAndKeepsCounting)
{
    TestClient t;
    t.client.Print(OutputFormat::Error, "one\ntwo\nhalf");
    uint64_t end = 0;
    {
        std::scoped_lock lock(t.client.OutputLock());
        end = t.client.Output().End();
        ASSERT_GE(end, 3u);
    }
    t.host.calls.clear();
    t.Run("|clear whatever");
    EXPECT_NE(std::find(t.host.calls.begin(), t.host.calls.end(), "repaint"), t.host.calls.end());

    std::scoped_lock lock(t.client.OutputLock());
    OutputBuffer& out = t.client.Output();
    EXPECT_EQ(out.LineCount(), 0u);
    EXPECT_EQ(out.LineBase(), end);
    EXPECT_EQ(out.CurrentFormat(), DefaultTextFormat());
    out.Append("after\n");
    EXPECT_EQ(t.printed.back().text, "after");
    EXPECT_EQ(out.LineBase(), end);
}

}  // namespace
}  // namespace zel
