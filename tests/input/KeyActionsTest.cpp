// Internal actions performed by the client window: the core's part and the host's.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestClient.h"
#include "input/InternalActions.h"

namespace zel {
namespace {

using test::TestClient;
using Lines = std::vector<std::string>;

int Code(InternalAction action)
{
    return int(action);
}

TEST(KeyActions, EveryNamedActionReachesTheHost)
{
    TestClient t;
    for (int code = -1; code <= 256; ++code) {
        t.host.calls.clear();
        const bool named = code > 0 && code < 256 && !ActionName(code).empty();
        EXPECT_EQ(t.client.PerformInternalAction(code), named) << code;
        const Lines expected = named ? Lines{"ui " + std::to_string(code)} : Lines{};
        // Actions with a core part report more calls first; the host's call comes last.
        if (named && !t.host.calls.empty())
            EXPECT_EQ(t.host.calls.back(), expected.back()) << code;
        else
            EXPECT_EQ(t.host.calls, expected) << code;
    }
}

TEST(KeyActions, QuitAsksToClose)
{
    TestClient t;
    t.client.PerformInternalAction(Code(InternalAction::Quit));
    EXPECT_EQ(t.host.calls, (Lines{"close", "ui 112"}));
}

TEST(KeyActions, ExecRunsRecentHistoryEntries)
{
    TestClient t;
    t.RunAll({"|variable add v 1", "|variable add v 2", "|variable add v 3"});
    const auto value = [&t] {
        auto locks = t.client.LockDefinitionsForPrinting();
        return t.client.Variables().Find("v")->value;
    };
    const auto history = t.client.History().Lines();

    t.client.PerformInternalAction(Code(InternalAction::Exec1) + 1);  // EXEC_2
    EXPECT_EQ(value(), "2");
    t.client.PerformInternalAction(Code(InternalAction::Exec1) + 2);  // EXEC_3
    EXPECT_EQ(value(), "1");
    t.client.PerformInternalAction(Code(InternalAction::Exec1));
    EXPECT_EQ(value(), "3");
    t.client.PerformInternalAction(Code(InternalAction::Exec10));  // not that many: nothing
    EXPECT_EQ(value(), "3");
    EXPECT_EQ(t.client.History().Lines(), history);  // not recorded again

    // An empty command goes to the server, echoed, and is not recorded.
    t.printed.clear();
    t.client.PerformInternalAction(Code(InternalAction::ExecEmpty));
    EXPECT_EQ(t.Texts(), (Lines{"", "Not connected"}));
    EXPECT_EQ(t.client.History().Lines(), history);
}

TEST(KeyActions, WindowSizesStepWithinBounds)
{
    const auto inc = Code(InternalAction::ScrollSizeInc);
    const auto dec = Code(InternalAction::ScrollSizeDec);
    const struct {
        std::string setup;
        int action, times;
        int32_t height, width;
        bool changed;
    } cases[] = {
        {"|option scrollpos top", inc, 1, 55, 50, true},
        {"|option scrollpos top", dec, 2, 40, 50, true},
        {"|option scrollpos left", inc, 20, 50, 95, true},
        {"|option scrollpos right", dec, 20, 50, 5, true},
        {"|option scrollpos none", inc, 1, 50, 50, false},
        {"|option scrollheight 100", inc, 1, 100, 50, false},  // beyond the bound: kept
        {"|option scrollheight 100", dec, 1, 95, 50, true},
    };
    for (const auto& c : cases) {
        TestClient t;
        t.Run(c.setup);
        t.client.ClearSettingsChanged();
        t.host.calls.clear();
        for (int i = 0; i < c.times; ++i) t.client.PerformInternalAction(c.action);
        EXPECT_EQ(t.client.GetOptions().scrollHeight, c.height) << c.setup;
        EXPECT_EQ(t.client.GetOptions().scrollWidth, c.width) << c.setup;
        EXPECT_EQ(t.client.SettingsChanged(), c.changed) << c.setup;
        EXPECT_EQ(t.host.Count("layout") > 0, c.changed) << c.setup;
    }

    TestClient t;
    t.Run("|option history 3 5");
    t.client.PerformInternalAction(Code(InternalAction::HistSizeInc));
    EXPECT_EQ(t.client.GetOptions().historyWindow, 4);
    EXPECT_EQ(t.client.GetOptions().historyActive, 6);
    for (int i = 0; i < 10; ++i) t.client.PerformInternalAction(Code(InternalAction::HistSizeDec));
    EXPECT_EQ(t.client.GetOptions().historyWindow, 1);
    EXPECT_EQ(t.client.GetOptions().historyActive, 1);
    EXPECT_EQ(t.Run("|option history").back(),
              "History size is 1 (window) / 1 (active) / 1000 (total)");
}

}  // namespace
}  // namespace zel
