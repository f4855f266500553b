// The event point: received lines and prompts, sent lines and connection changes reach
// every observer once, in order.
#include <gtest/gtest.h>

#include <mutex>
#include <string>
#include <vector>

#include "TestClient.h"

namespace zel {
namespace {

class RecordingObserver : public ClientObserver {
public:
    void ReceivedLine(std::string_view line) override { Add("line " + std::string(line)); }
    void ReceivedPrompt(std::string_view prompt) override { Add("prompt " + std::string(prompt)); }
    void SentLine(std::string_view line) override { Add("sent " + std::string(line)); }
    void ConnectionChanged(ConnectionState state, std::string_view where) override
    {
        Add(std::string(state == ConnectionState::Connected ? "connected " : "closed ") +
            std::string(where));
    }
    void Add(std::string event)
    {
        std::scoped_lock lock(mutex);
        events.push_back(std::move(event));
    }
    std::mutex mutex;
    std::vector<std::string> events;
};

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
    EXPECT_EQ(first.events, expected);
    EXPECT_EQ(second.events, expected);

    t.client.Events().Remove(&second);
    t.Run("|receive four\\n");
    EXPECT_EQ(first.events.back(), "line four");
    EXPECT_EQ(second.events.size(), expected.size());
    t.client.Events().Remove(&first);
}

TEST(ClientEvents, AnEndlessLineIsPublishedInBoundedParts)
{
    test::TestClient t;
    RecordingObserver observer;
    t.client.Events().Add(&observer);
    const std::string chunk(10000, 'x');
    for (int i = 0; i < 20; ++i) t.client.ProcessIncomingText(chunk, true);
    ASSERT_GE(observer.events.size(), 3u);
    for (const std::string& event : observer.events) EXPECT_LE(event.size(), 65536u + 5);
    t.client.Events().Remove(&observer);
}

}  // namespace
}  // namespace zel
