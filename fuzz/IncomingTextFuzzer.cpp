// Fuzz target: arbitrary data bytes through IncomingText, with telnet commands, prompt marks
// and line waits between reads. The first byte picks compact mode, automatic prompting, the
// scroll rate and the action switch; the second the read size. The stream is fed whole and
// cut into reads: what reaches the client must be the same (pieces of text joined), or the
// target traps. A third run with line waits after some reads looks for crashes only.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "net/ConnectionClient.h"
#include "net/IncomingText.h"
#include "net/ReceiveChannel.h"

namespace {

using zel::ConnectionClient;

class Client : public ConnectionClient, public zel::ReceiveChannel {
public:
    explicit Client(uint8_t options) : options_(options) {}

    ReceiveOptions ReadReceiveOptions() override
    {
        constexpr int32_t kScrollRates[] = {0, 1, 3, 7};
        return {bool(options_ & 1), kScrollRates[(options_ >> 2) & 3]};
    }
    int32_t LineWaitMilliseconds() override { return 50; }
    void LogReceived(std::string_view) override {}
    bool ReceivedTextToActions() override { return !(options_ & 16); }
    void ProcessReceivedText(std::string_view text, bool print) override
    {
        Check(text);
        if (print) {
            Text(text);
        } else {
            Event('m', text);
        }
    }
    void PrintReceivedText(std::string_view text) override
    {
        Check(text);
        Text(text);
    }
    void FlushPendingPrompt() override
    {
        if (!pending_.empty()) Event('f', pending_);
        pending_.clear();
    }
    bool PromptsAutomatically() override { return options_ & 2; }
    void KeepPendingPrompt(std::string_view prompt) override
    {
        Check(prompt);
        pending_.assign(prompt);
        Event('p', prompt);
    }
    void SwitchServerEcho(bool) override {}
    WindowSize TelnetWindowSize() override { return {}; }
    void ReceivedSubnegotiation(uint8_t, std::string_view) override {}
    void ConnectionStateChanged(ConnectionChange, std::string_view) override {}
    void ConnectionReport(zel::OutputFormat, std::string_view) override {}
    void ConnectionStatusChanged(std::string_view) override {}

    void SendProtocol(std::string_view) override {}
    void CountSent(int32_t) override {}
    int32_t CountLine() override { return ++lines_; }

    std::string Result() { return Event('e', {}), log_; }

private:
    // Nothing is handed on empty.
    static void Check(std::string_view text)
    {
        if (text.empty()) __builtin_trap();
    }
    void Text(std::string_view text) { text_.append(text); }
    void Event(char kind, std::string_view text)
    {
        if (!text_.empty()) {
            log_ += '\0';
            log_ += 't';
            log_ += text_;
            text_.clear();
        }
        log_ += '\0';
        log_ += kind;
        log_.append(text);
    }

    uint8_t options_;
    std::string pending_;
    std::string text_;
    std::string log_;
    int32_t lines_ = 0;
};

// Reads of at most `readSize` bytes; a 0xFE byte stands for a telnet command and 0xFD for a
// prompt mark, as the telnet stage would report them. With `waits`, the line wait passes
// after every read that ends in 'w'.
std::string Run(uint8_t options, std::string_view stream, size_t readSize, bool waits)
{
    Client client(options);
    zel::IncomingText incoming(client, client);
    while (!stream.empty()) {
        const std::string_view read = stream.substr(0, readSize);
        stream.remove_prefix(read.size());
        incoming.BeginRead();
        size_t start = 0;
        for (size_t i = 0; i < read.size(); ++i) {
            const auto byte = uint8_t(read[i]);
            if (byte != 0xFE && byte != 0xFD) continue;
            incoming.Text(read.substr(start, i - start));
            if (byte == 0xFE) {
                incoming.Command();
            } else {
                incoming.PromptMark();
            }
            start = i + 1;
        }
        incoming.Text(read.substr(start));
        incoming.EndOfRead();
        if (waits && read.back() == 'w') incoming.LineWaitPassed();
    }
    incoming.EndOfStream();
    return client.Result();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2) return 0;
    const uint8_t options = data[0];
    const size_t readSize = 1 + data[1];
    const std::string_view stream(reinterpret_cast<const char*>(data + 2), size - 2);
    if (Run(options, stream, stream.size() + 1, false) != Run(options, stream, readSize, false))
        __builtin_trap();
    Run(options, stream, readSize, true);
    return 0;
}
