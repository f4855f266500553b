// The telnet stage alone: bytes in, an event log out, the same at every split of the input;
// and the negotiation policy's replies, byte for byte, fed through a replay.
#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "RecordingConnectionClient.h"
#include "net/StreamReplay.h"
#include "net/TelnetParser.h"

namespace zel::test {
namespace {

// Writes the parser's events as "text a%FFb|DO 24|SB 24 [%01]|GA"; adjacent text runs are
// joined, for where a run is cut is not part of the result.
class EventLog : public TelnetParser::Sink {
public:
    void Text(std::string_view run) override
    {
        if (!textOpen_) Add("text ");
        log_ += Escaped(run);
        textOpen_ = true;
    }
    void Command(uint8_t command) override
    {
        switch (command) {
            case 249:
                Add("GA");
                break;
            case 239:
                Add("EOR");
                break;
            case 241:
                Add("NOP");
                break;
            default:
                Add("IAC " + std::to_string(command));
                break;
        }
    }
    void Negotiate(uint8_t verb, uint8_t option) override
    {
        static constexpr const char* kVerbs[] = {"WILL", "WONT", "DO", "DONT"};
        Add(std::string(kVerbs[verb - 251]) + " " + std::to_string(option));
    }
    void Subnegotiation(uint8_t option, std::string_view payload) override
    {
        Add("SB " + std::to_string(option) + " [" + Escaped(payload) + "]");
    }
    const std::string& Log() const { return log_; }

private:
    void Add(const std::string& event)
    {
        if (!log_.empty()) log_ += '|';
        log_ += event;
        textOpen_ = false;
    }
    std::string log_;
    bool textOpen_ = false;
};

std::string LogWithCuts(std::string_view in, std::initializer_list<size_t> cuts)
{
    EventLog log;
    TelnetParser parser(log);
    size_t from = 0;
    for (size_t cut : cuts) {
        parser.Feed(in.substr(from, cut - from));
        from = cut;
    }
    parser.Feed(in.substr(from));
    return log.Log();
}

std::string Bytes(std::initializer_list<int> values)
{
    std::string out;
    for (int v : values) out += char(v);
    return out;
}

TEST(TelnetParser, SameEventsAtEverySplit)
{
    const struct {
        std::string in;
        std::string_view log;
    } cases[] = {
        {"plain text\r\n", "text plain text%0D%0A"},
        {"a\xFF\xFF"
         "b",
         "text a%FFb"},  // a doubled IAC is one data byte
        {"\xFF\xFF\xFF\xFF", "text %FF%FF"},
        {Bytes({255, 253, 24}), "DO 24"},
        {Bytes({255, 251, 1, 255, 252, 1, 255, 254, 31, 255, 253, 255}),
         "WILL 1|WONT 1|DONT 31|DO 255"},
        {"one" + Bytes({255, 249}) + "two", "text one|GA|text two"},
        {"hp> " + Bytes({255, 239, 255, 241, 255, 240, 255, 244}),
         "text hp> |EOR|NOP|IAC 240|IAC 244"},
        {"x" + Bytes({255, 250, 201}) + "Core.Hello {}" + Bytes({255, 240}) + "y",
         "text x|SB 201 [Core.Hello {}]|text y"},
        // Doubled IAC inside a payload; an empty payload; IAC as the option.
        {Bytes({255, 250, 24, 1, 255, 255, 255, 240}), "SB 24 [%01%FF]"},
        {Bytes({255, 250, 5, 255, 240}), "SB 5 []"},
        {Bytes({255, 250, 255, 7, 255, 240}), "SB 255 [%07]"},
        // Any other command ends a payload, and is a command.
        {Bytes({255, 250, 5}) + "ab" + Bytes({255, 249}) + "cd", "SB 5 [ab]|GA|text cd"},
        {Bytes({255, 250, 5}) + "ab" + Bytes({255, 251, 1}) + "cd", "SB 5 [ab]|WILL 1|text cd"},
        // What the end of the input cuts off gives nothing (yet).
        {"ab\xFF", "text ab"},
        {"ab" + Bytes({255, 251}), "text ab"},
        {Bytes({255, 250, 5}) + "abc" + Bytes({255}), ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(LogWithCuts(c.in, {}), c.log) << Escaped(c.in);
        for (size_t cut = 0; cut <= c.in.size(); ++cut)
            EXPECT_EQ(LogWithCuts(c.in, {cut}), c.log) << Escaped(c.in) << " cut at " << cut;
        for (size_t a = 0; a <= c.in.size(); ++a)
            for (size_t b = a; b <= c.in.size(); ++b)
                EXPECT_EQ(LogWithCuts(c.in, {a, b}), c.log)
                    << Escaped(c.in) << " " << a << " " << b;
    }
}

TEST(TelnetParser, ByteByByteIsTheSame)
{
    const std::string in = "a" + Bytes({255, 255, 255, 253, 3}) + "b" + Bytes({255, 250, 9}) +
                           "pay" + Bytes({255, 255}) + "load" + Bytes({255, 240, 255, 249}) + "c";
    EventLog log;
    TelnetParser parser(log);
    for (char c : in) parser.Feed(std::string_view(&c, 1));
    EXPECT_EQ(log.Log(), "text a%FF|DO 3|text b|SB 9 [pay%FFload]|GA|text c");
}

TEST(TelnetParser, APayloadIsBoundedAndAbandonedAtItsBound)
{
    constexpr size_t kMax = TelnetParser::kMaxPayload;
    const std::string start = Bytes({255, 250, 5});
    // One byte short of the bound still ends normally.
    const std::string fits = start + std::string(kMax - 1, 'z') + Bytes({255, 240}) + "after";
    const std::string fitsLog = "SB 5 [" + std::string(kMax - 1, 'z') + "]|text after";
    // Reaching it abandons the payload without an event; what follows is data again.
    const std::string over = start + std::string(kMax, 'z') + "after" + Bytes({255, 240});
    // A doubled IAC that reaches it counts as one byte.
    const std::string overByIac = start + std::string(kMax - 1, 'z') + Bytes({255, 255}) + "x";
    for (size_t cut : {size_t(0), size_t(2), size_t(3), size_t(100), kMax, kMax + 2, kMax + 3,
                       kMax + 4, kMax + 5}) {
        EXPECT_EQ(LogWithCuts(fits, {std::min(cut, fits.size())}), fitsLog) << cut;
        EXPECT_EQ(LogWithCuts(over, {std::min(cut, over.size())}), "text after|IAC 240") << cut;
        EXPECT_EQ(LogWithCuts(overByIac, {std::min(cut, overByIac.size())}), "text x") << cut;
    }
    // A stray IAC SB followed by a whole session of text loses only the bound's worth.
    const std::string session = start + std::string(3 * kMax, 'y');
    EXPECT_EQ(LogWithCuts(session, {}), "text " + std::string(2 * kMax, 'y'));
}

// The policy's replies to a server's requests, and what the client is told.
struct Replies {
    std::string sent;
    int32_t counted;
    std::string log;
};

Replies RepliesTo(std::string_view in, size_t readSize, ConnectionClient::WindowSize size = {})
{
    RecordingConnectionClient client;
    client.size = size;
    StreamReplay replay(client);
    replay.Receive(in, readSize);
    return {replay.Sent(), replay.BytesSent(), client.Log()};
}

TEST(TelnetNegotiator, AnswersEveryRequestByteForByte)
{
    const std::string vt100 = Bytes({255, 250, 24, 0}) + "vt100" + Bytes({255, 240});
    const struct {
        std::string in;
        std::string sent;
        int32_t counted;  // only the three-byte answers count as sent
        std::string_view log;
    } cases[] = {
        {Bytes({255, 251, 0}), Bytes({255, 253, 0}), 3, ""},         // WILL BINARY: DO
        {Bytes({255, 251, 1}), Bytes({255, 253, 1}), 3, "echo:on"},  // WILL ECHO: DO
        {Bytes({255, 251, 3}), Bytes({255, 254, 3}), 3, ""},         // WILL other: DONT
        {Bytes({255, 252, 3}), Bytes({255, 254, 3}), 3, ""},         // WONT: DONT
        {Bytes({255, 253, 3}), Bytes({255, 252, 3}), 3, ""},         // DO other: WONT
        {Bytes({255, 254, 1}), Bytes({255, 252, 1}), 3, ""},         // DONT: WONT
        {Bytes({255, 253, 24}), Bytes({255, 251, 24}), 0, ""},       // DO TTYPE: WILL
        {Bytes({255, 253, 31}),                                      // DO NAWS: WILL, size
         Bytes({255, 251, 31, 255, 250, 31, 0, 80, 0, 24, 255, 240}), 0, ""},
        {Bytes({255, 250, 24, 1, 255, 240}) + "after", vt100, 0, "text:after"},
        // A repeated request is answered again; echo changes only once.
        {Bytes({255, 251, 1, 255, 251, 1, 255, 252, 1}),
         Bytes({255, 253, 1, 255, 253, 1, 255, 254, 1}), 9, "echo:on|echo:off"},
        // Anything but SEND in a terminal-type subnegotiation is not answered; another
        // option's goes to the client.
        {Bytes({255, 250, 24, 0}) + "ansi" + Bytes({255, 240}), "", 0, ""},
        {Bytes({255, 250, 24, 1, 1, 255, 240}), "", 0, ""},
        {Bytes({255, 250, 201}) + "Core.Hello {}" + Bytes({255, 240}), "", 0,
         "sb:201 Core.Hello {}"},
        // GA, NOP and the rest are never answered.
        {"one" + Bytes({255, 249, 255, 241}) + "two", "", 0, "text:onetwo"},
    };
    for (const auto& c : cases) {
        for (size_t readSize = 1; readSize <= c.in.size(); ++readSize) {
            const Replies replies = RepliesTo(c.in, readSize);
            EXPECT_EQ(Escaped(replies.sent), Escaped(c.sent)) << Escaped(c.in) << " " << readSize;
            EXPECT_EQ(replies.counted, c.counted) << Escaped(c.in);
            EXPECT_EQ(replies.log, c.log) << Escaped(c.in) << " " << readSize;
        }
    }
    // The window size doubles a 255 byte.
    EXPECT_EQ(Escaped(RepliesTo(Bytes({255, 253, 31}), 4096, {255, 511}).sent),
              Escaped(Bytes({255, 251, 31, 255, 250, 31, 0, 255, 255, 1, 255, 255, 255, 240})));
}

}  // namespace
}  // namespace zel::test
