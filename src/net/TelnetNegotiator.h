// TelnetNegotiator: the client's side of option negotiation, fed the parser's events.
// Passive: every WILL, WONT, DO and DONT is answered, also when it repeats the current
// state; the client agrees to TRANSMIT-BINARY and ECHO from the server, offers
// TERMINAL-TYPE and NAWS when asked, and answers a terminal-type SEND. While the encoding is
// UTF-8 it also agrees to CHARSET and accepts a request that lists UTF-8. It starts nothing
// of its own and keeps no option state: server echo lives in the client.
#pragma once

#include <cstdint>
#include <string_view>

#include "net/ConnectionClient.h"
#include "net/ReceiveChannel.h"

namespace zel {

class TelnetNegotiator {
public:
    // The type sent in answer to a terminal-type request; never changed.
    static constexpr std::string_view kTerminalTypeName = "vt100";

    TelnetNegotiator(ConnectionClient& client, ReceiveChannel& channel)
        : client_(client), channel_(channel)
    {
    }

    void Negotiate(uint8_t verb, uint8_t option);
    void Subnegotiation(uint8_t option, std::string_view payload);

private:
    // A three-byte answer; only these are added to the bytes sent.
    void Reply(uint8_t verb, uint8_t option);
    bool SpeaksUtf8();
    void AnswerCharsetRequest(std::string_view request);

    ConnectionClient& client_;
    ReceiveChannel& channel_;
};

}  // namespace zel
