// The demo world served in-process (DemoServer) and played over real sockets: login with
// echo off for the password, walking, flooding, garbage input, several players at once, and
// stopping with players connected.
#include <gtest/gtest.h>

#include <memory>

#include "DemoClient.h"
#include "demo/DemoServer.h"
#include "demo/MudStream.h"

namespace zel::demo {
namespace {

using test::DemoClient;
using test::kWaitLimit;
using test::Prompt;
using namespace std::chrono_literals;
using namespace std::string_literals;

TEST(DemoWorld, LogsInWithTheEchoOffForThePassword)
{
    DemoServer server;
    DemoClient client(server.Port());
    const std::string greeting = client.socket.ReceiveUntil(test::kAskName, kWaitLimit);
    EXPECT_TRUE(greeting.ends_with(test::kAskName)) << greeting;
    EXPECT_NE(greeting.find("\x1b[1;33m"), std::string::npos) << "a coloured banner";

    // Bad names are asked again; what the client negotiates meanwhile is ignored.
    EXPECT_EQ(client.Line("", test::kAskName), test::kAskName);
    EXPECT_EQ(
        client.Line("R2D2", test::kAskName),
        "A name is 2 to 12 letters, nothing else. Try again.\r\n" + std::string(test::kAskName));
    EXPECT_EQ(client.Line("\xff\xfd\x18\xff\xfa\x1f\x00\x50\x00\x18\xff\xf0"
                          "bOB"s,
                          test::kAskPassword),
              test::kAskPassword);

    // With the echo off the answer is not shown; an empty one is asked again.
    EXPECT_EQ(client.Line("\xff\xfd\x01", "\xff\xf9"), "\r\nPassword: \xff\xf9");
    const std::string welcome = client.Line("secret");
    EXPECT_TRUE(welcome.starts_with(test::kPasswordTaken)) << welcome;
    EXPECT_NE(welcome.find("Welcome to the village, Bob!"), std::string::npos) << welcome;
    EXPECT_NE(welcome.find("\x1b[1;36mThe Village Square of Bree-on-the-Hill\x1b[0m\r\n"),
              std::string::npos)
        << welcome;
    EXPECT_TRUE(welcome.ends_with("\r\n" + Prompt("Bob", "Square"))) << welcome;
}

TEST(DemoWorld, WalksTheRooms)
{
    DemoServer server;
    DemoClient client(server.Port());
    client.LogIn("walker");
    const struct {
        std::string_view typed, shows, room;
    } steps[] = {
        {"n", "The Common Room of the Sleeping Dragon Inn", "Inn"},
        {"west", "Alas, you cannot go that way.", "Inn"},
        {"D", "A Damp Cellar beneath the Sleeping Dragon Inn", "Cellar"},
        {"up", "The Common Room", "Inn"},
        {"  so  ", "The Village Square", "Square"},
        {"e", "[ Exits: west ]", "Market"},
        {"w", "The Village Square", "Square"},
        {"s", "An Old Stone Bridge", "Bridge"},
        {"south", "A grey wolf watches you", "Forest"},
        {"look", "Edge of the Old Forest", "Forest"},
        {"l", "[ Exits: north ]", "Forest"},
        {"xyzzy", "Huh?\r\n", "Forest"},
        {"flo", "Huh?\r\n", "Forest"},  // flood is never abbreviated
        {"say", "Say what?", "Forest"},
        {"sa hello, wolf", "\x1b[1;35mYou say 'hello, wolf'\x1b[0m", "Forest"},
        {"help", "flood [kilobytes]", "Forest"},
        {"who", "\x1b[1;37m  Walker\x1b[0m\r\n1 player online.", "Forest"},
        {"", "", "Forest"},
    };
    for (const auto& step : steps) {
        const std::string reply = client.Line(step.typed);
        EXPECT_NE(reply.find(step.shows), std::string::npos) << step.typed << ": " << reply;
        EXPECT_TRUE(reply.ends_with(Prompt("Walker", std::string(step.room))))
            << step.typed << ": " << reply;
    }
}

TEST(DemoWorld, FloodSendsTheAskedKilobytesThenAPrompt)
{
    DemoServer server;
    DemoClient client(server.Port());
    client.LogIn("flo");
    const std::string prompt = "\r\n" + Prompt("Flo", "Square");
    const std::string flood = client.Line("flood 10", prompt);
    ASSERT_EQ(flood.size(), 10 * 1024 + prompt.size());
    EXPECT_EQ(flood.substr(0, 10 * 1024), GenerateMudStream(10 * 1024, 1));

    const std::string again = client.Line("flood 1", prompt);
    ASSERT_EQ(again.size(), 1024 + prompt.size());
    EXPECT_NE(again.substr(0, 1024), flood.substr(0, 1024)) << "each flood its own text";

    for (const char* bad : {"flood 0", "flood 65537", "flood lots", "flood 5k"})
        EXPECT_EQ(client.Line(bad), "Usage: flood [kilobytes], 1 to 65536 (default 256).\r\n" +
                                        Prompt("Flo", "Square"))
            << bad;
}

TEST(DemoWorld, SurvivesGarbageAndVeryLongLines)
{
    DemoServer server;
    {
        // Every byte value, stray telnet commands and an unfinished subnegotiation, then gone
        // with a reset before logging in.
        DemoClient vandal(server.Port());
        std::string garbage;
        for (int b = 0; b < 255; ++b) garbage += char(b);
        vandal.socket.Send(garbage + "\xff\xfb\xff\xfe\xff\xfa\x18");
        vandal.socket.Reset();
    }
    DemoClient client(server.Port());
    client.LogIn("sturdy");
    std::string garbage = "\xff\xfa\x18junk\xff\xf0\xff\xff\x01\x02\x1b[999;m\x7f\x80\xfe";
    EXPECT_TRUE(client.Line(garbage).ends_with("Huh?\r\n" + Prompt("Sturdy", "Square")));
    const std::string longLine(100000, 'x');
    EXPECT_EQ(client.Line(longLine), "Huh?\r\n" + Prompt("Sturdy", "Square"));
    EXPECT_EQ(client.Line("say " + longLine), "\x1b[1;35mYou say '" + std::string(4096 - 4, 'x') +
                                                  "'\x1b[0m\r\n" + Prompt("Sturdy", "Square"))
        << "a line is cut at 4096 bytes";
    EXPECT_NE(client.Line("look").find("The Village Square"), std::string::npos);
    EXPECT_NE(client.Line("who").find("1 player online."), std::string::npos)
        << "the vandal never joined";
}

TEST(DemoWorld, PlayersMeetTalkAndLeave)
{
    DemoServer server;
    DemoClient alice(server.Port());
    alice.LogIn("alice");
    DemoClient bob(server.Port());
    EXPECT_NE(bob.LogIn("bob").find("\x1b[1;37mAlice is standing here.\x1b[0m"), std::string::npos);
    EXPECT_EQ(alice.socket.ReceiveUntil(test::kPromptEnd, kWaitLimit),
              "\r\nBob has entered the village.\r\n" + Prompt("Alice", "Square"));

    DemoClient impostor(server.Port());
    impostor.socket.ReceiveUntil(test::kAskName, kWaitLimit);
    EXPECT_EQ(
        impostor.Line("ALICE", test::kAskName),
        "Alice is already in the village. Choose another name.\r\n" + std::string(test::kAskName));

    bob.Line("say hi there");
    EXPECT_EQ(alice.socket.ReceiveUntil(test::kPromptEnd, kWaitLimit),
              "\r\n\x1b[1;37mBob\x1b[1;35m says 'hi there'\x1b[0m\r\n" + Prompt("Alice", "Square"));
    const std::string who = alice.Line("who");
    EXPECT_NE(who.find("  Alice\x1b[0m\r\n\x1b[1;37m  Bob\x1b[0m\r\n2 players online."),
              std::string::npos)
        << who;

    bob.Line("n");
    EXPECT_EQ(alice.socket.ReceiveUntil(test::kPromptEnd, kWaitLimit),
              "\r\nBob leaves north.\r\n" + Prompt("Alice", "Square"));
    alice.Line("say nobody hears this");
    bob.Line("s");
    EXPECT_EQ(alice.socket.ReceiveUntil(test::kPromptEnd, kWaitLimit),
              "\r\nBob arrives from the north.\r\n" + Prompt("Alice", "Square"));

    // Alice talks while Bob's flood is under way: her words follow the flood's prompt.
    const std::string floodPrompt = "\r\n" + Prompt("Bob", "Square");
    ASSERT_TRUE(bob.socket.Send("flood 4096\r\n"));
    std::string flood = bob.socket.Receive(1000, kWaitLimit);
    alice.Line("say are you still there?");
    flood += bob.socket.ReceiveUntil(floodPrompt, kWaitLimit);
    EXPECT_EQ(flood.size(), 4096 * 1024 + floodPrompt.size());
    EXPECT_EQ(bob.socket.ReceiveUntil(test::kPromptEnd, kWaitLimit),
              "\r\n\x1b[1;37mAlice\x1b[1;35m says 'are you still there?'\x1b[0m\r\n" +
                  Prompt("Bob", "Square"));

    EXPECT_EQ(bob.Line("quit", "\r\n"), "\x1b[1;33mGoodbye, Bob. Come back soon!\x1b[0m\r\n");
    EXPECT_TRUE(bob.socket.WaitForClose(kWaitLimit));
    EXPECT_EQ(alice.socket.ReceiveUntil(test::kPromptEnd, kWaitLimit),
              "\r\nBob has left the village.\r\n" + Prompt("Alice", "Square"));
    impostor.socket.Close();
    EXPECT_NE(alice.Line("who").find("1 player online."), std::string::npos);
}

TEST(DemoWorld, StopClosesEveryConnectionPromptly)
{
    auto server = std::make_unique<DemoServer>();
    const uint16_t port = server->Port();
    DemoClient playing(port);
    playing.LogIn("stayer");
    DemoClient flooded(port);
    flooded.LogIn("reader");
    flooded.socket.Send("flood 65536\r\n");  // 64 MB that it reads no more of
    EXPECT_FALSE(flooded.socket.Receive(1, kWaitLimit).empty()) << "the flood is under way";
    DemoClient greeted(port);
    EXPECT_TRUE(greeted.socket.ReceiveUntil(test::kAskName, kWaitLimit).ends_with(test::kAskName));

    const auto start = std::chrono::steady_clock::now();
    server.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - start, 2s);  // the close linger a stop skips
    for (DemoClient* client : {&playing, &greeted})
        EXPECT_TRUE(client->socket.WaitForClose(kWaitLimit));
    EXPECT_FALSE(BufferedSocket::Connect("127.0.0.1", port).Connected());
}

}  // namespace
}  // namespace zel::demo
