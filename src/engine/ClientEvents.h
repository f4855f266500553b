// ClientEvents: the one point where the client publishes what happens, for any number of
// observers (the hosts, screen readers, scripts, D-Bus). Each event is published once, on
// the thread where it happens, in order for that thread.
//
// Lock: the observer list's mutex is held while an event is delivered, and may be taken
// while OutputLock or DefinitionLock is held, never the other way round: an observer must
// not take those locks, add or remove observers, or wait for another thread from a
// notification.
#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace zel {

enum class ConnectionState { Connected, Closed };

class ClientObserver {
public:
    // A line of received text, complete, without its line end, as it came from the server
    // (escape sequences kept) and before the actions saw it.
    virtual void ReceivedLine(std::string_view /*line*/) {}
    // The server's unended last line, taken as a prompt.
    virtual void ReceivedPrompt(std::string_view /*prompt*/) {}
    // A line sent to the server; a secret one (a password) is given as stars.
    virtual void SentLine(std::string_view /*line*/) {}
    // The connection was made or has ended; `where` is "host:port".
    virtual void ConnectionChanged(ConnectionState /*state*/, std::string_view /*where*/) {}
    // A telnet subnegotiation of an option the client does not speak itself.
    virtual void Subnegotiation(uint8_t /*option*/, std::string_view /*payload*/) {}

protected:
    ~ClientObserver() = default;
};

class ClientEvents {
public:
    void Add(ClientObserver* observer);
    void Remove(ClientObserver* observer);

    void PublishReceivedLine(std::string_view line);
    void PublishReceivedPrompt(std::string_view prompt);
    void PublishSentLine(std::string_view line);
    void PublishConnectionChanged(ConnectionState state, std::string_view where);
    void PublishSubnegotiation(uint8_t option, std::string_view payload);

    // Received text in pieces: complete lines are published as they end; the rest waits
    // for the next piece. Called under OutputLock, which also guards the partial line.
    void ReceivedText(std::string_view text);

private:
    template <typename Call>
    void Publish(Call call)
    {
        std::scoped_lock lock(mutex_);
        for (ClientObserver* observer : observers_) call(*observer);
    }

    std::mutex mutex_;
    std::vector<ClientObserver*> observers_;  // guarded by mutex_
    std::string partial_;                     // guarded by the caller's OutputLock
};

}  // namespace zel
