// Telnet negotiation byte for byte: what the server sends in, what comes back on the wire.
#include <gtest/gtest.h>

#include "HeadlessRun.h"
#include "NetTestClient.h"
#include "WaitUntil.h"

namespace zel::test {
namespace {

std::string Bytes(std::initializer_list<int> values)
{
    std::string out;
    for (int v : values) out += char(v);
    return out;
}

// DO SUPPRESS-GO-AHEAD is always refused, so its answer marks where the replies to what
// was sent before it end.
const std::string kMarker = Bytes({255, 253, 3});
const std::string kMarkerReply = Bytes({255, 252, 3});

class Telnet : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(t.Connect()); }
    // Expects the reply to the marker next: nothing else was sent since the last check.
    void ExpectNothingMore()
    {
        t.server.Send(kMarker);
        ++markers_;
        EXPECT_EQ(t.server.Receive(kMarkerReply.size()), kMarkerReply);
    }
    // Sends `in` and expects exactly `reply` back, and nothing more.
    void ExpectReply(const std::string& in, const std::string& reply)
    {
        t.server.Send(in);
        EXPECT_EQ(t.server.Receive(reply.size()), reply);
        ExpectNothingMore();
    }
    NetTestClient t;
    int markers_ = 0;  // each one's reply is counted as sent
};

TEST_F(Telnet, EveryRequestIsAnsweredPassively)
{
    ExpectReply(Bytes({255, 251, 0}), Bytes({255, 253, 0}));  // WILL BINARY: DO
    ExpectReply(Bytes({255, 251, 3}), Bytes({255, 254, 3}));  // WILL other: DONT
    ExpectReply(Bytes({255, 252, 3}), Bytes({255, 254, 3}));  // WONT: DONT
    ExpectReply(Bytes({255, 253, 3}), Bytes({255, 252, 3}));  // DO other: WONT
    ExpectReply(Bytes({255, 254, 1}), Bytes({255, 252, 1}));  // DONT: WONT
    ExpectReply(Bytes({255, 253, 24}), Bytes({255, 251, 24}));
    ExpectReply(Bytes({255, 250, 24, 1, 255, 240}) + "after\r\n",
                Bytes({255, 250, 24, 0}) + "vt100" + Bytes({255, 240}));
    EXPECT_TRUE(t.WaitForOutput("after\n"));
    // Only the verb replies are counted as sent: the five above and the markers'. The end of
    // the network thread makes the count final.
    t.Run("|disconnect");
    EXPECT_EQ(t.client.GetConnection().BytesSent(), (5 + markers_) * 3);
}

TEST_F(Telnet, WindowSizeGoesOutWithDoubledIac)
{
    t.client.SetViewSize(80, 24);
    ExpectReply(Bytes({255, 253, 31}), Bytes({255, 251, 31, 255, 250, 31, 0, 80, 0, 24, 255, 240}));
    t.client.SetViewSize(255, 511);
    const std::string size = Bytes({255, 250, 31, 0, 255, 255, 1, 255, 255, 255, 240});
    t.Run("|telnet naws");
    EXPECT_EQ(t.server.Receive(size.size()), size);
    EXPECT_TRUE(t.Output().ends_with("TELNET window size set to 255 columns, 511 rows\n"));

    // autonaws sends on every layout, changed size or not; without it a layout sends nothing,
    // so the size from the command comes next.
    t.client.ChildrenLaidOut();
    t.Run("|telnet naws");
    EXPECT_EQ(t.server.Receive(size.size()), size);
    t.Run("|option autonaws on");
    t.client.ChildrenLaidOut();
    t.client.ChildrenLaidOut();
    EXPECT_EQ(t.server.Receive(2 * size.size()), size + size);
    ExpectNothingMore();
}

