// Variable substitution of a typical line (three references) with few and with many
// variables defined: the look-up must not make a large table noticeably slower.
#include <benchmark/benchmark.h>

#include <mutex>
#include <string>

#include "engine/ClientWindow.h"
#include "lang/WordReader.h"
#include "modules/AllModules.h"

namespace {

void BM_SubstituteVariables(benchmark::State& state)
{
    zel::NullHost host;
    zel::ClientWindow client(host, zel::AllModules());
    const int64_t count = state.range(0);
    {
        std::scoped_lock lock(client.DefinitionLock());
        // Names spread over the alphabet, so the three looked up sit among the others.
        for (int64_t i = 0; i < count; ++i) {
            std::string name;
            for (int64_t n = i; name.size() < 4; n /= 26) name += char('a' + n % 26);
            client.Variables().Insert("v" + name).value = "value" + std::to_string(i);
        }
        client.Variables().Insert("hp").value = "120";
        client.Variables().Insert("target").value = "orc";
        client.Variables().Insert("weapon").value = "longsword";
    }
    const std::string line = "kill $target with my $weapon, then flee at $hp hit points\r\n";
    std::string output;
    for (auto _ : state) {
        client.SubstituteText(line, output, zel::kLineCapacity);
        benchmark::DoNotOptimize(output.data());
    }
    if (output != "kill orc with my longsword, then flee at 120 hit points\r\n")
        state.SkipWithError("wrong substitution");
    state.SetItemsProcessed(state.iterations());
    state.counters["variables"] = double(client.Variables().Size());
}
BENCHMARK(BM_SubstituteVariables)->Arg(10)->Arg(1000);

}  // namespace
