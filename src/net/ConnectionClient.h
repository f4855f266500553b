// ConnectionClient: what the connection and its received-bytes stages need of the client
// they serve, and nothing more. The client window implements it; tests may implement it to
// watch the stages without a window. Each call says on which thread it comes: "network"
// is the connection's network thread, or whatever thread replays a recorded stream.
#pragma once

#include <cstdint>
#include <string_view>

#include "display/OutputFormats.h"

namespace zel {

class ConnectionClient {
public:
    struct ReceiveOptions {
        bool compact = false;    // received line ends do not reach the output
        int32_t scrollRate = 0;  // hand text on every so many lines; 0: once per read
        int32_t encoding = 0;    // the server's character set (base/TextCodec.h)
    };
    struct WindowSize {
        int32_t columns = 80;
        int32_t rows = 24;
    };

    // --- Received bytes (network) ---
    // The options, read atomically; taken once per read.
    virtual ReceiveOptions ReadReceiveOptions() = 0;
    // How long an unended line is held for the rest of it before it is handed on anyway;
    // 0 or less hands it on at the end of each read.
    virtual int32_t LineWaitMilliseconds() = 0;
    // The bytes of one read as they came, before anything is done with them (session log).
    virtual void LogReceived(std::string_view bytes) = 0;
    // The global action switch: when off, text goes straight to the output.
    virtual bool ReceivedTextToActions() = 0;
    // Text through the actions; printed ("Output: Default") when `print`.
    virtual void ProcessReceivedText(std::string_view text, bool print) = 0;
    // Text straight to the output, "Output: Default".
    virtual void PrintReceivedText(std::string_view text) = 0;
    // Prints and empties the pending prompt: text that follows it is about to be printed.
    virtual void FlushPendingPrompt() = 0;
    // Automatic prompting: an unended line that ends as a prompt goes to the prompt line.
    virtual bool PromptsAutomatically() = 0;
    // The prompt, kept out of the output and shown in the prompt line until text follows.
    virtual void KeepPendingPrompt(std::string_view prompt) = 0;

    // --- Telnet (network) ---
    // Server echo on or off; the input line follows when it changes. Also at the end of a
    // connection (network).
    virtual void SwitchServerEcho(bool on) = 0;
    // The output view's size in character cells, for the window-size subnegotiation.
    virtual WindowSize TelnetWindowSize() = 0;
    // A subnegotiation of an option the client does not answer itself, payload undoubled.
    virtual void ReceivedSubnegotiation(uint8_t option, std::string_view payload) = 0;

    // --- The connection's life ---
    enum class ConnectionChange : uint8_t { Opened, Closed };
    // The connection was made, before anything is received; or it ended, after its closing
    // report. `where` is "host:port". Network thread.
    virtual void ConnectionStateChanged(ConnectionChange change, std::string_view where) = 0;
    // One of the connection's reports: its failures, its closing, its errors. Network
    // thread, or the thread that opens when no network thread starts.
    virtual void ConnectionReport(OutputFormat format, std::string_view text) = 0;
    // For status bar part 0: opened ("host:port") or idle again ("Not connected") after a
    // failed attempt or a close. The thread that opens or closes.
    virtual void ConnectionStatusChanged(std::string_view status) = 0;

protected:
    ~ConnectionClient() = default;
};

}  // namespace zel
