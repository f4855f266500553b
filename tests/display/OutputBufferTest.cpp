// OutputBuffer through its public interface: line structure, SGR formats, splitting,
// trimming, clearing, copying, and random streams under the buffer's invariants.
#include "display/OutputBuffer.h"

#include <gtest/gtest.h>

#include <map>
#include <random>

#include "display/OutputFormats.h"

namespace zel {
namespace {

// One string per held line: its runs' texts joined by '|', then '$' when the line ended.
std::vector<std::string> Lines(const OutputBuffer& buffer)
{
    std::vector<std::string> lines;
    for (uint64_t n = buffer.LineBase(); n < buffer.End(); ++n) {
        const OutputLine* line = buffer.Line(n);
        std::string text;
        for (size_t r = 0; r < line->Runs().size(); ++r) {
            if (r > 0) text += '|';
            uint32_t start = line->RunStart(r);
            text += line->Text().substr(start, line->Runs()[r].end - start);
        }
        lines.push_back(text + (line->Ended() ? "$" : ""));
    }
    return lines;
}

std::vector<std::string> Feed(std::initializer_list<std::string_view> appends,
                              int32_t maximum = OutputBuffer::kDefaultMaximumLines)
{
    OutputBuffer buffer;
    buffer.SetMaximumLines(maximum);
    for (auto text : appends) buffer.Append(text);
    return Lines(buffer);
}

// What a reader can see, independent of where run boundaries fall.
struct Snapshot {
    uint64_t base = 0;
    std::vector<std::string> texts;
    std::vector<bool> ended;
    std::vector<std::vector<TextFormat>> formats;  // per character
    bool operator==(const Snapshot&) const = default;
};

Snapshot Snap(const OutputBuffer& buffer)
{
    Snapshot s;
    s.base = buffer.LineBase();
    for (uint64_t n = buffer.LineBase(); n < buffer.End(); ++n) {
        const OutputLine* line = buffer.Line(n);
        s.texts.emplace_back(line->Text());
        s.ended.push_back(line->Ended());
        auto& formats = s.formats.emplace_back();
        for (uint32_t c = 0; c < line->Length(); ++c)
            formats.push_back(buffer.Format(line->Runs()[line->RunAt(c)].format));
    }
    return s;
}

// The format of the character at `column` of the last line.
TextFormat LastFormat(const OutputBuffer& buffer, uint32_t column = 0)
{
    const OutputLine* line = buffer.Line(buffer.End() - 1);
    return buffer.Format(line->Runs()[line->RunAt(column)].format);
}

struct Recorder : OutputBuffer::Listener {
    void LineEnded(uint64_t number, const OutputLine& line) override
    {
        ended.push_back(std::to_string(number) + ":" + std::string(line.Text()));
    }
    void Appended() override { appended++; }
    void Cleared() override { cleared++; }
    std::vector<std::string> ended;
    int appended = 0;
    int cleared = 0;
};

using L = std::vector<std::string>;

TEST(OutputBuffer, LinesRunsAndControls)
{
    const struct {
        std::initializer_list<std::string_view> appends;
        L lines;
    } cases[] = {
        {{"abc", "def\r\n"}, {"abcdef$"}},  // text in the same format is one run
        {{"abc", "def\r\n", "x"}, {"abcdef$", "x"}},
        {{"a\r\rb"}, {"a$", "$", "b"}},
        {{"a\r\nb"}, {"a$", "b"}},
        {{"a\n\rb"}, {"a$", "b"}},
        {{"a\n\nb"}, {"a$", "$", "b"}},
        {{"a\r\n\r\nb"}, {"a$", "$", "b"}},
        {{"a\n\r\nb"}, {"a$", "$", "b"}},
        {{"\r\n"}, {"$"}},
        {{"a\r", "\nb"}, {"a$", "b"}},  // a pair cut between appends is one line end
        {{"a\n", "\rb"}, {"a$", "b"}},
        {{"a\r", "\x1b[m\nb"}, {"a$", "$", "b"}},  // anything between makes it two
        {{"ab\bc"}, {"ac"}},
        {{"a", "b", "\b\b\bc"}, {"c"}},  // emptied runs go; extra backspaces do nothing
        {{"\b"}, {}},
        {{"a\b"}, {""}},              // the line stays, empty
        {{"ab\n\bc"}, {"ab$", "c"}},  // an ended line is not reopened
        {{"a\x1b[1mb"}, {"a|b"}},
        // Other controls and high bytes are text, wherever they fall in a word of the scan;
        // the buffer keeps them as UTF-8.
        {{"tab\there\x01\x1f\x7f\x80\xff-----\rnext"},
         {"tab\there\x01\x1f\x7f\xE2\x82\xAC\xC3\xBF-----$", "next"}},
        {{"\x01\x02\x03\x04\x05\x06\x07\t\x0b\x0c\x0e\x0f\b!"},
         {"\x01\x02\x03\x04\x05\x06\x07\t\x0b\x0c\x0e!"}},
        {{"a\x1b(Bb"}, {"ab"}},   // non-CSI escape with an intermediate
        {{"a\0337b"}, {"ab"}},    // ESC 7: a two-byte escape
        {{"a\x1b[2Jb"}, {"ab"}},  // other CSI finals end quietly
        {{"a\x1b[?25hb"}, {"ab"}},
        {{"a\x1b\rb"}, {"a$", "b"}},  // a stray ESC does not eat the line end
        {{"a\x1b[31\nb"}, {"a$", "b"}},
        {{"\x1b[3\xE9"}, {"\xC3\xA9"}},  // nor a character of the second half
        {{"x\x1b[31", "1;1", "mred"}, {"x|red"}},
    };
    for (const auto& c : cases) {
        std::string joined;
        for (auto a : c.appends) joined += std::string(a) + "\xB7";
        EXPECT_EQ(Feed(c.appends), c.lines) << joined;
    }
    // A sequence past its length bound is abandoned: the rest reads as text.
    OutputBuffer endless;
    endless.Append("\x1b[" + std::string(300, '1') + "mX");
    EXPECT_EQ(Lines(endless),
              L{std::string(300 - (AnsiParser::kMaximumSequenceLength - 2), '1') + "mX"});

    OutputBuffer nul;
    nul.Append(std::string_view("a\0b", 3));
    EXPECT_EQ(nul.Line(0)->Text(), std::string_view("a\0b", 3));
}

TEST(OutputBuffer, SgrCodes)
{
    // Each case prints in "Output: Error" first, so text still in its light red shows that
    // no format was pushed; the ANSI state starts as the default format (grey on black).
    const Color kError = MakeColor(255, 128, 128), kGrey = MakeColor(192, 192, 192);
    const Color kRed = MakeColor(192, 0, 0), kBlack = 0, kDefault = kWindowDefaultColor;
    const struct {
        std::string_view input;  // the text after the sequences is "x"
        Color text, back;
        int32_t weight;
        uint32_t effects;
    } cases[] = {
        {"\x1b[1;31mx", kRed, kBlack, 700, 0},
        {"\x1b[1;31m\x1b[0mx", kDefault, kDefault, 400, 0},
        {"\x1b[1;31m\x1b[mx", kDefault, kDefault, 400, 0},
        {"\x1b[1;31m\x1b[Mx", kDefault, kDefault, 400, 0},
        {"\x1b[1;31m\x1b[2mx", kRed, kBlack, 400, 0},
        {"\x1b[4;5;7;8mx", kGrey, kBlack, 400,
         effect::kUnderline | effect::kBlink | effect::kInverse | effect::kStrikeout},
        {"\x1b[30;47mx", MakeColor(0, 0, 0), MakeColor(192, 192, 192), 400, 0},
        {"\x1b[32;44mx", MakeColor(0, 144, 0), MakeColor(32, 32, 255), 400, 0},
        {"\x1b[90mx", MakeColor(128, 128, 128), kBlack, 400, 0},
        {"\x1b[97mx", MakeColor(255, 255, 255), kBlack, 400, 0},
        {"\x1b[93;36mx", MakeColor(0, 192, 192), kBlack, 400, 0},
        {"\x1b[1;;31mx", kRed, kBlack, 700, 0},
        {"\x1b[;31mx", kRed, kDefault, 400, 0},      // an empty first code is 0
        {"\x1b[31;mx", kDefault, kDefault, 400, 0},  // and an empty last one
        {"\x1b[1:31mx", kRed, kBlack, 700, 0},
        {"\x1b[0031mx", kRed, kBlack, 400, 0},
        {"\x1b[3;1mx", kGrey, kBlack, 700, 0},      // one listed code is enough
        {"\x1b[38;5;1;1mx", kRed, kBlack, 700, 0},  // the form is consumed whole
        {"\x1b[38;5;1mx", kRed, kBlack, 400, 0},    // 5 is not blink, 1 not bold
        {"\x1b[48;2;1;4;5mx", kGrey, MakeColor(1, 4, 5), 400, 0},
        {"\x1b[38;7;1mx", kGrey, kBlack, 700, 0},
        // No listed code: no push.
        {"\x1b[3mx", kError, kBlack, 400, 0},
        {"\x1b[99mx", kError, kBlack, 400, 0},
        {"\x1b[2Jx", kError, kBlack, 400, 0},
        {"\x1b[38mx", kError, kBlack, 400, 0},
        {"\x1b[4294967327mx", kError, kBlack, 400, 0},  // 2^32 + 31 does not wrap to 31
    };
    for (const auto& c : cases) {
        OutputBuffer buffer;
        buffer.PushFormat(DefaultOutputFormat(OutputFormat::Error));
        buffer.Append(c.input);
        TextFormat f = LastFormat(buffer);
        EXPECT_EQ(f.textColor, c.text) << c.input.substr(1);
        EXPECT_EQ(f.backColor, c.back) << c.input.substr(1);
        EXPECT_EQ(f.weight, c.weight) << c.input.substr(1);
        EXPECT_EQ(f.effects, c.effects) << c.input.substr(1);
    }

    // Parameters past the kept number are dropped, so the trailing 31 has no effect.
    OutputBuffer many;
    std::string sequence = "\x1b[";
    for (size_t i = 0; i < AnsiParser::kMaximumParams + 8; ++i) sequence += "1;";
    many.Append(sequence + "31mx");
    EXPECT_EQ(LastFormat(many).weight, 700);
    EXPECT_EQ(LastFormat(many).textColor, kGrey);
}

TEST(OutputBuffer, AnsiDisabledRemovesSequencesButKeepsState)
{
    OutputBuffer buffer;
    buffer.SetAnsiEnabled(false);
    buffer.Append("\x1b[31ma");
    EXPECT_EQ(Lines(buffer), L{"a"});
    EXPECT_EQ(LastFormat(buffer), DefaultTextFormat());
    // The codes seen while disabled still count once a listed code arrives.
    buffer.SetAnsiEnabled(true);
    buffer.Append("\x1b[1mb");
    EXPECT_EQ(LastFormat(buffer, 1).textColor, MakeColor(192, 0, 0));
    EXPECT_EQ(LastFormat(buffer, 1).weight, 700);
}

TEST(OutputBuffer, PrintFormatThenAnsiState)
{
    // A print pushes its own format; the ANSI state returns at the next sequence.
    OutputBuffer buffer;
    buffer.Append("\x1b[32mgreen\r\n");
    buffer.PushFormat(DefaultOutputFormat(OutputFormat::Default));
    buffer.Append("grey\x1b[1mbold");
    EXPECT_EQ(LastFormat(buffer, 0).textColor, MakeColor(192, 192, 192));
    EXPECT_EQ(LastFormat(buffer, 4).textColor, MakeColor(0, 144, 0));
    EXPECT_EQ(LastFormat(buffer, 4).weight, 700);
    EXPECT_EQ(LastFormat(buffer, 0).Face(), "Courier New");
}

TEST(OutputBuffer, SameResultAtEverySplit)
{
    const std::string_view inputs[] = {
        "plain\r\ntext\n\rhere\r\rand\n\nmore",
        "\x1b[1;31mred\x1b[0m and \x1b[4munder\x1b[m\r\n",
        "ab\bc\x1b[32;44mde\b\bf\x1b(Bg\x1b[2Jh\x1b[38;5;9mi\r\n",
        "\x1b[3\xE9\x1b\rx\x1b[1;;33my\x1b[;7mz\n",
        "a\x1b[38;2;1;2;3mb\x1b[48;5;196mc\x1b[39;49md\r\n",
        "\x1b[38:2::4:5:6me\x1b[38;2;0;1;2;1mf\x1b[38;5;256;38;5;17mg\x1b[22;24;27mh\n",
    };
    for (auto input : inputs) {
        OutputBuffer whole;
        whole.Append(input);
        const Snapshot expected = Snap(whole);
        for (size_t cut1 = 0; cut1 <= input.size(); ++cut1) {
            for (size_t cut2 = cut1; cut2 <= input.size(); ++cut2) {
                OutputBuffer split;
                split.Append(input.substr(0, cut1));
                split.Append(input.substr(cut1, cut2 - cut1));
                split.Append(input.substr(cut2));
                ASSERT_EQ(Snap(split), expected) << "cuts at " << cut1 << ", " << cut2;
            }
        }
    }

    // Longer random inputs, cut at random.
    const std::string alphabet = "\x1b\x1b[[;;01349mM\r\n\b\tab\xE9\x01(";
    std::mt19937 random(777);
    for (int round = 0; round < 300; ++round) {
        std::string input(random() % 300, 'x');
        for (char& c : input) c = random() % 3 ? alphabet[random() % alphabet.size()] : c;
        OutputBuffer whole, cut;
        whole.Append(input);
        for (size_t at = 0, n; at < input.size(); at += n)
            cut.Append(std::string_view(input).substr(at, n = 1 + random() % 20));
        ASSERT_EQ(Snap(cut), Snap(whole)) << round;
    }
}

TEST(OutputBuffer, TrimmingKeepsNewestLines)
{
    const struct {
        int32_t maximum;
        std::initializer_list<std::string_view> appends;
        L lines;
        uint64_t base;
        L reported;  // LineEnded, before trimming
    } cases[] = {
        {3, {"1\n2\n3\n4\n5\n"}, {"3$", "4$", "5$"}, 2, {"0:1", "1:2", "2:3", "3:4", "4:5"}},
        {3,
         {"1\n2\n", "3\n4\n", "5\n"},
         {"3$", "4$", "5$"},
         2,
         {"0:1", "1:2", "2:3", "3:4", "4:5"}},
        {2, {"a\nb\nc"}, {"b$", "c"}, 1, {"0:a", "1:b"}},
        {1, {"a\nb"}, {"b"}, 1, {"0:a"}},
        {0, {"a\nb"}, {}, 2, {"0:a"}},
        {0, {"a\n", "b\n"}, {}, 2, {"0:a", "1:b"}},
        {-7, {"a", "b\n", "c"}, {}, 3, {"1:b"}},
        {INT32_MAX, {"a\nb"}, {"a$", "b"}, 0, {"0:a"}},
    };
    for (const auto& c : cases) {
        OutputBuffer buffer;
        Recorder recorder;
        buffer.AddListener(&recorder);
        buffer.SetMaximumLines(c.maximum);
        for (auto a : c.appends) buffer.Append(a);
        EXPECT_EQ(Lines(buffer), c.lines) << c.maximum;
        EXPECT_EQ(buffer.LineBase(), c.base) << c.maximum;
        EXPECT_EQ(recorder.ended, c.reported) << c.maximum;
        EXPECT_EQ(recorder.appended, int(c.appends.size()));
        buffer.RemoveListener(&recorder);
    }
}

TEST(OutputBuffer, LongLinesAreBroken)
{
    constexpr size_t kCap = OutputBuffer::kMaximumLineLength;
    const struct {
        size_t length;
        std::string_view tail;
        std::vector<size_t> lengths;
    } cases[] = {
        {kCap, "\r\n", {kCap}},  // a full line still ends with its own terminator
        {kCap + 1, "", {kCap, 1}},
        {2 * kCap + 5, "\n", {kCap, kCap, 5}},
    };
    for (const auto& c : cases) {
        OutputBuffer buffer;
        std::string text(c.length, 'x');
        for (size_t at = 0; at < text.size(); at += 4096) buffer.Append(text.substr(at, 4096));
        buffer.Append(c.tail);
        std::vector<size_t> lengths;
        for (uint64_t n = buffer.LineBase(); n < buffer.End(); ++n)
            lengths.push_back(buffer.Line(n)->Length());
        EXPECT_EQ(lengths, c.lengths) << c.length;
    }
}

TEST(OutputBuffer, ClearKeepsCounting)
{
    OutputBuffer buffer;
    Recorder recorder;
    buffer.AddListener(&recorder);
    buffer.Append("\x1b[31mone\ntwo\nthr");
    buffer.PushFormat(DefaultOutputFormat(OutputFormat::Error));
    buffer.Clear();
    EXPECT_EQ(recorder.cleared, 1);
    EXPECT_EQ(buffer.LineCount(), 0u);
    EXPECT_EQ(buffer.LineBase(), 3u);
    EXPECT_EQ(buffer.CurrentFormat(), DefaultTextFormat());
    EXPECT_EQ(buffer.Line(2), nullptr);
    buffer.Append("four\n");
    EXPECT_EQ(recorder.ended.back(), "3:four");
    // The ANSI state belongs to the stream and survives; only the next sequence shows it.
    EXPECT_EQ(LastFormat(buffer), DefaultTextFormat());
    buffer.Append("\x1b[1mfive");
    EXPECT_EQ(LastFormat(buffer).textColor, MakeColor(192, 0, 0));
    buffer.RemoveListener(&recorder);
}

TEST(OutputBuffer, TextBetween)
{
    OutputBuffer buffer;
    buffer.SetMaximumLines(4);
    buffer.Append("zero\none\ntwo\nthree\nfour\nfive\nsix\nseven");  // holds 4 to 7
    const struct {
        uint64_t line1;
        uint32_t column1;
        uint64_t line2;
        uint32_t column2;
        std::string_view text;
    } cases[] = {
        {5, 2, 5, 2, ""},
        {5, 2, 7, 1, "ve\r\nsix\r\ns"},
        {5, 1, 5, 3, "iv"},
        {5, 3, 5, 1, ""},
        {6, 0, 5, 0, ""},
        {5, 1, 5, 100, "ive"},
        {5, 10, 6, 100, "\r\nsix"},
        {4, 0, 5, 0, "four\r\n"},
        {0, 3, 5, 2, "four\r\nfi"},      // from a dropped line: from the first held one
        {6, 1, 1000, 0, "ix\r\nseven"},  // to a line not yet there: to the end
        {0, 0, 2, 0, ""},
        {1000, 0, 2000, 5, ""},
        {0, 0, UINT64_MAX, UINT32_MAX, "four\r\nfive\r\nsix\r\nseven"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(buffer.TextBetween(c.line1, c.column1, c.line2, c.column2), c.text)
            << c.line1 << "," << c.column1 << " " << c.line2 << "," << c.column2;
}

TEST(OutputBuffer, CharacterAndWordAt)
{
    OutputBuffer buffer;
    buffer.Append("  hello, w\xE9rld\tx\n\n");
    const struct {
        uint64_t line;
        uint32_t column;
        char32_t character;
        std::optional<std::string_view> word;
        uint32_t start, end;
    } cases[] = {
        {0, 2, 'h', "hello,", 2, 8},
        {0, 7, ',', "hello,", 2, 8},
        // Columns are bytes of the UTF-8 text: é (from the byte E9) takes two.
        {0, 9, 'w', "w\xC3\xA9rld", 9, 15},  // characters above 0x7F are word characters
        {0, 16, 'x', "x", 16, 17},
        {0, 0, ' ', std::nullopt, 0, 0},
        {0, 15, '\t', std::nullopt, 0, 0},
        {0, 17, 0, std::nullopt, 0, 0},  // past the end
        {1, 0, 0, std::nullopt, 0, 0},   // empty line
        {2, 0, 0, std::nullopt, 0, 0},   // not yet there
    };
    for (const auto& c : cases) {
        EXPECT_EQ(buffer.CharacterAt(c.line, c.column), c.character) << c.column;
        auto word = buffer.WordAt(c.line, c.column);
        ASSERT_EQ(word.has_value(), c.word.has_value()) << c.column;
        if (!word) continue;
        EXPECT_EQ(word->text, *c.word);
        EXPECT_EQ(word->start, c.start);
        EXPECT_EQ(word->end, c.end);
    }
}

TEST(OutputBuffer, FormatsStayBoundedByHeldRuns)
{
    // Every line in a colour never seen before: the table must shed the formats of
    // dropped lines instead of growing with the stream.
    OutputBuffer buffer;
    buffer.SetMaximumLines(10);
    size_t settled = 0;
    for (int i = 0; i < 20000; ++i) {
        TextFormat f;
        f.mask = mask::kTextColor | mask::kWidth;
        f.textColor = Color(i);
        f.width = i;
        buffer.PushFormat(f);
        buffer.Append("line\r\n");
        if (i == 100) settled = buffer.MemoryUsage();
    }
    EXPECT_LE(buffer.MemoryUsage(), settled);
    EXPECT_EQ(LastFormat(buffer).textColor, Color(19999));
    EXPECT_EQ(buffer.Format(buffer.Line(buffer.LineBase())->Runs()[0].format).width, 19990);
}

TEST(OutputBuffer, HostileStreamsStayWithinTheByteBudget)
{
    // Switches that change nothing (an escape that is no SGR, a repeated colour) cost no
    // run: a long line of them is one run.
    OutputBuffer merged;
    std::string same;
    for (int i = 0; i < 4000; ++i) same += "x\x1bZy\x1b[31m";
    merged.Append(same + "\r\n");
    EXPECT_EQ(Lines(merged).size(), 1u);
    EXPECT_EQ(merged.Line(merged.LineBase())->Runs().size(), 2u);

    // Alternating colours need a run per character; the budget bounds what they hold, the
    // oldest lines going first.
    OutputBuffer buffer;
    const size_t budget = size_t(4) << 20;
    buffer.SetMaximumBytes(budget);
    std::string line;
    for (int i = 0; i < 2000; ++i) line += i % 2 ? "x\x1b[31m" : "y\x1b[32m";
    line += "\r\n";
    size_t peak = 0;
    for (int i = 0; i < 2000; ++i) {  // 4,000,000 characters, 36 MB unbounded
        buffer.Append(line);
        peak = std::max(peak, buffer.MemoryUsage());
    }
    EXPECT_LE(peak, budget + (size_t(1) << 20));
    EXPECT_LT(buffer.LineCount(), 2000u);
    EXPECT_EQ(buffer.End(), 2000u);
    EXPECT_EQ(buffer.Line(buffer.End() - 1)->Length(), 2000u);
}

TEST(OutputBuffer, RandomStreamsKeepInvariants)
{
    // Bytes biased toward the interesting ones; formats recorded when a line ends must still
    // be what the held line shows later (a freed and reused format entry would not be).
    const std::string alphabet = "\x1b\x1b[[;;0123456789mM\r\n\b\b ab\xE9\x7f\x01(?";
    std::mt19937 random(12345);
    auto pick = [&](size_t n) { return size_t(random() % n); };
    const int32_t maxima[] = {-1, 0, 1, 3, 50};

    struct Keeper : OutputBuffer::Listener {
        explicit Keeper(const OutputBuffer& b) : buffer(b) {}
        void LineEnded(uint64_t number, const OutputLine& line) override
        {
            auto& f = formats[number];
            for (const TextRun& run : line.Runs()) f.push_back(buffer.Format(run.format));
        }
        const OutputBuffer& buffer;
        std::map<uint64_t, std::vector<TextFormat>> formats;
    };

    for (int round = 0; round < 2000; ++round) {  // the same streams on every machine
        OutputBuffer buffer;
        Keeper keeper(buffer);
        buffer.AddListener(&keeper);
        const int32_t maximum = maxima[pick(std::size(maxima))];
        buffer.SetMaximumLines(maximum);
        for (int append = 0; append < 40; ++append) {
            std::string text(pick(200), ' ');
            for (char& c : text) c = pick(4) ? alphabet[pick(alphabet.size())] : char(random());
            if (pick(10) == 0) text.append(pick(3 * OutputBuffer::kMaximumLineLength), 'L');
            if (pick(3) == 0) buffer.PushFormat(DefaultOutputFormat(OutputFormat(pick(8))));
            if (pick(8) == 0) buffer.SetAnsiEnabled(pick(2));
            if (pick(60) == 0) buffer.Clear();
            buffer.Append(text);

            ASSERT_LE(buffer.LineCount(), size_t(std::max(0, maximum)));
            ASSERT_EQ(buffer.End(), buffer.LineBase() + buffer.LineCount());
            size_t held = 0;
            for (uint64_t n = buffer.LineBase(); n < buffer.End(); ++n) {
                const OutputLine& line = *buffer.Line(n);
                ASSERT_LE(line.Length(), OutputBuffer::kMaximumLineLength);
                uint32_t start = 0;
                for (const TextRun& run : line.Runs()) {
                    ASSERT_GT(run.end, start);
                    ASSERT_EQ(buffer.Format(run.format).mask, mask::kAll);
                    start = run.end;
                }
                ASSERT_EQ(start, line.Length());
                if (n + 1 < buffer.End()) {
                    ASSERT_TRUE(line.Ended());
                }
                if (line.Ended() && keeper.formats.count(n)) {
                    std::vector<TextFormat> now;
                    for (const TextRun& run : line.Runs()) now.push_back(buffer.Format(run.format));
                    ASSERT_EQ(now, keeper.formats[n]);
                }
                held += line.Length() + line.Runs().size() * 256 + 64;
            }
            // Lines, runs and their formats, plus the open line's scratch: nothing else.
            ASSERT_LE(buffer.MemoryUsage(), held + (1 << 20));
        }
        buffer.RemoveListener(&keeper);
    }
}

}  // namespace
}  // namespace zel
