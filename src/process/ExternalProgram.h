// Starting other programs without a shell: posix_spawnp finds the program on PATH as a
// shell would, and every argument reaches it as one word, whatever it holds. Each started
// program is waited for, by its caller or by a reaping thread, so none is left a zombie.
#pragma once

#include <sys/types.h>

#include <optional>
#include <string>
#include <vector>

namespace zel {

// A program and its arguments.
using ProgramWords = std::vector<std::string>;

// A program that could not be started: its name and the errno of the attempt.
struct StartFailure {
    std::string program;
    int error = 0;
};

// The editor of text files: $VISUAL, else $EDITOR, else xdg-open. A variable is split into
// words at white space, so it may carry options ("emacs -nw"); an empty one counts as unset.
ProgramWords TextEditor();
// The viewer of text files: xdg-open.
ProgramWords TextViewer();
// A file name as a program's last argument: a relative name that starts with '-' gets "./"
// in front, so that no program reads it as an option.
std::string FileArgument(const std::string& fileName);

struct SpawnOptions {
    // A session of its own, away from the terminal and its signals, with standard input
    // and output on /dev/null; standard error is shared.
    bool detached = false;
};

// Starts words[0] with the rest as its arguments, signals the client ignores back at their
// defaults. Returns the pid, or -1 with the errno in `error`. The caller reaps the program.
pid_t SpawnProgram(const ProgramWords& words, const SpawnOptions& options, int& error);

// Starts the program detached; a thread of its own reaps it when it ends.
std::optional<StartFailure> StartDetached(const ProgramWords& words);
// Runs the program on the client's terminal and waits for it to end. Meanwhile SIGINT and
// SIGQUIT are ignored, as a shell does while a foreground job has the terminal.
std::optional<StartFailure> RunInForeground(const ProgramWords& words);

}  // namespace zel