TEST_F(Telnet, ServerEchoHidesTypedTextFromOutputHistoryAndLog)
{
    // A folder of this run's own: suites run side by side must not share the log.
    const TempFolder folder("zel-telnet-echo");
    const std::string log = folder / "session.log";
    t.Run("|log " + log);
    ExpectReply("Password: " + Bytes({255, 251, 1}), Bytes({255, 253, 1}));
    // The reply goes out before the switch.
    EXPECT_TRUE(WaitUntil([&] { return t.client.ServerEcho(); }));
    EXPECT_TRUE(WaitUntil([&] { return t.host.Last("stars") == "stars on"; }));
    t.Run("sesame");
    EXPECT_EQ(t.server.ReceiveUntil("\r\n"), "sesame\r\n");
    EXPECT_EQ(t.Output().find("sesame"), std::string::npos);
    for (const auto& line : t.client.History().Lines()) EXPECT_NE(line, "sesame");

    ExpectReply(Bytes({255, 252, 1}) + "\r\nWelcome\r\n", Bytes({255, 254, 1}));
    EXPECT_TRUE(WaitUntil([&] { return !t.client.ServerEcho(); }));
    EXPECT_TRUE(WaitUntil([&] { return t.host.Last("stars") == "stars off"; }));
    t.Run("look");
    EXPECT_EQ(t.server.ReceiveUntil("\r\n"), "look\r\n");
    t.Run("|log");
    // The password is in the log as stars; received bytes are all there, IAC included.
    EXPECT_EQ(ReadWholeFile(log), "Password: " + Bytes({255, 251, 1}) + kMarker + "******\r\n" +
                                      Bytes({255, 252, 1}) + "\r\nWelcome\r\n" + kMarker +
                                      "look\r\n");

    // The connection's end switches server echo off.
    t.server.Send(Bytes({255, 251, 1}));
    EXPECT_EQ(t.server.Receive(3), Bytes({255, 253, 1}));
    ASSERT_TRUE(WaitUntil([&] { return t.host.Last("stars") == "stars on"; }));
    t.server.CloseClient();
    EXPECT_TRUE(t.WaitForOutput(" closed\n"));
    EXPECT_TRUE(WaitUntil([&] { return !t.client.ServerEcho(); }));
    EXPECT_TRUE(WaitUntil([&] { return t.host.Last("stars") == "stars off"; }));
}

TEST_F(Telnet, CommandsSplitAcrossReadsAndTextAroundThem)
{
    const auto received = [&] { return t.client.GetConnection().BytesReceived(); };
    // An IAC at the end of a read: the rest of the command is read before going on.
    const std::string first = "before" + Bytes({255});
    t.server.Send(first);
    ASSERT_TRUE(WaitUntil([&] { return received() == int32_t(first.size()); }));
    t.server.Send(Bytes({251, 3}) + "after\r\n");
    EXPECT_EQ(t.server.Receive(3), Bytes({255, 254, 3}));
    EXPECT_TRUE(t.WaitForOutput("beforeafter\n"));

    // GA between texts: both shown, nothing sent, the byte after GA kept.
    t.server.Send("one" + Bytes({255, 249}) + "two\r\n");
    EXPECT_TRUE(t.WaitForOutput("onetwo\n"));
    // A doubled IAC is one data byte (ÿ in Windows-1252).
    t.server.Send("a" + Bytes({255, 255}) + "b\r\n");
    EXPECT_TRUE(
        t.WaitForOutput("a\xC3\xBF"
                        "b\n"));
    // A subnegotiation of another option is skipped, also when split, and not answered.
    const int32_t before = received();
    const std::string opening = "x" + Bytes({255, 250, 201}) + "Core.Hello {}";
    t.server.Send(opening);
    ASSERT_TRUE(WaitUntil([&] { return received() == before + int32_t(opening.size()); }));
    t.server.Send("more" + Bytes({255, 255, 255, 240}) + "y\r\n");
    EXPECT_TRUE(t.WaitForOutput("xy\n"));
    ExpectNothingMore();
}

TEST_F(Telnet, AFloodOfRequestsGetsOneReplyEach)
{
    std::string flood;
    for (int i = 0; i < 5000; ++i) flood += Bytes({255, 253, 1, 255, 251, 5});
    std::string expected;
    for (int i = 0; i < 5000; ++i) expected += Bytes({255, 252, 1, 255, 254, 5});
    ExpectReply(flood + "done\r\n", expected);
    EXPECT_TRUE(t.WaitForOutput("done\n"));
}

TEST_F(Telnet, TheTelnetCommand)
{
    t.Run("|telnet term xterm-256color");
    const std::string type = Bytes({255, 250, 24, 0}) + "xterm-256color" + Bytes({255, 240});
    EXPECT_EQ(t.server.Receive(type.size()), type);
    EXPECT_TRUE(t.Output().ends_with("TELNET terminal set to 'xterm-256color'\n"));
    // The server's own request is still answered with the one type.
    ExpectReply(Bytes({255, 250, 24, 1, 255, 240}),
                Bytes({255, 250, 24, 0}) + "vt100" + Bytes({255, 240}));
    t.Run("|telnet NAWS");
    EXPECT_TRUE(t.Output().ends_with("TELNET window size set to 80 columns, 24 rows\n"));
    t.Run("|telnet ayt");
    EXPECT_TRUE(t.Output().ends_with("Unknown TELNET command: ayt\n"));
    t.Run("|disconnect");
    t.Run("|telnet naws");
    EXPECT_TRUE(t.Output().ends_with("Not connected\n"));
}

}  // namespace
}  // namespace zel::test
