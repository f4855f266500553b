// ClientWindow: the one owner of the client's state (special characters, options, every
// definition table, the command table, the output formats and buffer, the history, the
// locks) and the command interpreter that runs lines against it. It owns no widget: what it
// needs of the user interface goes through Host.
//
// Locks. OutputLock guards the output buffer, the pending prompt, the log and the
// connection state; DefinitionLock guards the definition tables; PromptLock guards the
// prompt line's state. OutputLock and DefinitionLock are recursive. When several are
// needed, OutputLock is taken first, always: actions run commands while holding
// OutputLock, and definition commands print while holding DefinitionLock, so a command that
// changes a table takes OutputLock before DefinitionLock (see LockDefinitionsForPrinting).
// PromptLock is innermost: nothing else is taken while it is held.
#pragma once

#include <atomic>
#include <cstdarg>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "definitions/DefinitionTable.h"
#include "definitions/SessionTable.h"
#include "definitions/StopwatchTable.h"
#include "definitions/TimerTable.h"
#include "display/OutputBuffer.h"
#include "display/OutputFormats.h"
#include "engine/ClientEvents.h"
#include "engine/CommandTable.h"
#include "engine/FunctionTable.h"
#include "engine/Host.h"
#include "engine/Module.h"
#include "engine/Options.h"
#include "input/BindingMap.h"
#include "input/CommandHistory.h"
#include "lang/SpecialChars.h"
#include "lang/WordReader.h"
#include "net/Connection.h"
#include "net/SessionLog.h"
#include "triggers/TriggerEngine.h"

namespace zel {

class AliasExpansion;

class ClientWindow : private TriggerEngine::Effects, public ConnectionClient {
public:
    // The client with the commands, settings sections and state of `modules`
    // (modules/AllModules.h lists the client's own).
    ClientWindow(Host& host, ModuleList modules);
    ~ClientWindow();
    ClientWindow(const ClientWindow&) = delete;
    ClientWindow& operator=(const ClientWindow&) = delete;

    // Start-up: greeting and banner, then the program's command line (host and port, or a
    // settings file). Runs on the user-interface thread.
    void Start(std::string_view commandLine);
    // The close request: asks the host (saving when asked) and returns true to quit, after
    // Quit. User-interface thread.
    bool HandleCloseRequest();
    // Quitting: the window's rectangle is kept for the next start, the connection and the
    // session log are closed.
    void Quit();

    // --- Window placement (user-interface thread) ---
    // Loaded at construction and stored at destruction when the host has a desktop.
    const WindowRect& WindowRectangle() const { return windowRect_; }
    // The main window's rectangle now, when there is one (not minimized), becomes the
    // window rectangle.
    void CaptureWindowRect();

    // --- Interpreter (any thread that runs command lines) ---
    // Runs one command line. Always returns 0.
    int32_t ExecuteLine(std::string_view text, bool addToHistory, bool echo);
    // Sends one line to the server: prompt, substitution, log, echo. -1 when not connected.
    int32_t SendLine(bool echo, std::string_view text);
    // Replaces variables, escapes and function calls; at most capacity - 1 characters.
    void SubstituteText(std::string_view text, std::string& output,
                        size_t capacity = kLineCapacity);
    // Makes `c` the command character (0 keeps it) and rebuilds the command completions.
    void SetCommandChar(char c);

    // --- Text forms (any thread) ---
    // Command lines, definitions and received lines are kept in the engine's text form:
    // Windows-1252 bytes under the default encoding, UTF-8 under any other. Hosts show and
    // read Unicode and convert at their edge: what they hand to ExecuteLine or return from
    // Host::InputText is UTF8ToEngine of what the user typed; what the core gives them
    // (Host::SetInputText, history lines, prompt text) goes through EngineToUtf8. The
    // output buffer always holds UTF-8.
    std::string EngineToUtf8(std::string_view text) const;
    std::string Utf8ToEngine(std::string_view text) const;
    bool EngineFormUtf8() const;
    // The encoding option changed: the output buffer reads the new form, and when the form
    // changed the actions' patterns are compiled again for it. Takes OutputLock and
    // DefinitionLock.
    void ApplyEncoding();

