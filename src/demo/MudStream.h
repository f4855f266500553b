// MudStream: a realistic, deterministic coloured MUD stream for benchmarks, the demo world's
// flood command and tests. Rooms with exits, descriptions and inhabitants, arrivals and
// departures, talk and combat, in ANSI SGR colours with CR LF line ends (40 to 120 visible
// characters a line); every few lines a prompt with no line end, mostly followed by IAC GA;
// now and then an IAC NOP. No option negotiation: it is the middle of a session.
#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zel::demo {

class MudStream {
public:
    explicit MudStream(uint32_t seed = 1);

    // The next `bytes` bytes of the stream, exactly. A telnet command or SGR sequence that
    // the end would cut is kept whole for the next call and the gap is filled with spaces,
    // so each piece ends cleanly and the pieces join into one stream.
    std::string Next(size_t bytes);

private:
    void NextBlock();  // a few lines of one kind into block_, then maybe a prompt
    void Room();
    void Combat();
    void Talk();
    void Movement();
    void Weather();
    void Prompt();

    // block_ builders; escape sequences are recorded as uncuttable.
    void Escape(std::string_view bytes);
    void Line(std::string_view colour, std::string text);
    void LineParts(std::initializer_list<std::pair<std::string_view, std::string>> parts);
    std::string Pick(const std::vector<std::string_view>& choices);
    std::string Fill(std::string_view pattern);
    unsigned Below(unsigned n) { return unsigned(random_() % n); }

    std::mt19937 random_;
    std::string block_;
    size_t at_ = 0;                                   // next byte of block_ to hand out
    std::vector<std::pair<size_t, size_t>> escapes_;  // [begin, end) in block_
    unsigned blocksToPrompt_ = 3;
    int hp_ = 120, mana_ = 80, moves_ = 140;
};

// The first `bytes` bytes of MudStream(seed): exactly that long, never ending inside a telnet
// command or SGR sequence.
std::string GenerateMudStream(size_t bytes, uint32_t seed = 1);
// The stream with accented letters and typographic marks of Western European text: every
// "e " ends in é and every "..." is an ellipsis, in UTF-8 or in Windows-1252.
std::string WithAccents(std::string_view stream, bool utf8);

}  // namespace zel::demo
