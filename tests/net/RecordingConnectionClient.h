// A ConnectionClient that writes down what the received-bytes stages ask of it, one entry a
// call, so that tests can compare the stages' effects without a window. It keeps a pending
// prompt as the window does, and records its printing only when there is one. Guarded by a
// lock: a connection's network thread calls it while the test thread reads.
#pragma once

#include <mutex>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "net/ConnectionClient.h"

namespace zel::test {

// Bytes below 32, above 126 and '%' as %XX, so that a log reads on one line.
inline std::string Escaped(std::string_view bytes)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (const char c : bytes) {
        const auto byte = uint8_t(c);
        if (byte < 32 || byte > 126 || byte == '%') {
            out += '%';
            out += kHex[byte >> 4];
            out += kHex[byte & 15];
        } else {
            out += c;
        }
    }
    return out;
}

class RecordingConnectionClient : public ConnectionClient {
public:
    struct Entry {
        std::string kind;  // "text", "match", "print", "prompt", "prompt printed", "echo"...
        std::string text;
    };

    ReceiveOptions options;
    bool automaticPrompt = false;
    bool actions = true;
    int32_t lineWait = 50;
    WindowSize size;
    // When set, handing text on throws this, as a failing action or host would.
    std::string throwOnText;

    ReceiveOptions ReadReceiveOptions() override { return options; }
    int32_t LineWaitMilliseconds() override { return lineWait; }
    void LogReceived(std::string_view bytes) override { Add("log", bytes); }
    bool ReceivedTextToActions() override { return actions; }
    void ProcessReceivedText(std::string_view text, bool print) override
    {
        if (!throwOnText.empty()) throw std::runtime_error(throwOnText);
        Add(print ? "text" : "match", text);
    }
    void PrintReceivedText(std::string_view text) override { Add("print", text); }
    void FlushPendingPrompt() override
    {
        std::scoped_lock lock(mutex_);
        if (pending_.empty()) return;
        entries_.push_back({"prompt printed", pending_});
        pending_.clear();
    }
    bool PromptsAutomatically() override { return automaticPrompt; }
    void KeepPendingPrompt(std::string_view prompt) override
    {
        std::scoped_lock lock(mutex_);
        pending_.assign(prompt);
        entries_.push_back({"prompt", std::string(prompt)});
    }
    void SwitchServerEcho(bool on) override
    {
        std::scoped_lock lock(mutex_);
        if (echo_ == on) return;
        echo_ = on;
        entries_.push_back({"echo", on ? "on" : "off"});
    }
    WindowSize TelnetWindowSize() override { return size; }
    void ReceivedSubnegotiation(uint8_t option, std::string_view payload) override
    {
        Add("sb", std::to_string(option) + " " + std::string(payload));
    }
    void ConnectionStateChanged(ConnectionChange change, std::string_view where) override
    {
        Add(change == ConnectionChange::Opened ? "opened" : "closed", where);
    }
    void ConnectionReport(OutputFormat format, std::string_view text) override
    {
        Add(format == OutputFormat::Error ? "error" : "report", text);
    }
    void ConnectionStatusChanged(std::string_view status) override { Add("status", status); }

    std::vector<Entry> Entries()
    {
        std::scoped_lock lock(mutex_);
        return entries_;
    }
    void Clear()
    {
        std::scoped_lock lock(mutex_);
        entries_.clear();
    }
    // The entries but the log's (and those of `skip`), joined by '|' as "kind:text";
    // adjacent pieces of text of one kind are joined, for their division is not part of the
    // result.
    std::string Log(std::string_view skip = "")
    {
        std::string log;
        std::string lastKind;
        for (const Entry& entry : Entries()) {
            if (entry.kind == "log" || entry.kind == skip) continue;
            const bool joins =
                entry.kind == lastKind && (entry.kind == "text" || entry.kind == "print");
            if (!joins) log += (log.empty() ? "" : "|") + entry.kind + ":";
            log += Escaped(entry.text);
            lastKind = entry.kind;
        }
        return log;
    }

private:
    void Add(std::string kind, std::string_view text)
    {
        std::scoped_lock lock(mutex_);
        entries_.push_back({std::move(kind), std::string(text)});
    }

    std::mutex mutex_;
    std::vector<Entry> entries_;
    std::string pending_;
    bool echo_ = false;
};

}  // namespace zel::test