    // --- Key bindings (user-interface thread) ---
    // Performs an internal action (input/InternalActions.h) as the main window does: the
    // core's part (QUIT, EXEC_EMPTY, EXEC_1 to EXEC_10, the window sizes), then the host's
    // through Host::PerformUiAction. False, doing nothing, for a code without a name.
    bool PerformInternalAction(int action);

    // --- Print operations: the only way messages reach the output. Nothing while quiet. ---
    void Print(OutputFormat format, std::string_view text);
    void PrintFormatted(OutputFormat format, const char* formatString, ...)
        __attribute__((format(printf, 3, 4)));
    void PrintLine(OutputFormat format, std::string_view text);
    void PrintLineFormatted(OutputFormat format, const char* formatString, ...)
        __attribute__((format(printf, 3, 4)));
    // Hands received text (or `receive`) to the actions and the output.
    void ProcessIncomingText(std::string_view text, bool print);
    // Received text straight to the output in "Output: Default". Received text is never
    // quiet: it does not belong to the command that runs.
    void PrintReceived(std::string_view text, const TextFormat* format = nullptr);
    // Prints and empties the pending prompt (under OutputLock).
    void PrintPendingPrompt();
    // The unended last line of a block under automatic prompting: kept as the pending
    // prompt and, when not empty, shown in the prompt line.
    void SetPendingPrompt(std::string_view text);

    // --- Connection (user-interface thread unless noted) ---
    void OpenConnection(std::string_view host, int32_t port) { connection_.Open(host, port); }
    void CloseConnection() { connection_.Close(); }
    Connection& GetConnection() { return connection_; }
    // Window size and terminal type subnegotiations; nothing without a socket.
    void SendWindowSize(int32_t columns, int32_t rows);
    void SendTerminalType(std::string_view type);
    // The host laid its children out: with autonaws the window size is sent.
    void ChildrenLaidOut();
    // The output view's size in character cells, kept for the window-size subnegotiation.
    void SetViewSize(int32_t columns, int32_t rows);
    int32_t ViewColumns() const { return viewColumns_.load(std::memory_order_relaxed); }
    int32_t ViewRows() const { return viewRows_.load(std::memory_order_relaxed); }
    // Server echo changed (any thread): the input line shows or stops showing stars.
    void ServerEchoChanged();
    // The session log; written under OutputLock.
    SessionLog& Log() { return log_; }
    void WriteReceivedToLog(std::string_view bytes);
    // Status bar parts 1 to 3 while a socket exists: time connected, bytes in and out.
    void RefreshStatusBar();

    // --- Window timers (user-interface thread) ---
    // A window timer expired: 1 refreshes the status bar, 100 and up run the user's timer
    // with that id (a copy of its command, so the command may change or delete its timer).
    void OnWindowTimer(int id);

    // --- Prompt line (PromptLock) ---
    struct PromptLineState {
        bool automatic = false;
        bool shown = false;
        std::string text;
    };
    std::mutex& PromptLock() { return promptLock_; }
    PromptLineState& PromptLine() { return prompt_; }  // guarded by PromptLock
    bool AutomaticPrompting();

    // --- State ---
    Host& GetHost() { return host_; }
    // Where received lines and prompts, sent lines, connection changes and subnegotiations
    // are published.
    ClientEvents& Events() { return events_; }
    SpecialChars& Chars() { return chars_; }
    const SpecialChars& Chars() const { return chars_; }
    Options& GetOptions() { return options_; }
    const CommandTable& Commands() const { return commands_; }
    ModuleList Modules() const { return modules_; }
    // The state that a module created (Module::createState); it lives as long as the client.
    template <typename T>
    T& State()
    {
        for (const auto& state : states_)
            if (auto* found = dynamic_cast<T*>(state.get())) return *found;
        std::abort();  // a module's own code asks only for the state it registered
    }
    const FunctionTable& Functions() const { return functions_; }
    OutputFormatSet& Formats() { return formats_; }
    CommandHistory& History() { return history_; }
    // Guards itself: `watch` runs on any thread that runs command lines.
    StopwatchTable& Stopwatches() { return stopwatches_; }

