// The received-bytes path from a 4096-byte read to lines in the output buffer: telnet,
// incoming text (with automatic prompting, as players use it) and the output buffer at its
// maximum line count, on a realistic coloured MUD stream with prompts, IAC GA and IAC NOP.
#include <benchmark/benchmark.h>

#include <string>

#include "demo/MudStream.h"
#include "engine/ClientWindow.h"
#include "net/StreamReplay.h"

namespace zel {
namespace {

constexpr size_t kStreamBytes = 8 << 20;

void ReceivedBytes(benchmark::State& state)
{
    static const std::string stream = demo::GenerateMudStream(kStreamBytes, 7);
    NullHost host;
    ClientWindow client(host);
    client.ExecuteLine("|prompt auto", false, false);
    StreamReplay replay(client);
    replay.Receive(stream);  // fill the buffer, so every line end also trims
    for (auto _ : state) replay.Receive(stream);
    state.SetBytesProcessed(int64_t(state.iterations() * stream.size()));
}
BENCHMARK(ReceivedBytes)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace
}  // namespace zel
