// TelnetLineReader: splits the bytes a client sends to a server into input lines. Telnet
// commands are taken out (IAC IAC is the data byte 255; option negotiations and
// subnegotiations are kept apart for the server to read); a line ends at CR LF, LF, CR NUL or a
// lone CR. A line longer than kMaximumLine is cut there and the rest of it dropped. No I/O, so any
// split of the input gives the same lines.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zel::demo {

class TelnetLineReader {
public:
    static constexpr size_t kMaximumLine = 4096;
    // A subnegotiation that never ends is given up after this many bytes, so a stray IAC SB
    // cannot swallow the rest of a session.
    static constexpr size_t kMaximumSubnegotiation = 4096;

    // A WILL, WONT, DO or DONT with its option, or a whole subnegotiation (command SB, the
    // option, and the bytes after it).
    struct Negotiation {
        uint8_t command = 0;
        uint8_t option = 0;
        std::string payload;
    };

    // Appends the lines that bytes complete to lines.
    void Feed(std::string_view bytes, std::vector<std::string>& lines);
    // The negotiations read since the last call, in order.
    std::vector<Negotiation> TakeNegotiations() { return std::exchange(negotiations_, {}); }

private:
    enum class State : uint8_t { Data, Iac, Option, Sub, SubIac };
    void Data(char byte, std::vector<std::string>& lines);
    void EndSubnegotiation();

    State state_ = State::Data;
    bool afterCr_ = false;  // a LF or NUL right after CR belongs to the CR
    size_t subLength_ = 0;
    uint8_t verb_ = 0;
    std::string sub_;
    std::vector<Negotiation> negotiations_;
    std::string line_;
};

}  // namespace zel::demo