    // Guarded by OutputLock.
    OutputBuffer& Output() { return output_; }
    std::string& PendingPrompt() { return pendingPrompt_; }

    // Guarded by DefinitionLock.
    AliasTable& Aliases() { return aliases_; }
    VariableTable& Variables() { return variables_; }
    CompletionTable& Completions() { return completions_; }
    SyntaxTable& Syntaxes() { return syntaxes_; }
    TimerTable& Timers() { return timers_; }
    BindingMap& Bindings() { return bindings_; }

    std::recursive_mutex& OutputLock() { return outputLock_; }
    std::recursive_mutex& DefinitionLock() { return definitionLock_; }
    // Both locks in the one order that cannot deadlock: OutputLock, then DefinitionLock.
    std::scoped_lock<std::recursive_mutex, std::recursive_mutex> LockDefinitionsForPrinting()
    {
        return std::scoped_lock<std::recursive_mutex, std::recursive_mutex>(outputLock_,
                                                                            definitionLock_);
    }

    // Quiet belongs to the thread that runs the quiet command: the network thread's output
    // is not silenced by a quiet command on the user-interface thread.
    bool Quiet() const
    {
        return quiet_.load(std::memory_order_relaxed) &&
               quietThread_.load(std::memory_order_relaxed) == std::this_thread::get_id();
    }
    // Quiet for the life of the scope, then off: how one handler call is made quiet.
    class QuietScope {
    public:
        QuietScope(ClientWindow& client, bool quiet) : client_(client)
        {
            client_.quietThread_.store(std::this_thread::get_id(), std::memory_order_relaxed);
            client_.quiet_.store(quiet, std::memory_order_relaxed);
        }
        ~QuietScope() { client_.quiet_.store(false, std::memory_order_relaxed); }
        QuietScope(const QuietScope&) = delete;
        QuietScope& operator=(const QuietScope&) = delete;

    private:
        ClientWindow& client_;
    };
    bool OutputSuspended() const { return outputSuspended_.load(std::memory_order_relaxed); }
    void SetOutputSuspended(bool on) { outputSuspended_.store(on, std::memory_order_relaxed); }
    bool ServerEcho() const { return serverEcho_.load(std::memory_order_relaxed); }
    void SetServerEcho(bool on) { serverEcho_.store(on, std::memory_order_relaxed); }
    bool SettingsChanged() const { return settingsChanged_.load(std::memory_order_relaxed); }
    void MarkSettingsChanged() { settingsChanged_.store(true, std::memory_order_relaxed); }
    void ClearSettingsChanged() { settingsChanged_.store(false, std::memory_order_relaxed); }
    bool Connected() const { return connection_.HasSocket(); }
    // Guarded by OutputLock and DefinitionLock together for changes; either reads.
    ActionTable& Actions() { return triggers_.Actions(); }
    // Guarded by DefinitionLock.
    SessionTable& Sessions() { return sessions_; }
    // Connects to the named session, arming its logon first; false when there is none.
    bool StartSession(const std::string& name);
    // While one lives on this thread, sent lines are secret: never echoed, logged as stars.
    class SecretScope {
    public:
        SecretScope() { ++tSecretDepth; }
        ~SecretScope() { --tSecretDepth; }
        SecretScope(const SecretScope&) = delete;
        SecretScope& operator=(const SecretScope&) = delete;
    };
    static bool SendingSecret() { return tSecretDepth > 0; }
    // While one lives on this thread, the command lines it runs may be kSettingsLineCapacity
    // characters long, as a settings file's lines may be: a definition at its capacity,
    // escaped, is longer than a typed line.
    class LongLineScope {
    public:
        LongLineScope();
        ~LongLineScope();
        LongLineScope(const LongLineScope&) = delete;
        LongLineScope& operator=(const LongLineScope&) = delete;

