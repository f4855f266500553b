// Telnet negotiation byte for byte: what the server sends in, what comes back on the wire.
#include <gtest/gtest.h>

#include "HeadlessRun.h"
#include "NetTestClient.h"

namespace zel::test {
namespace {

std::string Bytes(std::initializer_list<int> values)
{
    std::string out;
    for (int v : values) out += char(v);
    return out;
}

class Telnet : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(t.Connect()); }
    // Sends `in` and expects exactly `reply` back, and nothing more shortly after.
    void ExpectReply(const std::string& in, const std::string& reply)
    {
        t.server.Send(in);
        EXPECT_EQ(t.server.Receive(reply.size(), 2s), reply);
        EXPECT_EQ(t.server.ReceiveFor(30ms), "");
    }
    NetTestClient t;
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
    // Only the verb replies are counted as sent.
    EXPECT_EQ(t.client.GetConnection().BytesSent(), 5 * 3);
}

TEST_F(Telnet, WindowSizeGoesOutWithDoubledIac)
{
    t.client.SetViewSize(80, 24);
    ExpectReply(Bytes({255, 253, 31}), Bytes({255, 251, 31, 255, 250, 31, 0, 80, 0, 24, 255, 240}));
    t.client.SetViewSize(255, 511);
    t.Run("|telnet naws");
    EXPECT_EQ(t.server.Receive(11, 2s), Bytes({255, 250, 31, 0, 255, 255, 1, 255, 255, 255, 240}));
    EXPECT_TRUE(t.Output().ends_with("TELNET window size set to 255 columns, 511 rows\n"));

    // autonaws sends on every layout, changed size or not.
    t.client.ChildrenLaidOut();
    EXPECT_EQ(t.server.ReceiveFor(30ms), "");
    t.Run("|option autonaws on");
    t.client.ChildrenLaidOut();
    t.client.ChildrenLaidOut();
    EXPECT_EQ(t.server.Receive(22, 2s).size(), 22u);
}

TEST_F(Telnet, ServerEchoHidesTypedTextFromOutputHistoryAndLog)
{
    const std::string log = ::testing::TempDir() + "zel-telnet-echo.log";
    std::remove(log.c_str());
    t.Run("|log " + log);
    ExpectReply("Password: " + Bytes({255, 251, 1}), Bytes({255, 253, 1}));
    EXPECT_TRUE(t.client.ServerEcho());
    EXPECT_EQ(t.host.Last("stars"), "stars on");
    t.Run("sesame");
    EXPECT_EQ(t.server.ReceiveUntil("\r\n"), "sesame\r\n");
    EXPECT_EQ(t.Output().find("sesame"), std::string::npos);
    for (const auto& line : t.client.History().Lines()) EXPECT_NE(line, "sesame");

    ExpectReply(Bytes({255, 252, 1}) + "\r\nWelcome\r\n", Bytes({255, 254, 1}));
    EXPECT_FALSE(t.client.ServerEcho());
    EXPECT_EQ(t.host.Last("stars"), "stars off");
    t.Run("look");
    EXPECT_EQ(t.server.ReceiveUntil("\r\n"), "look\r\n");
    t.Run("|log");
    // The password is in the log as stars; received bytes are all there, IAC included.
    EXPECT_EQ(ReadWholeFile(log), "Password: " + Bytes({255, 251, 1}) + "******\r\n" +
                                      Bytes({255, 252, 1}) + "\r\nWelcome\r\nlook\r\n");

    // The connection's end switches server echo off.
    t.server.Send(Bytes({255, 251, 1}));
    t.server.Receive(3, 2s);
    t.server.CloseClient();
    EXPECT_TRUE(t.WaitForOutput(" closed\n"));
    for (int i = 0; i < 200 && t.client.ServerEcho(); ++i) std::this_thread::sleep_for(5ms);
    EXPECT_FALSE(t.client.ServerEcho());
    EXPECT_EQ(t.host.Last("stars"), "stars off");
}

TEST_F(Telnet, CommandsSplitAcrossReadsAndTextAroundThem)
{
    // An IAC at the end of a read: the rest of the command is read before going on.
    t.server.Send("before" + Bytes({255}));
    std::this_thread::sleep_for(30ms);
    t.server.Send(Bytes({251, 3}) + "after\r\n");
    EXPECT_EQ(t.server.Receive(3, 2s), Bytes({255, 254, 3}));
    EXPECT_TRUE(t.WaitForOutput("beforeafter\n"));

    // GA between texts: both shown, nothing sent, the byte after GA kept.
    t.server.Send("one" + Bytes({255, 249}) + "two\r\n");
    EXPECT_TRUE(t.WaitForOutput("onetwo\n"));
    // A doubled IAC is one data byte.
    t.server.Send("a" + Bytes({255, 255}) + "b\r\n");
    EXPECT_TRUE(
        t.WaitForOutput("a\xff"
                        "b\n"));
    // A subnegotiation of another option is skipped, also when split, and not answered.
    t.server.Send("x" + Bytes({255, 250, 201}) + "Core.Hello {}");
    std::this_thread::sleep_for(30ms);
    t.server.Send("more" + Bytes({255, 255, 255, 240}) + "y\r\n");
    EXPECT_TRUE(t.WaitForOutput("xy\n"));
    EXPECT_EQ(t.server.ReceiveFor(30ms), "");
}

TEST_F(Telnet, AFloodOfRequestsGetsOneReplyEach)
{
    std::string flood;
    for (int i = 0; i < 5000; ++i) flood += Bytes({255, 253, 1, 255, 251, 5});
    t.server.Send(flood + "done\r\n");
    std::string expected;
    for (int i = 0; i < 5000; ++i) expected += Bytes({255, 252, 1, 255, 254, 5});
    EXPECT_EQ(t.server.Receive(expected.size(), 5s), expected);
    EXPECT_EQ(t.server.ReceiveFor(50ms), "");
    EXPECT_TRUE(t.WaitForOutput("done\n"));
}

TEST_F(Telnet, TheTelnetCommand)
{
    t.Run("|telnet term xterm-256color");
    EXPECT_EQ(t.server.Receive(21, 2s),
              Bytes({255, 250, 24, 0}) + "xterm-256color" + Bytes({255, 240}));
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
