// OutputBuffer benchmarks on a realistic coloured MUD stream: CR LF lines of 60-120
// characters with 2-6 SGR sequences each, appended 4096 bytes at a time, every append
// preceded by the "Output: Default" push that a print makes.
//   Append: throughput with the buffer full, so every line end also trims.
//   Memory: bytes really allocated (mallinfo2) by a full buffer of 100,000 such lines,
//           against the budget of text + 16 bytes per run + 32 bytes per line.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <memory>
#include <random>
#include <string>

#include "display/OutputBuffer.h"
#include "display/OutputFormats.h"

namespace zel {
namespace {

constexpr size_t kAppendSize = 4096;

std::string MudStream(size_t bytes, uint32_t seed)
{
    static const char* const kSequences[] = {
        "\x1b[0m",    "\x1b[1m",    "\x1b[31m", "\x1b[1;32m", "\x1b[33m",
        "\x1b[0;36m", "\x1b[1;37m", "\x1b[35m", "\x1b[34;1m", "\x1b[0;1;33m",
    };
    static const char* const kWords[] = {
        "the",   "goblin",   "hits",   "you",  "with",  "a",    "rusty",    "sword",       "north",
        "south", "Mirkwood", "forest", "path", "leads", "into", "darkness", "[HP:94/120]", "exits:",
    };
    std::mt19937 random(seed);
    std::string stream;
    stream.reserve(bytes + 512);
    while (stream.size() < bytes) {
        const size_t length = 60 + random() % 61;
        const size_t sequences = 2 + random() % 5;
        std::string line;
        while (line.size() < length) {
            if (!line.empty()) line += ' ';
            line += kWords[random() % std::size(kWords)];
        }
        line.resize(length);
        // Insert from the back so earlier positions stay valid.
        std::vector<size_t> at(sequences);
        for (size_t& p : at) p = random() % length;
        std::sort(at.rbegin(), at.rend());
        for (size_t p : at) line.insert(p, kSequences[random() % std::size(kSequences)]);
        stream += line;
        stream += "\r\n";
    }
    return stream;
}

void Print(OutputBuffer& buffer, const TextFormat& format, std::string_view stream)
{
    for (size_t at = 0; at < stream.size(); at += kAppendSize) {
        buffer.PushFormat(format);
        buffer.Append(stream.substr(at, kAppendSize));
    }
}

void BM_OutputBufferAppend(benchmark::State& state)
{
    const std::string stream = MudStream(16 << 20, 1);
    const TextFormat print = DefaultOutputFormat(OutputFormat::Default);
    OutputBuffer buffer;
    // Fill to the maximum first, so the timed appends trim as they would in a session.
    Print(buffer, print, stream);
    for (auto _ : state) Print(buffer, print, stream);
    state.SetBytesProcessed(int64_t(state.iterations() * stream.size()));
}
BENCHMARK(BM_OutputBufferAppend)->Unit(benchmark::kMillisecond);

size_t AllocatedBytes()
{
    struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

void BM_OutputBufferMemory(benchmark::State& state)
{
    constexpr int32_t kLines = 100000;
    const std::string stream = MudStream(size_t(kLines) * 130, 2);
    const TextFormat print = DefaultOutputFormat(OutputFormat::Default);
    for (auto _ : state) {
        const size_t before = AllocatedBytes();
        auto buffer = std::make_unique<OutputBuffer>();
        buffer->SetMaximumLines(kLines);
        Print(*buffer, print, stream);
        const size_t used = AllocatedBytes() - before;

        size_t text = 0, runs = 0;
        for (uint64_t n = buffer->LineBase(); n < buffer->End(); ++n) {
            text += buffer->Line(n)->Length();
            runs += buffer->Line(n)->Runs().size();
        }
        const double lines = double(buffer->LineCount());
        state.counters["lines"] = lines;
        state.counters["text/line"] = double(text) / lines;
        state.counters["runs/line"] = double(runs) / lines;
        state.counters["bytes/line"] = double(used) / lines;
        state.counters["budget/line"] = double(text + 16 * runs) / lines + 32;
        state.counters["reported/line"] = double(buffer->MemoryUsage()) / lines;
        if (buffer->LineCount() != size_t(kLines)) state.SkipWithError("buffer not full");
    }
}
BENCHMARK(BM_OutputBufferMemory)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace zel
