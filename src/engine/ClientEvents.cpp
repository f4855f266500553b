#include "engine/ClientEvents.h"

#include <algorithm>

namespace zel {
namespace {

// A received line longer than this is published in parts, so that a server cannot grow the
// partial line without bound.
constexpr size_t kLineLimit = 65536;

}  // namespace

void ClientEvents::Add(ClientObserver* observer)
{
    std::scoped_lock lock(mutex_);
    observers_.push_back(observer);
}

void ClientEvents::Remove(ClientObserver* observer)
{
    std::scoped_lock lock(mutex_);
    std::erase(observers_, observer);
}

void ClientEvents::PublishReceivedLine(std::string_view line)
{
    Publish([&](ClientObserver& o) { o.ReceivedLine(line); });
}

void ClientEvents::PublishReceivedPrompt(std::string_view prompt)
{
    Publish([&](ClientObserver& o) { o.ReceivedPrompt(prompt); });
}

void ClientEvents::PublishSentLine(std::string_view line)
{
    Publish([&](ClientObserver& o) { o.SentLine(line); });
}

void ClientEvents::PublishConnectionChanged(ConnectionState state, std::string_view where)
{
    Publish([&](ClientObserver& o) { o.ConnectionChanged(state, where); });
}

void ClientEvents::PublishSubnegotiation(uint8_t option, std::string_view payload)
{
    Publish([&](ClientObserver& o) { o.Subnegotiation(option, payload); });
}

void ClientEvents::ReceivedText(std::string_view text)
{
    {
        std::scoped_lock lock(mutex_);
        if (observers_.empty()) return;
    }
    while (!text.empty()) {
        const size_t end = text.find('\n');
        if (end == std::string_view::npos) {
            while (!text.empty()) {
                const size_t room = std::min(text.size(), kLineLimit - partial_.size());
                partial_.append(text.substr(0, room));
                text.remove_prefix(room);
                if (partial_.size() >= kLineLimit) {
                    PublishReceivedLine(partial_);
                    partial_.clear();
                }
            }
            return;
        }
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end + 1);
        if (!partial_.empty()) {
            partial_.append(line.substr(0, kLineLimit));
            line = partial_;
        }
        if (line.ends_with('\r')) line.remove_suffix(1);
        PublishReceivedLine(line);
        partial_.clear();
    }
}

}  // namespace zel
