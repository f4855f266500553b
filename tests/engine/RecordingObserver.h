// An observer of ClientEvents for tests: every event as a line of text, in order, recorded
// under a lock (events come from the network thread).
#pragma once

#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "engine/ClientEvents.h"

namespace zel::test {

class RecordingObserver : public ClientObserver {
public:
    void ReceivedLine(std::string_view line) override { Add("line " + std::string(line)); }
    void ReceivedPrompt(std::string_view prompt) override { Add("prompt " + std::string(prompt)); }
    void SentLine(std::string_view line) override { Add("sent " + std::string(line)); }
    void ConnectionChanged(ConnectionState state, std::string_view where) override
    {
        Add((state == ConnectionState::Connected ? "connected " : "closed ") + std::string(where));
    }
    void Subnegotiation(uint8_t option, std::string_view payload) override
    {
        Add("sb " + std::to_string(option) + " " + std::string(payload));
    }
    std::vector<std::string> Events()
    {
        std::scoped_lock lock(mutex_);
        return events_;
    }

private:
    void Add(std::string event)
    {
        std::scoped_lock lock(mutex_);
        events_.push_back(std::move(event));
    }
    std::mutex mutex_;
    std::vector<std::string> events_;
};

}  // namespace zel::test
