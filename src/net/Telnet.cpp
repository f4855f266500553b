#include "net/Telnet.h"

#include "engine/ClientWindow.h"

namespace zel {
namespace {

constexpr char kTerminalTypeName[] = "vt100";
// A subnegotiation longer than this is abandoned; what follows is read as text again.
constexpr size_t kMaxPayload = 65536;

std::string Command(uint8_t verb, uint8_t option)
{
    return {char(telnet::kIac), char(verb), char(option)};
}

void AppendValue(std::string& out, int32_t value)
{
    for (uint8_t byte : {uint8_t(value >> 8), uint8_t(value)}) {
        out += char(byte);
        if (byte == telnet::kIac) out += char(byte);
    }
}

}  // namespace

namespace telnet {

std::string WindowSizeBytes(int32_t columns, int32_t rows)
{
    std::string out = {char(kIac), char(kSb), char(kNaws)};
    AppendValue(out, columns);
    AppendValue(out, rows);
    out += {char(kIac), char(kSe)};
    return out;
}

std::string TerminalTypeBytes(std::string_view type)
{
    std::string out = {char(kIac), char(kSb), char(kTerminalType), char(kIs)};
    out += type;
    out += {char(kIac), char(kSe)};
    return out;
}

}  // namespace telnet

using namespace telnet;

bool Telnet::Need(ReceiveBlock& block, size_t i, size_t count)
{
    while (block.size < i + count) {
        if (block.size >= ReceiveBlock::kCapacity) return false;
        char byte;
        if (!channel_.ReadByte(byte)) return false;
        block.data[block.size++] = byte;
    }
    return true;
}

size_t Telnet::ProcessCommand(ReceiveBlock& block, size_t i, Text& text)
{
    // A stream that ends inside a command leaves nothing of it.
    if (!Need(block, i, 2)) return block.size;
    const auto at = [&](size_t k) { return uint8_t(block.data[i + k]); };
    const uint8_t command = at(1);
    if (command == kIac) {
        text.StoreDataByte(char(kIac));
        return i + 2;
    }
    text.HandOnBeforeCommand();
    switch (command) {
        case kWill:
        case kWont:
        case kDo:
        case kDont: {
            if (!Need(block, i, 3)) return block.size;
            const bool echo = client_.ServerEcho();
            Negotiate(command, at(2));
            if (client_.ServerEcho() != echo) client_.ServerEchoChanged();
            return i + 3;
        }
        case kSb:
            if (!Need(block, i, 3)) return block.size;
            if (at(2) == kTerminalType) {
                if (!Need(block, i, 6)) return block.size;
                if (at(3) == kSend && at(4) == kIac && at(5) == kSe)
                    channel_.SendProtocol(TerminalTypeBytes(kTerminalTypeName));
                return i + 6;
            }
            inSubnegotiation_ = true;
            subnegotiationIac_ = false;
            subnegotiationOption_ = at(2);
            payload_.clear();
            return i + 3;
        default:
            return i + 2;  // GA, NOP, SE and the rest carry nothing
    }
}

void Telnet::Negotiate(uint8_t command, uint8_t option)
{
    switch (command) {
        case kWill:
            if (option == kBinary || option == kEcho) {
                Reply(kDo, option);
                if (option == kEcho) client_.SetServerEcho(true);
            } else {
                Reply(kDont, option);
            }
            break;
        case kWont:
            Reply(kDont, option);
            if (option == kEcho) client_.SetServerEcho(false);
            break;
        case kDo:
            if (option == kTerminalType) {
                channel_.SendProtocol(Command(kWill, kTerminalType));
            } else if (option == kNaws) {
                channel_.SendProtocol(Command(kWill, kNaws));
                channel_.SendProtocol(WindowSizeBytes(client_.ViewColumns(), client_.ViewRows()));
            } else {
                Reply(kWont, option);
            }
            break;
        default:
            Reply(kWont, option);
            break;
    }
}

void Telnet::Reply(uint8_t verb, uint8_t option)
{
    channel_.SendProtocol(Command(verb, option));
    channel_.CountSent(3);
}

size_t Telnet::SkipSubnegotiation(const ReceiveBlock& block, size_t i)
{
    for (; i < block.size && inSubnegotiation_; ++i) {
        const auto byte = uint8_t(block.data[i]);
        if (subnegotiationIac_) {
            subnegotiationIac_ = false;
            if (byte == kIac) {
                payload_ += char(byte);
            } else {
                EndSubnegotiation();
                // IAC SE ends it; after a stray IAC the byte is read as text again.
                if (byte != kSe) return i;
            }
        } else if (byte == kIac) {
            subnegotiationIac_ = true;
        } else {
            payload_ += char(byte);
        }
        if (payload_.size() >= kMaxPayload) EndSubnegotiation();
    }
    return i;
}

void Telnet::EndSubnegotiation()
{
    inSubnegotiation_ = false;
    channel_.Subnegotiation(subnegotiationOption_, payload_);
    payload_.clear();
}

}  // namespace zel
