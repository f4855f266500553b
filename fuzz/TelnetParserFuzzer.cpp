// Fuzz target: arbitrary bytes through TelnetParser, whole and cut into pieces. The first
// byte picks the piece size. The events of the cut input must equal those of the whole
// (text runs joined), or the target traps.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "net/TelnetParser.h"

namespace {

// The events as one string: text bytes as they are, each other event as a marker byte 0
// followed by its fields. A payload is kept only by size, so the log stays small.
class Log : public zel::TelnetParser::Sink {
public:
    void Text(std::string_view run) override
    {
        if (run.empty()) __builtin_trap();
        text_.append(run);
    }
    void Command(uint8_t command) override { Event({'C', char(command)}); }
    void Negotiate(uint8_t verb, uint8_t option) override
    {
        Event({'N', char(verb), char(option)});
    }
    void Subnegotiation(uint8_t option, std::string_view payload) override
    {
        if (payload.size() >= zel::TelnetParser::kMaxPayload) __builtin_trap();
        Event({'S', char(option)});
        events_ += std::to_string(payload.size());
        events_.append(payload.substr(0, 16));
    }
    std::string Result() { return Event({}), events_; }

private:
    void Event(std::string event)
    {
        if (!text_.empty()) {
            events_ += '\0';
            events_ += 'T';
            events_ += std::to_string(text_.size());
            events_ += text_;
            text_.clear();
        }
        if (event.empty()) return;
        events_ += '\0';
        events_ += event;
    }
    std::string text_;
    std::string events_;
};

std::string Events(std::string_view stream, size_t piece)
{
    Log log;
    zel::TelnetParser parser(log);
    while (!stream.empty()) {
        parser.Feed(stream.substr(0, piece));
        stream.remove_prefix(std::min(piece, stream.size()));
    }
    return log.Result();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1) return 0;
    const size_t piece = 1 + data[0] % 64;
    const std::string_view stream(reinterpret_cast<const char*>(data + 1), size - 1);
    if (Events(stream, stream.size() + 1) != Events(stream, piece)) __builtin_trap();
    return 0;
}
