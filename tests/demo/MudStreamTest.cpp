// MudStream: exact lengths, the same stream for the same seed, clean ends for every length and
// every cut into pieces, and the look of a MUD: colours, prompts with IAC GA, CR LF lines of
// 40 to 120 visible characters, no option negotiation.
#include "demo/MudStream.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <map>

namespace zel::demo {
namespace {

// What a stream holds, read the way a client reads it.
struct Scan {
    std::vector<std::string> lines;       // visible text of each CR LF line
    std::map<std::string, int> commands;  // telnet commands by name ("GA", "NOP", "IAC 251")
    size_t sgr = 0;                       // complete ESC [ ... m sequences
    bool bareLineFeed = false;            // LF without CR before it
    bool malformed = false;               // an escape that is not SGR
    bool complete = true;                 // ends outside any escape or telnet command
};

Scan ScanStream(std::string_view bytes)
{
    enum class State { Data, Esc, Csi, Iac, Option } state = State::Data;
    Scan scan;
    std::string visible;
    char previous = '\0';
    for (const char c : bytes) {
        const auto byte = static_cast<uint8_t>(c);
        switch (state) {
            case State::Data:
                if (c == '\x1b') {
                    state = State::Esc;
                } else if (byte == 255) {
                    state = State::Iac;
                } else if (c == '\n') {
                    scan.bareLineFeed |= previous != '\r';
                    scan.lines.push_back(visible);
                    visible.clear();
                } else if (c != '\r') {
                    visible += c;
                }
                break;
            case State::Esc:
                scan.malformed |= c != '[';
                state = State::Csi;
                break;
            case State::Csi:
                if (c == 'm') {
                    ++scan.sgr;
                    state = State::Data;
                } else if (!std::isdigit(byte) && c != ';') {
                    scan.malformed = true;
                    state = State::Data;
                }
                break;
            case State::Iac:
                state = byte >= 251 && byte <= 254 ? State::Option : State::Data;
                ++scan.commands[byte == 249   ? "GA"
                                : byte == 241 ? "NOP"
                                              : "IAC " + std::to_string(byte)];
                break;
            case State::Option:
                state = State::Data;
                break;
        }
        previous = c;
    }
    scan.complete = state == State::Data;
    return scan;
}

TEST(DemoMudStream, ExactLengthSameForTheSameSeed)
{
    for (const size_t size : {size_t(0), size_t(1), size_t(2), size_t(17), size_t(1000),
                              size_t(65536), size_t(1) << 20}) {
        for (const uint32_t seed : {1u, 2u, 77u}) {
            const std::string stream = GenerateMudStream(size, seed);
            EXPECT_EQ(stream.size(), size) << "seed " << seed;
            EXPECT_EQ(stream, GenerateMudStream(size, seed)) << size << " seed " << seed;
            if (size >= 1000) {
                EXPECT_NE(stream, GenerateMudStream(size, seed + 1)) << size;
            }
        }
    }
}

TEST(DemoMudStream, EveryLengthAndEveryPieceEndsCleanly)
{
    for (size_t size = 0; size <= 3000; ++size) {
        const std::string stream = GenerateMudStream(size, 5);
        ASSERT_EQ(stream.size(), size);
        ASSERT_TRUE(ScanStream(stream).complete)
            << "size " << size << " ends with " << testing::PrintToString(stream.substr(size - 4));
    }
    // Pieces of every size from 1 to 40: each is whole by itself and they join into a stream
    // as clean as one generated at once.
    for (size_t piece = 1; piece <= 40; ++piece) {
        MudStream stream(9);
        std::string joined;
        for (int i = 0; i < 500; ++i) {
            const std::string next = stream.Next(piece);
            ASSERT_EQ(next.size(), piece);
            ASSERT_TRUE(ScanStream(next).complete) << "piece " << piece << " #" << i;
            joined += next;
        }
        const Scan scan = ScanStream(joined);
        EXPECT_FALSE(scan.malformed || scan.bareLineFeed) << "pieces of " << piece;
    }
}

TEST(DemoMudStream, LooksLikeAMud)
{
    const std::string stream = GenerateMudStream(size_t(1) << 20, 1);
    const Scan scan = ScanStream(stream);
    EXPECT_FALSE(scan.malformed);
    EXPECT_FALSE(scan.bareLineFeed);
    EXPECT_GE(scan.sgr, scan.lines.size() * 2) << "colour on every line";
    for (const auto* colour : {"\x1b[0m", "\x1b[1;36m", "\x1b[1;33m", "\x1b[1;31m"})
        EXPECT_NE(stream.find(colour), std::string::npos) << colour;
    for (const auto* text : {"[ Exits: ", " says '", " tells you '", "[gossip] ", " arrives from ",
                             " leaves ", " you "})
        EXPECT_NE(stream.find(text), std::string::npos) << text;

    // Only GA and NOP: no negotiation in the middle of a session.
    EXPECT_EQ(scan.commands.size(), 2u);
    EXPECT_GT(scan.commands.at("NOP"), 0);

    size_t prompts = 0;
    for (const std::string& line : scan.lines) {
        unsigned hp = 0, mana = 0, moves = 0;
        int end = 0;
        if (std::sscanf(line.c_str(), "<%uhp %um %umv> %n", &hp, &mana, &moves, &end) == 3 &&
            size_t(end) == line.size()) {
            ++prompts;
            continue;
        }
        EXPECT_GE(line.size(), 40u) << line;
        EXPECT_LE(line.size(), 120u) << line;
    }
    EXPECT_GT(prompts, scan.lines.size() / 20) << "a prompt every few lines";
    EXPECT_GT(scan.commands.at("GA"), int(prompts / 2)) << "most prompts end with IAC GA";
    EXPECT_LT(scan.commands.at("GA"), int(prompts)) << "some prompts go without";
}

}  // namespace
}  // namespace zel::demo
