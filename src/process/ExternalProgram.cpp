#include "process/ExternalProgram.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <sstream>
#include <system_error>
#include <thread>

extern char** environ;

namespace zel {
namespace {

constexpr char kOpener[] = "xdg-open";
constexpr char kNullDevice[] = "/dev/null";
// What the client ignores or handles, and what a program expects at its default.
constexpr int kDefaultSignals[] = {SIGPIPE, SIGINT,  SIGQUIT, SIGHUP, SIGTERM,
                                   SIGCHLD, SIGTSTP, SIGTTIN, SIGTTOU};

ProgramWords SplitWords(const char* text)
{
    ProgramWords words;
    std::istringstream in(text ? text : "");
    for (std::string word; in >> word;) words.push_back(std::move(word));
    return words;
}

void Reap(pid_t pid)
{
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
}

std::optional<StartFailure> Failure(const ProgramWords& words, int error)
{
    return StartFailure{words.empty() ? std::string() : words[0], error};
}

// Sets a signal's disposition for the life of the scope.
class SignalDisposition {
public:
    SignalDisposition(int signal, void (*handler)(int)) : signal_(signal)
    {
        struct sigaction action {};
        action.sa_handler = handler;
        sigemptyset(&action.sa_mask);
        sigaction(signal_, &action, &previous_);
    }
    ~SignalDisposition() { sigaction(signal_, &previous_, nullptr); }
    SignalDisposition(const SignalDisposition&) = delete;
    SignalDisposition& operator=(const SignalDisposition&) = delete;

private:
    int signal_;
    struct sigaction previous_ {};
};

}  // namespace

ProgramWords TextEditor()
{
    for (const char* variable : {"VISUAL", "EDITOR"})
        if (ProgramWords words = SplitWords(std::getenv(variable)); !words.empty()) return words;
    return {kOpener};
}

ProgramWords TextViewer()
{
    return {kOpener};
}

std::string FileArgument(const std::string& fileName)
{
    return fileName.starts_with('-') ? "./" + fileName : fileName;
}

pid_t SpawnProgram(const ProgramWords& words, const SpawnOptions& options, int& error)
{
    if (words.empty() || words[0].empty()) {
        error = ENOENT;
        return -1;
    }
    std::vector<char*> argv;
    for (const std::string& word : words) argv.push_back(const_cast<char*>(word.c_str()));
    argv.push_back(nullptr);

    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t defaults, mask;
    sigemptyset(&defaults);
    for (int signal : kDefaultSignals) sigaddset(&defaults, signal);
    sigemptyset(&mask);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setsigmask(&attributes, &mask);
    short flags = POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK;
    if (options.detached) flags |= POSIX_SPAWN_SETSID;
    posix_spawnattr_setflags(&attributes, flags);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (options.detached) {
        posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, kNullDevice, O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, kNullDevice, O_WRONLY, 0);
    }
    pid_t pid = -1;
    error = posix_spawnp(&pid, argv[0], &actions, &attributes, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    return error == 0 ? pid : -1;
}

std::optional<StartFailure> StartDetached(const ProgramWords& words)
{
    int error = 0;
    const pid_t pid = SpawnProgram(words, {.detached = true}, error);
    if (pid < 0) return Failure(words, error);
    try {
        std::thread(Reap, pid).detach();
    } catch (const std::system_error&) {
        // Without a thread the program stays a zombie until the client ends.
    }
    return std::nullopt;
}

std::optional<StartFailure> RunInForeground(const ProgramWords& words)
{
    SignalDisposition interrupt(SIGINT, SIG_IGN), quit(SIGQUIT, SIG_IGN);
    int error = 0;
    const pid_t pid = SpawnProgram(words, {}, error);
    if (pid < 0) return Failure(words, error);
    Reap(pid);
    return std::nullopt;
}

}  // namespace zel
