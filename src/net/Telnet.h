// Telnet: the protocol's codes and the subnegotiations that the client sends of its own
// accord (window size, terminal type). Parsing is TelnetParser's; answering the server is
// TelnetNegotiator's.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace zel::telnet {

constexpr uint8_t kIac = 255, kDont = 254, kDo = 253, kWont = 252, kWill = 251, kSb = 250,
                  kGa = 249, kNop = 241, kSe = 240, kEor = 239;
constexpr uint8_t kBinary = 0, kEcho = 1, kTerminalType = 24, kNaws = 31;
constexpr uint8_t kIs = 0, kSend = 1;
// CHARSET (RFC 2066) and its subcommands.
constexpr uint8_t kCharset = 42;
constexpr uint8_t kCharsetRequest = 1, kCharsetAccepted = 2, kCharsetRejected = 3;

// IAC SB NAWS, columns and rows as 16-bit values with 255 doubled, IAC SE.
std::string WindowSizeBytes(int32_t columns, int32_t rows);
// IAC SB TERMINAL-TYPE IS, the type as it is, IAC SE.
std::string TerminalTypeBytes(std::string_view type);

}  // namespace zel::telnet
