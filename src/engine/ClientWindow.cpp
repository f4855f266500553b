// ClientWindow: construction, start-up, the close request and the print operations. The
// interpreter's operations are in Interpreter.cpp and Substitution.cpp.
#include "engine/ClientWindow.h"

#include "base/TextCodec.h"
#include "base/Utf8.h"

#include <algorithm>
#include <chrono>
#include <climits>
#include <cstdio>
#include <ctime>

#include "engine/NotAvailable.h"
#include "engine/SettingsFile.h"
#include "net/Telnet.h"

namespace zel {
namespace {

constexpr char kGreeting[] = "Good %s";
constexpr char kBanner[] =
    " - you are running an alpha version of ZEL, a MUD client.\n\n"
    "ZEL is a work in progress and in the alpha phase most certainly:\n"
    "- contains lots of bugs\n"
    "- will at any time have only partially implemented features and commands\n"
    "- will have existing features and commands changed or removed in the future\n\n"
    "Happy hunting!\n\n";
constexpr int kStatusBarTimer = 1;  // every second

const char* PartOfDay(int hour)
{
    if (hour < 6) return "night";
    if (hour < 12) return "morning";
    if (hour < 18) return "afternoon";
    return "evening";
}

// Control bytes as backslash pairs, bytes outside printable ASCII as the middle dot.
void AppendVisible(std::string& out, std::string_view text, size_t capacity, bool utf8)
{
    const std::string_view dot = MiddleDot(utf8);
    for (size_t at = 0; at < text.size(); ++at) {
        if (out.size() >= capacity) break;
        const char ch = text[at];
        const auto c = static_cast<unsigned char>(ch);
        if (utf8 && c >= 0x80) {
            // Characters stay; C1 controls and invalid bytes show as the dot.
            const Utf8Char decoded = DecodeUtf8At(text, at);
            const bool shown = decoded.code >= 0xA0 && decoded.code != 0xFFFD;
            const std::string_view part = shown ? text.substr(at, decoded.length) : dot;
            if (out.size() + part.size() > capacity) break;
            out += part;
            at += decoded.length - 1;
            continue;
        }
        char pair = 0;
        switch (c) {
            case 7:
                pair = 'a';
                break;
            case 9:
                pair = 't';
                break;
            case 10:
                pair = 'n';
                break;
            case 11:
                pair = 'v';
                break;
            case 12:
                pair = 'f';
                break;
            case 13:
                pair = 'r';
                break;
            case 27:
                pair = 'e';
                break;
            case '\\':
                pair = '\\';
                break;
            default:
                break;
        }
        if (pair) {
            out += '\\';
            if (out.size() < capacity) out += pair;
        } else if (c < 0x20 || c >= 0x80) {
            if (out.size() + dot.size() > capacity) break;
            out += dot;
        } else {
            out += ch;
        }
    }
}

}  // namespace

ClientWindow::ClientWindow(Host& host, ModuleList modules)
    : host_(host), modules_(modules), commands_(modules)
{
    for (const Module* module : modules_)
        if (module->createState) states_.push_back(module->createState(*this));
    output_.SetMaximumLines(options_.scrollSize);
    output_.SetMaximumBytes(size_t(options_.scrollMemory) << 20);
    SetCommandChar(0);
    if (std::optional<DesktopSize> desktop = host_.GetDesktopSize())
        windowRect_ = PlaceWindow(*desktop, LoadWindowRect());
}

ClientWindow::~ClientWindow()
{
    connection_.Close();
    if (host_.GetDesktopSize()) StoreWindowRect(windowRect_);
}

void ClientWindow::CaptureWindowRect()
{
    if (std::optional<WindowRect> rect = host_.GetWindowRect()) windowRect_ = *rect;
}

void ClientWindow::Start(std::string_view commandLine)
{
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    PrintFormatted(OutputFormat::System, kGreeting, PartOfDay(local.tm_hour));
    Print(OutputFormat::System, kBanner);

    commandLine = SkipWhiteSpace(commandLine);
    char host[512];
    long port = 0;
    std::string line(commandLine);
    if (std::sscanf(line.c_str(), "%511s %ld", host, &port) == 2) {
        OpenConnection(host, int32_t(std::clamp<long>(port, INT32_MIN, INT32_MAX)));
    } else if (!line.empty()) {
        ExecuteLine(std::string(1, chars_.command) + "read " + line, true, false);
    }
    host_.StartWindowTimer(kStatusBarTimer, 1000);
}

bool ClientWindow::HandleCloseRequest()
{
    if (!SettingsChanged()) {
        if (!host_.AskQuit()) return false;
    } else {
        std::string fileName;
        {
            std::scoped_lock lock(definitionLock_);
            fileName = settingsFileName_.substr(0, kNameCapacity);
        }
        switch (host_.AskSaveSettings(fileName)) {
            case QuitChoice::DontQuit:
                return false;
            case QuitChoice::DontSave:
                break;
            case QuitChoice::SaveAndQuit:
                // A file that cannot be written is said, and the client stays: quitting
                // would lose the settings the player asked to keep.
                if (!fileName.empty() && WriteSettingsFile(*this, fileName, "") != 0) {
                    PrintLineFormatted(OutputFormat::Error, kUnableToWriteSettings,
                                       fileName.c_str());
                    return false;
                }
                break;
        }
    }
    Quit();
    return true;
}

void ClientWindow::Quit()
{
    CaptureWindowRect();
    connection_.Close();
    std::scoped_lock lock(outputLock_);
    log_.Close();
}

void ClientWindow::Print(OutputFormat format, std::string_view text)
{
    if (Quiet()) return;
    std::scoped_lock lock(outputLock_);
    // The client's own text never continues an escape sequence that a server left open.
    output_.AbandonSequence();
    output_.PushFormat(formats_[format]);
    output_.Append(text);
}

void ClientWindow::VPrintFormatted(OutputFormat format, bool line, const char* formatString,
                                   va_list arguments)
{
    if (Quiet()) return;
    char buffer[kLineCapacity];
    int n = std::vsnprintf(buffer, sizeof buffer, formatString, arguments);
    if (n < 0) return;
    std::string_view text(buffer, std::min<size_t>(size_t(n), sizeof buffer - 1));
    // A message cut to the buffer keeps its line end, or the next output joins it.
    if (size_t(n) >= sizeof buffer && std::string_view(formatString).ends_with('\n'))
        buffer[sizeof buffer - 2] = '\n';
    if (line) {
        PrintLine(format, text);
    } else {
        Print(format, text);
    }
}

void ClientWindow::PrintFormatted(OutputFormat format, const char* formatString, ...)
{
    va_list arguments;
    va_start(arguments, formatString);
    VPrintFormatted(format, false, formatString, arguments);
    va_end(arguments);
}

void ClientWindow::PrintLineFormatted(OutputFormat format, const char* formatString, ...)
{
    va_list arguments;
    va_start(arguments, formatString);
    VPrintFormatted(format, true, formatString, arguments);
    va_end(arguments);
}

void ClientWindow::PrintLine(OutputFormat format, std::string_view text)
{
    if (Quiet()) return;
    std::string visible;
    visible.reserve(std::min(text.size() * 2, kLineCapacity) + 1);
    AppendVisible(visible, text, kLineCapacity - 1, EngineFormUtf8());
    visible += '\n';
    Print(format, visible);
}

void ClientWindow::PrintReceived(std::string_view text, const TextFormat* format)
{
    std::scoped_lock lock(outputLock_);
    output_.PushFormat(formats_[OutputFormat::Default]);
    output_.ResumeAnsiState();
    if (format) output_.PushFormat(*format);
    output_.Append(text);
}

// Holds OutputLock for the whole run, the commands of the actions included; those commands
// take DefinitionLock after it when they need it.
void ClientWindow::ProcessIncomingText(std::string_view text, bool print)
{
    std::scoped_lock lock(outputLock_);
    if (print && !triggers_.Firing()) events_.ReceivedText(text);
    triggers_.Process(text, print, chars_, *this);
}

void ClientWindow::PrintMatched(std::string_view text, const TextFormat* format)
{
    PrintReceived(text, format);
}

void ClientWindow::Fired(const Action& action, std::string_view command)
{
    if (action.IsLogonStep()) {
        RunLogonStep(action);
    } else if (action.flags & Action::kHasCommand) {
        ExecuteLine(command, false, true);
    }
}

void ClientWindow::PrintPendingPrompt()
{
    std::scoped_lock lock(outputLock_);
    if (pendingPrompt_.empty()) return;
    Print(OutputFormat::Default, pendingPrompt_);
    pendingPrompt_.clear();
}

void ClientWindow::SetPendingPrompt(std::string_view text)
{
    std::scoped_lock lock(outputLock_);
    pendingPrompt_.assign(text);
    if (text.empty()) return;
    events_.PublishReceivedPrompt(text);
    std::scoped_lock promptLock(promptLock_);  // innermost
    prompt_.text.assign(text);
    host_.SetPromptLine(prompt_.text, prompt_.shown);
}

bool ClientWindow::AutomaticPrompting()
{
    std::scoped_lock lock(promptLock_);
    return prompt_.automatic;
}

void ClientWindow::SendWindowSize(int32_t columns, int32_t rows)
{
    connection_.SendProtocol(telnet::WindowSizeBytes(columns, rows));
}

void ClientWindow::SendTerminalType(std::string_view type)
{
    connection_.SendProtocol(telnet::TerminalTypeBytes(type));
}

void ClientWindow::ChildrenLaidOut()
{
    if (std::atomic_ref(options_.autoNaws).load(std::memory_order_relaxed))
        SendWindowSize(ViewColumns(), ViewRows());
}

void ClientWindow::SetViewSize(int32_t columns, int32_t rows)
{
    viewColumns_.store(columns, std::memory_order_relaxed);
    viewRows_.store(rows, std::memory_order_relaxed);
}

// Posted, not waited for: the user-interface thread may itself be waiting for the network
// thread to end.
void ClientWindow::ServerEchoChanged()
{
    const bool on = ServerEcho();
    host_.PostToUiThread([this, on] { host_.SetInputPasswordMode(on); });
}

void ClientWindow::WriteReceivedToLog(std::string_view bytes)
{
    std::scoped_lock lock(outputLock_);
    log_.Write(bytes);
}

void ClientWindow::RefreshStatusBar()
{
    if (!connection_.HasSocket()) return;
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(
                             std::chrono::steady_clock::now() - connection_.ConnectTime())
                             .count();
    char text[64];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", int(seconds / 3600), int(seconds / 60 % 60),
                  int(seconds % 60));
    host_.SetStatusText(1, text);
    std::snprintf(text, sizeof text, "I: %ld", long(connection_.BytesReceived()));
    host_.SetStatusText(2, text);
    std::snprintf(text, sizeof text, "O: %ld", long(connection_.BytesSent()));
    host_.SetStatusText(3, text);
}

