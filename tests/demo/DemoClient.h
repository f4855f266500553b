// A player's side of the demo world in tests: a real socket, the login steps and commands
// answered up to the next prompt.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "WaitUntil.h"
#include "demo/BufferedSocket.h"

namespace zel::demo::test {

using zel::test::kWaitLimit;

constexpr std::string_view kAskName = "By what name do you wish to be known? \xff\xf9";
constexpr std::string_view kAskPassword = "\xff\xfb\x01Password: \xff\xf9";  // WILL ECHO first
constexpr std::string_view kPasswordTaken = "\xff\xfc\x01\r\n";              // WONT ECHO, CR LF
constexpr std::string_view kPromptEnd = "> \xff\xf9";

inline std::string Prompt(const std::string& name, const std::string& room)
{
    return "<" + name + "> [" + room + "] > \xff\xf9";
}

struct DemoClient {
    explicit DemoClient(uint16_t port) : socket(BufferedSocket::Connect("127.0.0.1", port)) {}

    // Sends a line; returns what came back up to and including `until`.
    std::string Line(std::string_view line, std::string_view until = kPromptEnd)
    {
        EXPECT_TRUE(socket.Send(std::string(line) + "\r\n")) << line;
        return socket.ReceiveUntil(until, kWaitLimit);
    }

    // Logs in and returns the welcome up to the first prompt. Checks each step's bytes.
    std::string LogIn(const std::string& name)
    {
        const std::string greeting = socket.ReceiveUntil(kAskName, kWaitLimit);
        EXPECT_TRUE(greeting.ends_with(kAskName)) << greeting;
        EXPECT_EQ(Line(name, kAskPassword), kAskPassword);
        const std::string welcome = Line("secret");
        EXPECT_TRUE(welcome.starts_with(kPasswordTaken)) << welcome;
        return welcome;
    }

    BufferedSocket socket;
};

}  // namespace zel::demo::test
