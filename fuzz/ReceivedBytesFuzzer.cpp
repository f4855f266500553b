// Fuzz target: arbitrary bytes from a server through the whole received-bytes path (telnet,
// incoming text, prompt, output buffer), exactly as the network thread hands them on.
// The first byte picks compact mode, automatic prompting, the scroll rate, the action
// switch, a set of actions and the server's character set (UTF-8, or GBK when the second
// byte is odd); the second the read size, so commands, sequences and characters get cut at
// every position.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "engine/ClientWindow.h"
#include "modules/AllModules.h"
#include "net/StreamReplay.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace zel;
    if (size < 2) return 0;
    constexpr int kScrollRates[] = {0, 1, 3, 7};
    const uint8_t options = data[0];
    const size_t readSize = 1 + size_t(data[1]) * 16;
    std::string_view stream(reinterpret_cast<const char*>(data + 2), size - 2);

    NullHost host;
    ClientWindow client(host, AllModules());
    client.ExecuteLine("|option scrollsize 200", false, false);
    if (options & 1) client.ExecuteLine("|option compact on", false, false);
    if (options & 2) client.ExecuteLine("|prompt auto", false, false);
    client.ExecuteLine("|option scrollrate " + std::to_string(kScrollRates[(options >> 2) & 3]),
                       false, false);
    client.SetActionsEnabled(!(options & 16));
    if (options & 64) {
        // Actions that recolour, replace, gag, match empty text and feed text back.
        for (const char* line : {
                 "|action add a {^([A-Za-z]+) (.*)$} {|rem \\$1 \\$2 \\$9} {textcolor=red} "
                 "{<\\$2>}",
                 "|action add b {x*} {} {} {}",
                 "|action add c {[0-9]+} {|receive \\$0}",
                 "|action add d {ab|cd} {} {bold=on}",
                 "|action add e {\\[[^]]*\\]} {|action delete x e}",
             })
            client.ExecuteLine(line, false, false);
    }
    if (options & 128)
        client.ExecuteLine(data[1] & 1 ? "|option encoding GBK" : "|option encoding UTF-8", false,
                           false);
    client.SetViewSize(options & 32 ? 255 : 80, 24);

    StreamReplay replay(client);
    replay.Receive(stream, readSize);
    // A typed line prints the pending prompt and is refused without a connection.
    client.ExecuteLine("look", true, true);

    size_t sum = client.Output().MemoryUsage() + replay.Sent().size();
    [[maybe_unused]] static volatile size_t keep;
    keep = sum;
    return 0;
}