void ClientWindow::OnWindowTimer(int id)
{
    if (id == kStatusBarTimer) {
        RefreshStatusBar();
        return;
    }
    if (id < kFirstUserTimerId) return;
    std::string command;
    {
        std::scoped_lock lock(definitionLock_);
        const Timer* timer = timers_.Find(id);
        if (!timer) return;  // deleted while its expiry was on the way
        command = timer->command;
    }
    // Not added to the history; sent text is echoed as for a typed line.
    ExecuteLine(command, false, true);
}

void ClientWindow::SetCommandChar(char c)
{
    if (c == 0) c = chars_.command;
    std::scoped_lock lock(definitionLock_);
    const char old = chars_.command;
    completions_.EraseIf([old](const std::string& word) { return word.starts_with(old); });
    chars_.command = c;
    commands_.SetSyntaxChar(c);
    for (const auto& [name, entry] : commands_.Entries()) {
        std::string word = c + name.substr(0, kNameCapacity - 1);
        Completion& completion = completions_.Insert(word);
        completion.description = entry.syntax;
        completion.disabled = false;
    }
}

bool ClientWindow::EngineFormUtf8() const
{
    return zel::EngineFormIsUtf8(
        std::atomic_ref(const_cast<int32_t&>(options_.encoding)).load(std::memory_order_relaxed));
}

std::string ClientWindow::EngineToUtf8(std::string_view text) const
{
    return EngineFormUtf8() ? ValidUtf8(text) : Windows1252ToUtf8(text);
}

std::string ClientWindow::Utf8ToEngine(std::string_view text) const
{
    return EngineFormUtf8() ? ValidUtf8(text) : Utf8ToWindows1252(text);
}

void ClientWindow::ApplyEncoding()
{
    auto locks = LockDefinitionsForPrinting();
    const bool utf8 = EngineFormUtf8();
    output_.SetEngineFormUtf8(utf8);
    ActionTable& actions = Actions();
    bool recompiled = false;
    for (const auto& [name, action] : actions.Entries()) {
        if (!action.compiled || action.compiled->regex.Utf8() == utf8) continue;
        actions.Find(name)->compiled =
            std::make_shared<const CompiledPattern>(action.pattern, utf8);
        recompiled = true;
    }
    if (recompiled) ActionsChanged();
}

}  // namespace zel
