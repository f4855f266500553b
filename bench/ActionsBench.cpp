// Received text through the actions: the realistic stream of the received-bytes benchmark
// with 0, 10, 100 and 1,000 actions. A few fire (a tell, hunger, the prompt, a recolour);
// the rest are realistic triggers for names and events that the stream never shows.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <string>
#include <vector>

#include "demo/MudStream.h"
#include "engine/ClientWindow.h"
#include "modules/AllModules.h"
#include "net/StreamReplay.h"

namespace zel {
namespace {

constexpr size_t kStreamBytes = 4 << 20;

// Triggers that fire on the stream.
const char* const kFiring[] = {
    "|action add 0tell {([A-Z][a-z]+).* tells you '(.*)'} {|rem reply \\$1}",
    "|action add 0hunger {^You are hungry} {|rem eat bread}",
    "|action add 0prompt {<([0-9]+)hp ([0-9]+)m ([0-9]+)mv>} {|rem hp \\$1}",
    "|action add 0troll {cave troll} {} {textcolor=light_red}",
};

// Triggers that do not: each template with a name the stream never mentions. Escapes are
// doubled: the typed line is substituted once before `action add` stores the pattern.
const char* const kTemplates[] = {
    "^%s arrives from the (north|south|east|west)",
    "You receive ([0-9]+) experience points from %s\\\\.",
    "%s is DEAD! R\\\\.I\\\\.P\\\\.",
    "The %s flees head over heels",
    "^%s gossips '(.*)'",
    "%s disarms you and sends your weapon flying",
    "You feel %s",
    "\\\\[%s\\\\]: (.*)",
};
const char* const kNames[] = {
    "Aragorn",    "Boromir", "Celeborn",   "Denethor", "Eomer",     "Faramir",
    "Glorfindel", "Haldir",  "Isildur",    "Legolas",  "Mablung",   "Nienor",
    "Orodreth",   "Pippin",  "Quickbeam",  "Radagast", "Shadowfax", "Treebeard",
    "Ulmo",       "Varda",   "Wormtongue", "Yavanna",  "Zirak",     "Beleg",
};

std::vector<std::string> ActionLines(int count)
{
    std::vector<std::string> lines;
    for (int i = 0; i < count; ++i) {
        if (i < int(std::size(kFiring))) {
            lines.emplace_back(kFiring[i]);
            continue;
        }
        std::string name = kNames[i % std::size(kNames)];
        if (i >= int(std::size(kNames))) name += std::to_string(i);
        std::string pattern = kTemplates[i % std::size(kTemplates)];
        pattern.replace(pattern.find("%s"), 2, name);
        lines.push_back("|action add a" + std::to_string(i) + " {" + pattern + "} {|rem " + name +
                        "}");
    }
    return lines;
}

void IncomingWithActions(benchmark::State& state)
{
    static const std::string stream = demo::GenerateMudStream(kStreamBytes, 7);
    const int64_t lines = std::count(stream.begin(), stream.end(), '\n');
    NullHost host;
    ClientWindow client(host, AllModules());
    for (const auto& line : ActionLines(int(state.range(0))))
        client.ExecuteLine(line, false, false);
    client.ExecuteLine("|prompt auto", false, false);
    StreamReplay replay(client);
    replay.Receive(stream);
    for (auto _ : state) replay.Receive(stream);
    state.SetBytesProcessed(int64_t(state.iterations() * stream.size()));
    state.counters["lines"] =
        benchmark::Counter(double(lines * state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(IncomingWithActions)->Arg(0)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);

// 100 actions on accented text: state.range(0) is 0 for Windows-1252, 1 for UTF-8 (the
// patterns then read characters).
void IncomingWithActionsEncoded(benchmark::State& state)
{
    const bool utf8 = state.range(0) == 1;
    static const std::string ascii = demo::GenerateMudStream(kStreamBytes, 7);
    const std::string stream = demo::WithAccents(ascii, utf8);
    NullHost host;
    ClientWindow client(host, AllModules());
    if (utf8) client.ExecuteLine("|option encoding UTF-8", false, false);
    for (const auto& line : ActionLines(100)) client.ExecuteLine(line, false, false);
    client.ExecuteLine("|prompt auto", false, false);
    StreamReplay replay(client);
    replay.Receive(stream);
    for (auto _ : state) replay.Receive(stream);
    state.SetBytesProcessed(int64_t(state.iterations() * stream.size()));
}
BENCHMARK(IncomingWithActionsEncoded)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace zel
