// The session log: raw received bytes and sent lines, appended to one file.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "HeadlessRun.h"
#include "NetTestClient.h"
#include "WaitUntil.h"

namespace zel::test {
namespace {

class SessionLog : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir_ = std::filesystem::path(::testing::TempDir()) /
               ("zel-log-" + std::to_string(getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }
    std::string Path(const std::string& name) { return (dir_ / name).string(); }

    std::filesystem::path dir_;
    NetTestClient t;
};

TEST_F(SessionLog, OpeningClosingAndAppending)
{
    const std::string first = Path("first log.txt"), second = Path("second.txt");
    std::ofstream(second) << "kept\n";
    t.Run("|log " + first);
    EXPECT_TRUE(t.Output().ends_with("Logging to '" + first + "'\n"));
    t.Run("not sent");
    t.Run("|log " + second);
    EXPECT_TRUE(t.Output().ends_with("Logging to '" + second + "'\n"));
    t.Run("appended");
    t.Run("|log");
    EXPECT_TRUE(t.Output().ends_with("Log closed\n"));
    t.Run("|log");
    EXPECT_TRUE(t.Output().ends_with("Log closed\n"));
    t.Run("after");
    // Lines typed while not connected are logged with their line end; the name keeps its
    // inner space; an existing file is appended to.
    EXPECT_EQ(ReadWholeFile(first), "not sent\r\n");
    EXPECT_EQ(ReadWholeFile(second), "kept\nappended\r\n");
}

TEST_F(SessionLog, ReceivedBlocksAreLoggedWithEveryByte)
{
    const std::string log = Path("raw.log");
    t.Run("|log " + log);
    ASSERT_TRUE(t.Connect());
    const std::string block = "\x1b[1;31mred\x1b[0m\r\n\xff\xfb\x03tail\a\r\n";
    t.server.Send(block);
    EXPECT_TRUE(t.WaitForOutput("tail\n"));
    // An escape sequence cut by the read, completed by a later read: still once, in order.
    const int32_t before = t.client.GetConnection().BytesReceived();
    t.server.Send("x\x1b[3");
    ASSERT_TRUE(WaitUntil([&] { return t.client.GetConnection().BytesReceived() == before + 4; }));
    t.server.Send("2my\r\n");
    EXPECT_TRUE(t.WaitForOutput("xy\n"));
    t.Run("|send typed");
    t.server.Receive(3 + 5);
    t.Run("|log");
    EXPECT_EQ(ReadWholeFile(log), block + "x\x1b[32my\r\ntyped");
}

// Received bytes are logged as they are read, before actions answer them: an automatic
// logon's answers follow the prompts they answer.
TEST_F(SessionLog, AnswersFollowWhatTheyAnswer)
{
    const std::string log = Path("logon.log");
    t.Run("|log " + log);
    t.Run("|session add world 127.0.0.1 " + std::to_string(t.server.Port()) +
          " gandalf {^By what name} {mellon} {^Password:}");
    t.Run("|connect world");
    ASSERT_TRUE(t.server.Accept());
    t.server.Send("Welcome!\r\nBy what name shall you be known? \xff\xf9");
    EXPECT_EQ(t.server.ReceiveUntil("\r\n"), "gandalf\r\n");
    t.server.Send("\r\nPassword: \xff\xf9");
    EXPECT_EQ(t.server.ReceiveUntil("\r\n"), "mellon\r\n");
    t.Run("|log");
    EXPECT_EQ(ReadWholeFile(log),
              "Welcome!\r\nBy what name shall you be known? \xff\xf9gandalf\r\n\r\nPassword: "
              "\xff\xf9******\r\n");
}

TEST_F(SessionLog, AFileThatCannotBeOpenedLosesNoText)
{
    t.Run("|log " + Path("one.log"));
    t.Run("|log " + dir_.string());
    EXPECT_TRUE(t.Output().ends_with("Unable to log to '" + dir_.string() + "'\n"));
    t.Run("|log " + Path("missing/folder/x.log"));
    EXPECT_TRUE(t.Output().ends_with("Unable to log to '" + Path("missing/folder/x.log") + "'\n"));
    ASSERT_TRUE(t.Connect());
    t.server.Send("still shown\r\n");
    EXPECT_TRUE(t.WaitForOutput("still shown\n"));
    t.Run("later");
    // The first log was closed by the failed open and got nothing more.
    EXPECT_EQ(ReadWholeFile(Path("one.log")), "");
}

}  // namespace
}  // namespace zel::test
