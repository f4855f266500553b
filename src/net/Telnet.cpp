#include "net/Telnet.h"

namespace zel::telnet {
namespace {

void AppendValue(std::string& out, int32_t value)
{
    for (uint8_t byte : {uint8_t(value >> 8), uint8_t(value)}) {
        out += char(byte);
        if (byte == kIac) out += char(byte);
    }
}

}  // namespace

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

}  // namespace zel::telnet
