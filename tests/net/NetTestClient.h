// A client wired to a real loopback server for the connection tests. The network thread
// prints and calls the host while the test thread looks, so the host records under a lock
// and the output is read under OutputLock. Every wait is bounded.
#pragma once

#include <chrono>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "WaitUntil.h"
#include "demo/LoopbackServer.h"
#include "engine/ClientWindow.h"
#include "modules/AllModules.h"

namespace zel::test {

using namespace std::chrono_literals;

class ThreadSafeHost : public NullHost {
public:
    void SetStatusText(int part, std::string_view text) override
    {
        Record("status " + std::to_string(part) + " " + std::string(text));
    }
    void SetPromptLine(std::string_view text, bool shown) override
    {
        Record("prompt " + std::string(shown ? "shown " : "hidden ") + std::string(text));
    }
    void SetInputPasswordMode(bool on) override { Record(on ? "stars on" : "stars off"); }
    void LayoutChildren() override { Record("layout"); }

    std::vector<std::string> Calls()
    {
        std::scoped_lock lock(mutex_);
        return calls_;
    }
    std::string Last(std::string_view prefix)
    {
        std::scoped_lock lock(mutex_);
        for (auto it = calls_.rbegin(); it != calls_.rend(); ++it)
            if (it->starts_with(prefix)) return *it;
        return {};
    }
    void Clear()
    {
        std::scoped_lock lock(mutex_);
        calls_.clear();
    }

private:
    void Record(std::string call)
    {
        std::scoped_lock lock(mutex_);
        calls_.push_back(std::move(call));
    }
    std::mutex mutex_;
    std::vector<std::string> calls_;
};

class NetTestClient {
public:
    // Runs a typed line, as from the input line.
    void Run(std::string_view line) { client.ExecuteLine(line, true, true); }

    std::string Endpoint() const { return "127.0.0.1 " + std::to_string(server.Port()); }
    // Connects to the loopback server and takes the connection there.
    bool Connect()
    {
        Run("|connect " + Endpoint());
        return server.Accept(kWaitLimit);
    }

    // Every line held, each followed by '\n', then the open line.
    std::string Output()
    {
        std::scoped_lock lock(client.OutputLock());
        const OutputBuffer& out = client.Output();
        std::string text;
        for (uint64_t n = out.LineBase(); n < out.End(); ++n) {
            const OutputLine* line = out.Line(n);
            text.append(line->Text());
            if (line->Ended()) text += '\n';
        }
        return text;
    }
    bool WaitForOutput(std::string_view needle, std::chrono::milliseconds timeout = kWaitLimit)
    {
        return WaitForCount(needle, 1, timeout);
    }
    // Until `needle` occurs at least `count` times.
    bool WaitForCount(std::string_view needle, size_t count,
                      std::chrono::milliseconds timeout = kWaitLimit)
    {
        return WaitUntil([&] { return Count(needle) >= count; }, timeout);
    }
    size_t Count(std::string_view needle)
    {
        const std::string text = Output();
        size_t count = 0;
        for (size_t at = text.find(needle); at != std::string::npos; at = text.find(needle, at + 1))
            ++count;
        return count;
    }

    demo::LoopbackServer server;
    ThreadSafeHost host;
    ClientWindow client{host, AllModules()};
};

}  // namespace zel::test
