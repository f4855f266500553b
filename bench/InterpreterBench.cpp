// The interpreter's hot paths: a typed line through ExecuteLine, and substitution of a
// long line with many variable references.
#include <benchmark/benchmark.h>

#include "engine/ClientWindow.h"
#include "modules/AllModules.h"

namespace zel {
namespace {

void Define(ClientWindow& client)
{
    std::scoped_lock lock(client.DefinitionLock());
    client.Aliases().Insert("ka").command = "kill $1;get all $2;say $hp/$mana $target";
    client.Variables().Insert("hp").value = "120";
    client.Variables().Insert("mana").value = "80";
    client.Variables().Insert("target").value = "orc";
}

// An alias with two arguments, three variables, three segments; quiet and not connected,
// so the cost is the interpreter's, not the output's.
void BM_ExecuteLine(benchmark::State& state)
{
    NullHost host;
    ClientWindow client(host, AllModules());
    Define(client);
    for (auto _ : state) {
        ClientWindow::QuietScope quiet(client, true);
        client.ExecuteLine("ka orc corpse", false, true);
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_SubstituteText16K(benchmark::State& state)
{
    NullHost host;
    ClientWindow client(host, AllModules());
    Define(client);
    // 16 KiB with 500 references spread evenly.
    std::string line;
    for (int i = 0; i < 500; ++i) line += (i % 2 ? "$hp" : "$mana") + std::string(27, 't');
    line.resize(16384, 'x');
    std::string out;
    for (auto _ : state) {
        client.SubstituteText(line, out);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(line.size()));
}

BENCHMARK(BM_ExecuteLine);
BENCHMARK(BM_SubstituteText16K);

}  // namespace
}  // namespace zel
