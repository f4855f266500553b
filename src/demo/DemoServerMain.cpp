// zel-demo-server: serves the demo world, or sends one client a stream as fast as it takes it
// (for throughput benchmarks), or writes a generated stream to a file.
#include <pthread.h>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <exception>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

#include "demo/DemoServer.h"
#include "demo/LoopbackServer.h"
#include "demo/MudStream.h"

namespace {

using namespace zel::demo;

constexpr char kUsage[] =
    "usage: zel-demo-server [--host 127.0.0.1] [--port N]\n"
    "         serves the demo world until interrupted\n"
    "       zel-demo-server (--send-file FILE | --send-generated MB) [--port N]\n"
    "         sends one client the bytes, then prints bytes=N seconds=S MBps=X\n"
    "       zel-demo-server --write-stream FILE MB\n"
    "         writes a generated MUD stream of MB megabytes (2^20 bytes) to FILE\n"
    "Serving and sending first print: listening on HOST:PORT\n";

constexpr auto kAcceptTimeout = std::chrono::seconds(60);
constexpr auto kCloseTimeout = std::chrono::seconds(600);
constexpr size_t kMegabyte = size_t(1) << 20;
constexpr size_t kMaximumMegabytes = 4096;

struct Options {
    std::string host = "127.0.0.1";
    uint16_t port = 0;
    std::string sendFile;
    std::string writeFile;
    size_t megabytes = 0;  // of --send-generated or --write-stream
};

std::optional<unsigned long> Number(const char* text, unsigned long maximum)
{
    char* end = nullptr;
    const unsigned long n = std::strtoul(text, &end, 10);
    if (*text == '\0' || *end != '\0' || n > maximum) return std::nullopt;
    return n;
}

std::optional<Options> ParseOptions(int argc, char** argv)
{
    Options o;
    bool generated = false;
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        if (!value) return std::nullopt;
        ++i;
        if (option == "--host") {
            o.host = value;
        } else if (option == "--port") {
            const auto port = Number(value, 65535);
            if (!port) return std::nullopt;
            o.port = uint16_t(*port);
        } else if (option == "--send-file") {
            o.sendFile = value;
        } else if (option == "--send-generated" || option == "--write-stream") {
            if (option == "--write-stream") {
                o.writeFile = value;
                if (++i == argc) return std::nullopt;
            }
            generated = option == "--send-generated";
            const auto megabytes = Number(argv[i], kMaximumMegabytes);
            if (!megabytes || *megabytes == 0) return std::nullopt;
            o.megabytes = *megabytes;
        } else {
            return std::nullopt;
        }
    }
    const int modes = !o.sendFile.empty() + generated + !o.writeFile.empty();
    if (modes > 1 || (modes == 1 && o.host != "127.0.0.1")) return std::nullopt;
    return o;
}

void PrintListening(const std::string& host, uint16_t port)
{
    std::printf("listening on %s:%u\n", host.c_str(), unsigned(port));
    std::fflush(stdout);
}

int Fail(const std::string& message)
{
    std::fprintf(stderr, "zel-demo-server: %s\n", message.c_str());
    return 1;
}

// Until SIGINT or SIGTERM. The signals are blocked before any thread starts, so only the
// sigwait here takes them.
int Serve(const Options& o)
{
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    DemoServer server(o.host, o.port);
    PrintListening(o.host, server.Port());
    int signal = 0;
    sigwait(&signals, &signal);
    server.Stop();
    return 0;
}

// Sends bytes to one client, then waits for it to close: the time runs from the accept to
// the client's close, so it includes the client's work on the last bytes.
int SendOnce(const std::string& bytes, uint16_t port)
{
    LoopbackServer server(port);
    PrintListening("127.0.0.1", server.Port());
    if (!server.Accept(kAcceptTimeout)) return Fail("no client connected within 60 seconds");
    const auto start = Clock::now();
    if (!server.Send(bytes))
        return Fail("the client closed the connection or stopped reading before the end");
    server.ShutdownWrite();
    if (!server.WaitForClose(kCloseTimeout))
        return Fail("the client did not close the connection within 600 seconds");
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    std::printf("bytes=%zu seconds=%.3f MBps=%.1f\n", bytes.size(), seconds,
                double(bytes.size()) / double(kMegabyte) / seconds);
    return 0;
}

int Run(const Options& o)
{
    if (!o.writeFile.empty()) {
        std::ofstream out(o.writeFile, std::ios::binary);
        out << GenerateMudStream(o.megabytes * kMegabyte);
        return out.flush() ? 0 : Fail("cannot write " + o.writeFile);
    }
    if (!o.sendFile.empty()) {
        std::ifstream in(o.sendFile, std::ios::binary);
        if (!in) return Fail("cannot read " + o.sendFile);
        return SendOnce(std::string(std::istreambuf_iterator<char>(in), {}), o.port);
    }
    if (o.megabytes > 0) return SendOnce(GenerateMudStream(o.megabytes * kMegabyte), o.port);
    return Serve(o);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    const auto options = ParseOptions(argc, argv);
    if (!options) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    std::signal(SIGPIPE, SIG_IGN);
    try {
        return Run(*options);
    } catch (const std::exception& e) {
        return Fail(e.what());
    }
}
