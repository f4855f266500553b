// `read` of a large settings file: 10,000 aliases, 2,000 actions and 1,000 variables, each
// line through the interpreter as a player's file is read at start-up.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "engine/ClientWindow.h"
#include "modules/AllModules.h"

namespace {

std::string LargeSettingsFile()
{
    const std::string path = (std::filesystem::temp_directory_path() /
                              ("zel-bench-settings-" + std::to_string(getpid()) + ".zel"))
                                 .string();
    std::ofstream out(path, std::ios::binary);
    out << "|\n|rem a player's large setup\n";
    for (int i = 0; i < 10000; ++i)
        out << "|alias add {a" << i << "} {say hello $1;look at {the} thing " << i
            << "} {alias number " << i << "}\n";
    for (int i = 0; i < 2000; ++i)
        out << "|action add {act" << i << "} {^(\\\\w+) tells you '([a-z]+) " << i
            << "'$} {reply $$1 $$2} {bold}\n";
    for (int i = 0; i < 1000; ++i) out << "|variable add {v" << i << "} {value " << i << "}\n";
    return path;
}

void BM_ReadSettingsFile(benchmark::State& state)
{
    const std::string path = LargeSettingsFile();
    zel::NullHost host;
    for (auto _ : state) {
        state.PauseTiming();
        auto client = std::make_unique<zel::ClientWindow>(host, zel::AllModules());
        state.ResumeTiming();
        client->ExecuteLine("|read " + path, false, false);
        state.PauseTiming();
        const bool complete = client->Aliases().Size() == 10000 &&
                              client->Actions().Size() == 2000 &&
                              client->Variables().Size() == 1000;
        client.reset();
        state.ResumeTiming();
        if (!complete) state.SkipWithError("the file was not read whole");
    }
    std::filesystem::remove(path);
    state.SetItemsProcessed(state.iterations() * 13000);
}
BENCHMARK(BM_ReadSettingsFile)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
