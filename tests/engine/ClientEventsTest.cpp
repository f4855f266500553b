// The event point: received lines and prompts, sent lines and connection changes reach
// every observer once, in order.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestClient.h"
#include "engine/RecordingObserver.h"
#include "net/StreamReplay.h"

namespace zel {
namespace {

using test::RecordingObserver;

TEST(ClientEvents, ReceivedTextIsPublishedAsWholeLinesToEveryObserver)
{
    test::TestClient t;
    RecordingObserver first, second;
    t.client.Events().Add(&first);
    t.client.Events().Add(&second);
    t.Run("|receive one\\r\\ntw");
    t.Run("|receive o\\nthree\\n");
    t.Run("|action add hp {^HP} {|receive inner\\n}");
    t.Run("|receive HP\\n");  // what an action's command feeds back is not received text
    const std::vector<std::string> expected = {"line one", "line two", "line three", "line HP"};
    EXPECT_EQ(first.Events(), expected);
    EXPECT_EQ(second.Events(), expected);

    t.client.Events().Remove(&second);
    t.Run("|receive four\\n");
    EXPECT_EQ(first.Events().back(), "line four");
    EXPECT_EQ(second.Events().size(), expected.size());
    t.client.Events().Remove(&first);
}

TEST(ClientEvents, ReceivedLinesArePublishedWithTheActionsSwitchedOff)
{
    test::TestClient t;
    RecordingObserver observer;
    t.client.Events().Add(&observer);
    t.Run("|action disable");
    StreamReplay replay(t.client);
    replay.Receive("first\r\nsecond\r\n");
    EXPECT_EQ(observer.Events(), (std::vector<std::string>{"line first", "line second"}));
    t.client.Events().Remove(&observer);
}

TEST(ClientEvents, AnEndlessLineIsPublishedInBoundedParts)
{
    test::TestClient t;
    RecordingObserver observer;
    t.client.Events().Add(&observer);
    const std::string chunk(10000, 'x');
    for (int i = 0; i < 20; ++i) t.client.ProcessIncomingText(chunk, true);
    ASSERT_GE(observer.Events().size(), 3u);
    for (const std::string& event : observer.Events()) EXPECT_LE(event.size(), 65536u + 5);
    t.client.Events().Remove(&observer);
}

}  // namespace
}  // namespace zel
