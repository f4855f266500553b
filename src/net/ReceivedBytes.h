// ReceivedBytes: the stages that the server's bytes pass through, wired in order: each read
// goes to the session log as it came, then through TelnetParser, whose events go to the
// TelnetNegotiator (replies) and to IncomingText (text, commands, prompts). Room is left
// before the parser for a stage that decompresses. It owns no socket: the connection's
// network thread and StreamReplay push reads into it, and decide when the line wait has
// passed. Runs on that one thread.
#pragma once

#include <string_view>

#include "net/ConnectionClient.h"
#include "net/IncomingText.h"
#include "net/ReceiveChannel.h"
#include "net/TelnetNegotiator.h"
#include "net/TelnetParser.h"

namespace zel {

class ReceivedBytes : private TelnetParser::Sink {
public:
    ReceivedBytes(ConnectionClient& client, ReceiveChannel& channel);

    // One read from the server.
    void Read(std::string_view bytes);
    // An unended line is held: the caller waits at most the line wait for the next read,
    // and calls LineWaitPassed when none came.
    bool HoldsLine() const { return incoming_.HoldsLine(); }
    void LineWaitPassed() { incoming_.LineWaitPassed(); }
    // The stream ended: what is cut off by its end is dropped, the held line handed on.
    void EndOfStream();

private:
    void Text(std::string_view run) override { incoming_.Text(run); }
    void Command(uint8_t command) override;
    void Negotiate(uint8_t verb, uint8_t option) override;
    void Subnegotiation(uint8_t option, std::string_view payload) override;

    ConnectionClient& client_;
    TelnetParser parser_;
    TelnetNegotiator negotiator_;
    IncomingText incoming_;
};

}  // namespace zel
