#include "net/TelnetNegotiator.h"

#include <algorithm>
#include <string>

#include "base/TextCodec.h"

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
            if (option == kBinary || option == kEcho || (option == kCharset && SpeaksUtf8())) {
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
            } else if (option == kCharset && SpeaksUtf8()) {
                Reply(kWill, option);
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
    if (option == kCharset && SpeaksUtf8() && !payload.empty() &&
        uint8_t(payload[0]) == kCharsetRequest) {
        AnswerCharsetRequest(payload.substr(1));
    } else if (option != kTerminalType) {
        client_.ReceivedSubnegotiation(option, payload);
    } else if (payload.size() == 1 && uint8_t(payload[0]) == kSend) {
        channel_.SendProtocol(TerminalTypeBytes(kTerminalTypeName));
    }
}

bool TelnetNegotiator::SpeaksUtf8()
{
    return client_.ReadReceiveOptions().encoding == kUtf8;
}

// The request's sets follow an optional "[TTABLE]" and version byte, each set after the
// separator that the request's first byte gives.
void TelnetNegotiator::AnswerCharsetRequest(std::string_view request)
{
    if (request.starts_with("[TTABLE]")) request.remove_prefix(std::min<size_t>(9, request.size()));
    bool utf8 = false;
    if (!request.empty()) {
        const char separator = request.front();
        request.remove_prefix(1);
        while (!request.empty() && !utf8) {
            const size_t end = std::min(request.find(separator), request.size());
            utf8 = FindEncoding(request.substr(0, end)) == kUtf8;
            request.remove_prefix(std::min(end + 1, request.size()));
        }
    }
    std::string answer = {char(kIac), char(kSb), char(kCharset),
                          char(utf8 ? kCharsetAccepted : kCharsetRejected)};
    if (utf8) answer += "UTF-8";
    answer += {char(kIac), char(kSe)};
    channel_.SendProtocol(answer);
}

void TelnetNegotiator::Reply(uint8_t verb, uint8_t option)
{
    channel_.SendProtocol(Command(verb, option));
    channel_.CountSent(3);
}

}  // namespace zel
