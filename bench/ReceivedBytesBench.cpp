// The received-bytes path from a read to lines in the output buffer: telnet, incoming text
// (with automatic prompting, as players use it) and the output buffer at its maximum line
// count, on a realistic coloured MUD stream with prompts, IAC GA and IAC NOP, in reads of
// 4096 bytes and of the network thread's 64 KiB. Hostile floods of bare escapes and of
// unfinished CSI openers, at two sizes, show that their cost per byte does not grow.
#include <benchmark/benchmark.h>

#include <string>

#include "demo/MudStream.h"
#include "engine/ClientWindow.h"
#include "modules/AllModules.h"
#include "net/StreamReplay.h"

namespace zel {
namespace {

constexpr size_t kStreamBytes = 8 << 20;

void ReceivedBytes(benchmark::State& state)
{
    static const std::string stream = demo::GenerateMudStream(kStreamBytes, 7);
    const size_t readSize = state.range(0) > 0 ? size_t(state.range(0)) : StreamReplay::kReadSize;
    NullHost host;
    ClientWindow client(host, AllModules());
    client.ExecuteLine("|prompt auto", false, false);
    StreamReplay replay(client);
    replay.Receive(stream, readSize);  // fill the buffer, so every line end also trims
    for (auto _ : state) replay.Receive(stream, readSize);
    state.SetBytesProcessed(int64_t(state.iterations() * stream.size()));
}
BENCHMARK(ReceivedBytes)->Arg(0)->Arg(65536)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The same with accented text, in the server's character set: state.range(0) is 0 for
// Windows-1252 (no decoding), 1 for UTF-8 (decoded and validated on the way in).
void ReceivedBytesEncoded(benchmark::State& state)
{
    const bool utf8 = state.range(0) == 1;
    static const std::string ascii = demo::GenerateMudStream(kStreamBytes, 7);
    const std::string stream = demo::WithAccents(ascii, utf8);
    NullHost host;
    ClientWindow client(host, AllModules());
    client.ExecuteLine("|prompt auto", false, false);
    if (utf8) client.ExecuteLine("|option encoding UTF-8", false, false);
    StreamReplay replay(client);
    replay.Receive(stream);
    for (auto _ : state) replay.Receive(stream);
    state.SetBytesProcessed(int64_t(state.iterations() * stream.size()));
}
BENCHMARK(ReceivedBytesEncoded)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// state.range(0): 0 for bare escapes, 1 for "ESC [" pairs; state.range(1): megabytes.
void EscapeFlood(benchmark::State& state)
{
    const std::string unit = state.range(0) == 0 ? "\x1b" : "\x1b[";
    std::string stream;
    while (stream.size() < size_t(state.range(1)) << 20) stream += unit;
    stream += "\r\n";
    NullHost host;
    ClientWindow client(host, AllModules());
    StreamReplay replay(client);
    for (auto _ : state) replay.Receive(stream);
    state.SetBytesProcessed(int64_t(state.iterations() * stream.size()));
}
BENCHMARK(EscapeFlood)
    ->ArgsProduct({{0, 1}, {1, 4}})
    ->ArgNames({"csi", "MB"})
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace zel
