#include "net/ReceivedBytes.h"

#include "net/Telnet.h"

namespace zel {

ReceivedBytes::ReceivedBytes(ConnectionClient& client, ReceiveChannel& channel)
    : client_(client), parser_(*this), negotiator_(client, channel), incoming_(client, channel)
{
}

void ReceivedBytes::Read(std::string_view bytes)
{
    // Logged before anything is done with them: what actions send in answer comes after.
    client_.LogReceived(bytes);
    incoming_.BeginRead();
    parser_.Feed(bytes);
    incoming_.EndOfRead();
}

void ReceivedBytes::EndOfStream()
{
    parser_.Reset();
    incoming_.EndOfStream();
}

void ReceivedBytes::Command(uint8_t command)
{
    if (command == telnet::kGa || command == telnet::kEor) {
        incoming_.PromptMark();
    } else {
        incoming_.Command();
    }
}

// Text before a command is handed on first, so that text and replies keep their order.
void ReceivedBytes::Negotiate(uint8_t verb, uint8_t option)
{
    incoming_.Command();
    negotiator_.Negotiate(verb, option);
}

void ReceivedBytes::Subnegotiation(uint8_t option, std::string_view payload)
{
    incoming_.Command();
    negotiator_.Subnegotiation(option, payload);
}

}  // namespace zel
