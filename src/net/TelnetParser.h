// TelnetParser: telnet bytes in, events out (RFC 854 framing). It owns no socket and knows no
// client: what a command means (a reply, server echo, a prompt) is for its sink to decide.
// State carries across Feed calls, so every split of the input gives the same events, with
// text runs cut at other places (only their concatenation is defined).
//
//   data         bytes other than IAC go out in runs; IAC IAC is the data byte 255
//   IAC verb o   WILL, WONT, DO or DONT with option o: Negotiate
//   IAC SB o ... IAC SE   Subnegotiation with the payload undoubled. IAC followed by
//                anything but SE or IAC ends it too, and is then read as a command.
//   IAC c        any other command (GA, EOR, NOP, a stray SE...): Command
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace zel {

class TelnetParser {
public:
    // A subnegotiation whose payload reaches this size is abandoned without an event, and
    // the bytes after it are read as data again: a stray IAC SB cannot swallow a session.
    static constexpr size_t kMaxPayload = 65536;

    struct Sink {
        // Data bytes, never empty. Valid during the call only.
        virtual void Text(std::string_view run) = 0;
        virtual void Command(uint8_t command) = 0;
        virtual void Negotiate(uint8_t verb, uint8_t option) = 0;
        virtual void Subnegotiation(uint8_t option, std::string_view payload) = 0;

    protected:
        ~Sink() = default;
    };

    explicit TelnetParser(Sink& sink) : sink_(sink) {}

    // The sink is called from inside; it must not feed this parser.
    void Feed(std::string_view bytes);
    // Forgets a command or subnegotiation cut off by the end of the stream.
    void Reset();

private:
    enum class State : uint8_t { Data, Iac, Option, SubOption, Sub, SubIac };

    // Adds to the payload; false (and back to data) when the bound is reached.
    bool AddPayload(const char* bytes, size_t count);

    Sink& sink_;
    State state_ = State::Data;
    uint8_t verb_ = 0;
    uint8_t option_ = 0;
    std::string payload_;
};

}  // namespace zel