    private:
        size_t saved_;
    };
    // After any change of the action table.
    void ActionsChanged() { triggers_.ActionsChanged(); }
    // The global action switch: when off, received text bypasses the actions.
    bool ActionsEnabled() const { return actionsEnabled_.load(std::memory_order_relaxed); }
    void SetActionsEnabled(bool on) { actionsEnabled_.store(on, std::memory_order_relaxed); }
    // The settings file name of this session: empty until the first successful write.
    std::string& SettingsFileName() { return settingsFileName_; }

private:
    friend class AliasExpansion;
    void RunSegments(std::string_view buffer, bool echo);
    void RouteSegment(std::string_view segment, bool echo);
    int32_t DispatchCommand(std::string_view segment);
    void CallFunction(std::string_view name, std::string_view arguments, std::string& output,
                      size_t capacity);
    void PrintVisible(OutputFormat format, std::string_view text);
    // TriggerEngine::Effects, under OutputLock.
    void PrintMatched(std::string_view text, const TextFormat* format) override;
    void Fired(const Action& action, std::string_view command) override;
    void RunLogonStep(const Action& action);
    static thread_local int tSecretDepth;
    void VPrintFormatted(OutputFormat format, bool line, const char* formatString,
                         va_list arguments);

    // --- ConnectionClient: what the connection and its stages ask (ClientNetworkLink.cpp) ---
    ReceiveOptions ReadReceiveOptions() override;
    int32_t LineWaitMilliseconds() override;
    void LogReceived(std::string_view bytes) override;
    bool ReceivedTextToActions() override;
    void ProcessReceivedText(std::string_view text, bool print) override;
    void PrintReceivedText(std::string_view text) override;
    void FlushPendingPrompt() override;
    bool PromptsAutomatically() override;
    void KeepPendingPrompt(std::string_view prompt) override;
    void SwitchServerEcho(bool on) override;
    WindowSize TelnetWindowSize() override;
    void ReceivedSubnegotiation(uint8_t option, std::string_view payload) override;
    void ConnectionStateChanged(ConnectionClient::ConnectionChange change,
                                std::string_view where) override;
    void ConnectionReport(OutputFormat format, std::string_view text) override;
    void ConnectionStatusChanged(std::string_view status) override;
    // --- end of ConnectionClient ---

    Host& host_;
    ClientEvents events_;
    SpecialChars chars_;
    Options options_;
    std::atomic<bool> quiet_{false};
    std::atomic<std::thread::id> quietThread_{};
    std::atomic<bool> actionsEnabled_{true};
    std::atomic<int32_t> viewColumns_{80}, viewRows_{24};
    std::atomic<bool> outputSuspended_{false};
    std::atomic<bool> serverEcho_{false};
    std::atomic<bool> settingsChanged_{false};
    ModuleList modules_;
    std::vector<std::unique_ptr<ModuleState>> states_;
    CommandTable commands_;
    FunctionTable functions_;
    OutputFormatSet formats_;
    CommandHistory history_;
    StopwatchTable stopwatches_;
    std::string settingsFileName_;
    WindowRect windowRect_;

    std::recursive_mutex outputLock_;
    OutputBuffer output_;
    std::string pendingPrompt_;
    SessionLog log_;
    TriggerEngine triggers_;
    SessionTable sessions_;

    std::mutex promptLock_;
    PromptLineState prompt_;

    std::recursive_mutex definitionLock_;
    AliasTable aliases_;
    VariableTable variables_;
    CompletionTable completions_;
    SyntaxTable syntaxes_;
    TimerTable timers_;
    BindingMap bindings_ = DefaultBindings();

    // Last: the network thread uses everything above until it has ended.
    Connection connection_{*this};
};

}  // namespace zel
