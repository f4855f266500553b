// Sessions and the automatic logon against a scripted server.
#include <gtest/gtest.h>

#include <future>

#include "HeadlessRun.h"
#include "NetTestClient.h"
#include "TestClient.h"

namespace zel::test {
namespace {

TEST(Sessions, AddShowListDelete)
{
    TestClient t;
    EXPECT_EQ(t.Run("|session add Main mud.example.org 4000"),
              std::vector<std::string>{"SESSION {Main} added"});
    EXPECT_TRUE(t.client.SettingsChanged());
    EXPECT_EQ(t.Run("|session add Main mud.example.org"),
              std::vector<std::string>{"SESSION {Main} --> mud.example.org:4000 "});
    EXPECT_EQ(t.Run("|session add Other"), std::vector<std::string>{"SESSION {Other} not defined"});
    t.Run("|session add Alt 10.0.0.1 {23} gandalf {^Name:} {s3cret} {^Password:}");
    EXPECT_EQ(t.Run("|session"),
              (std::vector<std::string>{"Defined sessions:", "Alt        --> 10.0.0.1:23 gandalf",
                                        "Main       --> mud.example.org:4000 "}));
    EXPECT_EQ(t.client.Sessions().Find("Alt")->password, "s3cret");
    EXPECT_EQ(t.Run("|session delete"), std::vector<std::string>{"SESSION DELETE <session_name>"});
    EXPECT_EQ(t.Run("|session delete Nobody"),
              std::vector<std::string>{"SESSION {Nobody} removed"});
    EXPECT_TRUE(t.Run("|session add").empty());
    // Names match exactly.
    EXPECT_EQ(t.Run("|connect main"), std::vector<std::string>{"SESSION main not found"});
}

TEST(Sessions, LogonAnswersEachPromptOnceAndHidesThePassword)
{
    NetTestClient t;
    const std::string log = ::testing::TempDir() + "zel-logon-" + std::to_string(getpid());
    std::remove(log.c_str());
    t.Run("|log " + log);
    t.Run("|session add world 127.0.0.1 " + std::to_string(t.server.Port()) +
          " gandalf {^By what name} {mellon;friend} {^Password:}");
    t.Run("|connect world");
    ASSERT_TRUE(t.server.Accept());
    EXPECT_EQ(t.Count("Connecting to"), 0u);  // quiet
    t.server.Send("Welcome!\r\nBy what name shall you be known? ");
    EXPECT_EQ(t.server.ReceiveUntil("\r\n"), "gandalf\r\n");
    t.server.Send("\r\nBy what name again? ");
    t.server.Send("\r\nPassword: \xff\xfb\x01");
    // The password goes as a typed line: split where a typed line would be. It answers the
    // text before the server's WILL ECHO, so it goes before the reply to that.
    EXPECT_EQ(t.server.ReceiveUntil("friend\r\n"), "mellon\r\nfriend\r\n");
    t.server.Send("\xff\xfc\x01\r\nPassword: By what name? ");
    // The unended line shows once the line wait passed and its actions ran. Nothing answers
    // it: the reply to a later DO SGA follows the echo replies directly.
    EXPECT_TRUE(t.WaitForOutput("Password: By what name? "));
    t.server.Send("\xff\xfd\x03");
    EXPECT_EQ(t.server.ReceiveUntil("\xff\xfc\x03"), "\xff\xfd\x01\xff\xfe\x01\xff\xfc\x03");
    EXPECT_EQ(t.client.Actions().Find("temp"), nullptr);
    t.Run("|log");
    const std::string logged = ReadWholeFile(log);
    EXPECT_EQ(logged.find("mellon"), std::string::npos);
    EXPECT_NE(logged.find("gandalf\r\n"), std::string::npos);
    EXPECT_NE(logged.find("******\r\n******\r\n"), std::string::npos);
    EXPECT_EQ(t.Output().find("mellon"), std::string::npos);
}

TEST(Sessions, WithoutLogonDataJustConnects)
{
    NetTestClient t;
    t.Run("|session add plain 127.0.0.1 " + std::to_string(t.server.Port()));
    t.Run("|connect plain");
    ASSERT_TRUE(t.server.Accept());
    EXPECT_TRUE(t.client.Connected());
    EXPECT_EQ(t.client.Actions().Find("temp"), nullptr);
}

TEST(Sessions, StartUpWithASessionName)
{
    demo::LoopbackServer server;
    const std::string port = std::to_string(server.Port());
    auto run = std::async(std::launch::async, [&] {
        return RunZelHeadless("|session add w 127.0.0.1 " + port +
                              " bob Name pw Pass\n|connect w\n");
    });
    ASSERT_TRUE(server.Accept(kWaitLimit));
    server.Send("Name? ");
    EXPECT_EQ(server.ReceiveUntil("\r\n", kWaitLimit), "bob\r\n");
    server.Send("\r\nPass? ");
    EXPECT_EQ(server.ReceiveUntil("\r\n", kWaitLimit), "pw\r\n");
    server.CloseClient();
    ASSERT_EQ(run.wait_for(kWaitLimit), std::future_status::ready);
}

}  // namespace
}  // namespace zel::test
