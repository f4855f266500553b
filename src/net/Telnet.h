// Telnet: the commands found in received bytes. Negotiation is passive: every WILL, WONT,
// DO and DONT is answered; the client agrees to TRANSMIT-BINARY and ECHO from the server
// and offers TERMINAL-TYPE and NAWS when asked. Subnegotiations of other options are
// collected (bounded) and handed to the channel as events, possibly across blocks.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "net/ReceiveChannel.h"

namespace zel {

class ClientWindow;

namespace telnet {
constexpr uint8_t kIac = 255, kDont = 254, kDo = 253, kWont = 252, kWill = 251, kSb = 250,
                  kGa = 249, kSe = 240;
constexpr uint8_t kBinary = 0, kEcho = 1, kTerminalType = 24, kNaws = 31;
constexpr uint8_t kIs = 0, kSend = 1;

// IAC SB NAWS, columns and rows as 16-bit values with 255 doubled, IAC SE.
std::string WindowSizeBytes(int32_t columns, int32_t rows);
// IAC SB TERMINAL-TYPE IS, the type as it is, IAC SE.
std::string TerminalTypeBytes(std::string_view type);
}  // namespace telnet

class Telnet {
public:
    // The text around a command: a doubled IAC is a data byte; before any other command the
    // text collected so far is handed on.
    class Text {
    public:
        virtual void StoreDataByte(char byte) = 0;
        virtual void HandOnBeforeCommand() = 0;

    protected:
        ~Text() = default;
    };

    Telnet(ClientWindow& client, ReceiveChannel& channel) : client_(client), channel_(channel) {}

    // At an IAC at `i`: reads missing bytes of the command from the channel, acts on it and
    // returns the position after it.
    size_t ProcessCommand(ReceiveBlock& block, size_t i, Text& text);
    // Within a subnegotiation that is skipped: consumes its bytes from `i` up to its end or
    // the end of the block and returns the position after them.
    bool InSubnegotiation() const { return inSubnegotiation_; }
    size_t SkipSubnegotiation(const ReceiveBlock& block, size_t i);

private:
    // Makes the block hold `count` bytes from `i`; false when the stream ends first.
    bool Need(ReceiveBlock& block, size_t i, size_t count);
    void Negotiate(uint8_t command, uint8_t option);
    void Reply(uint8_t verb, uint8_t option);
    void EndSubnegotiation();

    ClientWindow& client_;
    ReceiveChannel& channel_;
    bool inSubnegotiation_ = false;
    bool subnegotiationIac_ = false;
    uint8_t subnegotiationOption_ = 0;
    std::string payload_;
};

}  // namespace zel
