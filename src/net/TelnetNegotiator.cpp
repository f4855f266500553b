#include "net/TelnetNegotiator.h"

#include <string>

#include "net/Telnet.h"

namespace zel {
namespace {

std::string Command(uint8_t verb, uint8_t option)
{
    return {char(telnet::kIac), char(verb), char(option)};
}

}  // namespace

using namespace telnet;

void TelnetNegotiator::Negotiate(uint8_t verb, uint8_t option)
{
    switch (verb) {
        case kWill:
            if (option == kBinary || option == kEcho) {
                Reply(kDo, option);
                if (option == kEcho) client_.SwitchServerEcho(true);
            } else {
                Reply(kDont, option);
            }
            break;
        case kWont:
            Reply(kDont, option);
            if (option == kEcho) client_.SwitchServerEcho(false);
            break;
        case kDo:
            // The offers are sent uncounted, as subnegotiations are.
            if (option == kTerminalType) {
                channel_.SendProtocol(Command(kWill, kTerminalType));
            } else if (option == kNaws) {
                channel_.SendProtocol(Command(kWill, kNaws));
                const ConnectionClient::WindowSize size = client_.TelnetWindowSize();
                channel_.SendProtocol(WindowSizeBytes(size.columns, size.rows));
            } else {
                Reply(kWont, option);
            }
            break;
        default:
            Reply(kWont, option);
            break;
    }
}

void TelnetNegotiator::Subnegotiation(uint8_t option, std::string_view payload)
{
    if (option != kTerminalType) {
        client_.ReceivedSubnegotiation(option, payload);
    } else if (payload.size() == 1 && uint8_t(payload[0]) == kSend) {
        channel_.SendProtocol(TerminalTypeBytes(kTerminalTypeName));
    }
}

void TelnetNegotiator::Reply(uint8_t verb, uint8_t option)
{
    channel_.SendProtocol(Command(verb, option));
    channel_.CountSent(3);
}

}  // namespace zel
