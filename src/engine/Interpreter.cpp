// The command line interpreter: alias expansion of the first word, splitting into
// segments, routing, command dispatch and sending. Runs on whichever thread runs the line:
// the user-interface thread, or the network thread for the commands of actions (which then
// holds OutputLock; this file takes DefinitionLock only after it, to read an alias).
#include <algorithm>
#include <vector>

#include "engine/ClientWindow.h"

#include "base/TextCodec.h"
#include "engine/NotAvailable.h"
#include "lang/WordReader.h"

namespace zel {
namespace {

constexpr char kRecursiveAlias[] = "Recursive alias encountered!\n";
constexpr char kTooDeep[] = "Too many nested commands!\n";
constexpr char kUnrecognisedCommand[] = "Unrecognised command: '%s'\n";
constexpr char kNotConnected[] = "Not connected\n";

// Lines run inside lines (expansions, repetitions, files read) nest at most this deep, so
// an alias that expands to itself with arguments cannot exhaust the stack.
constexpr int kMaxNesting = 64;
// Alias bodies naming further aliases nest at most this deep within one expansion.
constexpr size_t kMaxAliasChain = 256;

thread_local int tNesting = 0;
// Set when a line nests too deep: everything left of the outermost line is abandoned, so a
// repetition cannot run the next too-deep level again and again.
thread_local bool tAbandoned = false;
// Raised while a settings file is read (ClientWindow::LongLineScope).
thread_local size_t tLineCapacity = kLineCapacity;

struct NestingGuard {
    NestingGuard() { ++tNesting; }
    ~NestingGuard() { --tNesting; }
};

size_t ReadDigits(std::string_view text, size_t i, size_t& value)
{
    value = 0;
    for (; i < text.size() && IsDigit(text[i]); ++i)
        value = std::min<size_t>(value * 10 + size_t(text[i] - '0'), 1u << 30);
    return i;
}

}  // namespace

thread_local int ClientWindow::tSecretDepth = 0;

ClientWindow::LongLineScope::LongLineScope() : saved_(tLineCapacity)
{
    tLineCapacity = kSettingsLineCapacity;
}

ClientWindow::LongLineScope::~LongLineScope()
{
    tLineCapacity = saved_;
}

// One expansion of the first word of a typed line. The argument references of every level
// are resolved against the words of the line that was typed.
class AliasExpansion {
public:
    AliasExpansion(ClientWindow& client, std::string_view source)
        : client_(client), source_(source.substr(0, tLineCapacity - 1))
    {
    }

    // Writes the expansion of `text` into `output`; -1 on a recursion.
    int Expand(std::string_view text, std::string& output)
    {
        std::string name;
        WordReader(client_.Chars(), text).NextWord(name, kNameCapacity);
        std::string body;
        if (!FindAlias(name, body)) {
            output.assign(text.substr(0, tLineCapacity - 1));
            return int(output.size());
        }
        expanded = true;
        if (std::find(visited_.begin(), visited_.end(), name) != visited_.end() ||
            visited_.size() >= kMaxAliasChain)
            return -1;
        visited_.push_back(std::move(name));
        std::string inner;
        if (Expand(body, inner) < 0) return -1;
        ReplaceArguments(inner, output);
        return int(output.size());
    }

    bool expanded = false;

private:
    struct Argument {
        std::string word;
        size_t start;  // in the source: just after the previous word
    };

    bool FindAlias(std::string_view name, std::string& body)
    {
        std::scoped_lock lock(client_.DefinitionLock());
        const Alias* alias = client_.Aliases().Find(name);
        if (alias) body = alias->command;
        return alias != nullptr;
    }

    const std::vector<Argument>& Arguments()
    {
        if (!argumentsRead_) {
            WordReader reader(client_.Chars(), source_);
            size_t start = 0;
            std::string word;
            while (reader.NextWord(word, tLineCapacity - 1)) {
                arguments_.push_back({std::move(word), start});
                start = source_.size() - reader.Rest().size();
            }
            argumentsRead_ = true;
        }
        return arguments_;
    }

    void ReplaceArguments(std::string_view inner, std::string& output)
    {
        const char v = client_.Chars().variable;
        const size_t limit = tLineCapacity - 1;
        output.clear();
        auto put = [&](std::string_view s) {
            output.append(s.substr(0, limit - std::min(limit, output.size())));
        };
        size_t i = 0;
        while (i < inner.size() && output.size() < limit) {
            if (inner[i] != v || i + 1 >= inner.size() ||
                (inner[i + 1] != '*' && !IsDigit(inner[i + 1]))) {
                put(inner.substr(i, 1));
                ++i;
                continue;
            }
            const bool all = inner[i + 1] == '*';
            size_t n = 0;
            size_t j = ReadDigits(inner, all ? i + 2 : i + 1, n);
            if (all && j == i + 2) n = 1;
            const auto& args = Arguments();
            if (n < args.size()) put(all ? source_.substr(args[n].start) : args[n].word);
            if (j < inner.size() && inner[j] == v) ++j;
            i = j;
        }
    }

