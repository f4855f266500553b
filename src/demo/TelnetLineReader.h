// TelnetLineReader: splits the bytes a client sends to a server into input lines. Telnet
// commands are taken out (IAC IAC is the data byte 255; option negotiations and
// subnegotiations are dropped); a line ends at CR LF, LF, CR NUL or a lone CR. A line longer
// than kMaximumLine is cut there and the rest of it dropped. No I/O, so any split of the input
// gives the same lines.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zel::demo {

class TelnetLineReader {
public:
    static constexpr size_t kMaximumLine = 4096;
    // A subnegotiation that never ends is given up after this many bytes, so a stray IAC SB
    // cannot swallow the rest of a session.
    static constexpr size_t kMaximumSubnegotiation = 4096;

    // Appends the lines that bytes complete to lines.
    void Feed(std::string_view bytes, std::vector<std::string>& lines);

private:
    enum class State : uint8_t { Data, Iac, Option, Sub, SubIac };
    void Data(char byte, std::vector<std::string>& lines);

    State state_ = State::Data;
    bool afterCr_ = false;  // a LF or NUL right after CR belongs to the CR
    size_t subLength_ = 0;
    std::string line_;
};

}  // namespace zel::demo