    ClientWindow& client_;
    std::string_view source_;
    std::vector<std::string> visited_;
    std::vector<Argument> arguments_;
    bool argumentsRead_ = false;
};

int32_t ClientWindow::ExecuteLine(std::string_view text, bool addToHistory, bool echo)
{
    SetOutputSuspended(false);
    if (tAbandoned) return 0;
    if (tNesting >= kMaxNesting) {
        tAbandoned = true;
        Print(OutputFormat::Error, kTooDeep);
        return 0;
    }
    NestingGuard guard;
    struct OutermostLine {
        ~OutermostLine()
        {
            if (tNesting == 1) tAbandoned = false;
        }
    } outermost;

    std::string buffer;
    AliasExpansion expansion(*this, text);
    if (expansion.Expand(text, buffer) < 0) {
        Print(OutputFormat::Error, kRecursiveAlias);
        return 0;
    }
    if (expansion.expanded) {
        ExecuteLine(buffer, false, echo);
    } else {
        RunSegments(buffer, echo);
    }

    if (!ServerEcho() && addToHistory &&
        text.size() > size_t(std::max(0, options_.historyIgnore))) {
        history_.Add(text);
        host_.HistoryAdded(text);
    }
    // Typed lines run on the user-interface thread, where the history is browsed.
    if (addToHistory) history_.ClearCursor();
    host_.ClearHistorySelection();
    return 0;
}

void ClientWindow::RunSegments(std::string_view buffer, bool echo)
{
    const SpecialChars c = chars_;
    std::string segment;
    auto route = [&] {
        if (segment.empty() || segment[0] != c.command) segment += "\r\n";
        RouteSegment(segment, echo);
        segment.clear();
    };
    auto add = [&](char ch) {
        if (segment.size() < tLineCapacity) segment += ch;
    };
    // The depth runs over the whole buffer and may go negative: "a};b" is not split.
    int depth = 0;
    for (size_t i = 0; i < buffer.size(); ++i) {
        const char ch = buffer[i];
        if (ch == c.beginArgument) {
            add(ch);
            ++depth;
        } else if (ch == c.endArgument) {
            add(ch);
            --depth;
        } else if (depth == 0 && ch == c.escape && i + 1 < buffer.size() &&
                   buffer[i + 1] == c.split) {
            add(c.split);
            ++i;
        } else if ((ch == c.split && depth == 0) || ch == '\n') {
            route();
            if (i + 1 == buffer.size() || tAbandoned) return;
        } else {
            add(ch);
        }
    }
    route();
}

void ClientWindow::RouteSegment(std::string_view segment, bool echo)
{
    if (!segment.empty() && segment[0] == chars_.command) {
        DispatchCommand(segment);
    } else if (segment.empty() || segment[0] != chars_.execute) {
        SendLine(echo, segment);
    } else {
        ReportNotAvailable(*this, "external command");
    }
}

int32_t ClientWindow::DispatchCommand(std::string_view segment)
{
    std::string text;
    SubstituteText(segment.substr(1), text, tLineCapacity);
    std::string_view rest = text;

    if (!rest.empty() && IsDigit(rest[0])) {
        size_t digits = 0;
        const int32_t count = ParseNumber(rest, &digits);
        rest = SkipWhiteSpace(rest.substr(digits));
        int32_t result = 0;
        for (int32_t i = 0; i < count && !tAbandoned; ++i) result = ExecuteLine(rest, false, false);
        return result;
    }
    if (rest.empty()) return -1;

    size_t wordEnd = 0;
    while (wordEnd < rest.size() && !IsWhiteSpace(rest[wordEnd])) ++wordEnd;
    std::string_view word = rest.substr(0, wordEnd);
    const bool quiet = !word.empty() && word[0] == chars_.command;
    if (quiet) word.remove_prefix(1);

    const auto* entry = word.empty() ? nullptr : commands_.FindByAbbreviation(word);
    if (!entry) {
        PrintFormatted(OutputFormat::Error, kUnrecognisedCommand, std::string(word).c_str());
        return -1;
    }
    const std::string_view args = SkipWhiteSpace(rest.substr(wordEnd));
    QuietScope scope(*this, quiet);
    return entry->second.handler(*this, entry->second.id, args);
}

int32_t ClientWindow::SendLine(bool echo, std::string_view text)
{
    {
        std::scoped_lock lock(outputLock_);
        if (!pendingPrompt_.empty()) {
            Print(OutputFormat::Default, pendingPrompt_);
            pendingPrompt_.clear();
        }
    }
    std::string line;
    SubstituteText(text, line);
    // The line end survives a cut: an overlong line must not run into the next one.
    if (line.size() + 1 >= kLineCapacity && text.ends_with("\r\n") && !line.ends_with("\r\n")) {
        line.resize(kLineCapacity - 3);
        line += "\r\n";
    }
    // The server's character set; the log keeps the bytes that cross the wire.
    const std::string wire =
        EncodeForWire(std::atomic_ref(options_.encoding).load(std::memory_order_relaxed), line);
    // What is typed while the server hides it, and a logon password, never reach the log.
    const bool serverEcho = ServerEcho() || SendingSecret();
    {
        std::scoped_lock lock(outputLock_);
        if (serverEcho) {
            log_.WriteMasked(wire);
        } else {
            log_.Write(wire);
        }
    }
    if (!serverEcho && echo && options_.localEcho) Print(OutputFormat::Command, line);
    if (!Connected()) {
        Print(OutputFormat::Error, kNotConnected);
        return -1;
    }
    std::string_view sent = line;
    while (!sent.empty() && (sent.back() == '\n' || sent.back() == '\r')) sent.remove_suffix(1);
    events_.PublishSentLine(serverEcho ? std::string(sent.size(), '*') : std::string(sent));
    return int32_t(connection_.SendToServer(wire));
}

}  // namespace zel
