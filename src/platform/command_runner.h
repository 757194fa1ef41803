#pragma once
// Runs the player's command for an event: the command line is split like a shell would
// split it, but no shell runs, and what the event tells goes into the environment only.
// Starting never waits: run() returns at once and the command lives on its own, with
// stdin at end of file and its output thrown away. The command leads a process group of its
// own; when its time is up, whatever of the group is left (the command, or what it started in
// the background and left behind) is asked to end with SIGTERM, then killed with SIGKILL.
// On Windows the command line is passed as it is, the command and all it starts run in one
// job object, and the job is ended at once at the limit (no request to end comes first).
// Every ended command is reaped. A command that cannot start is reported once per command
// text on standard error, and the program goes on. GUI thread only.
//
// A flood of events cannot fork the machine to death: at most maxRunning commands run at
// once, up to maxWaiting more wait their turn, and the rest are dropped with one report. A
// command counts as running until its group is gone (or killed), not only its first process.

#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace tw::platform {

struct CommandLimits {
    std::chrono::milliseconds timeLimit{30000};
    std::chrono::milliseconds killAfterTerminate{5000};
    int maxRunning = 4;
    std::size_t maxWaiting = 256;
};

class CommandRunner {
public:
    // Receives each report as one line without its line end; by default standard error.
    using Report = std::function<void(const std::string&)>;

    explicit CommandRunner(CommandLimits limits = {}, Report report = {});
    // Commands still running are ended: nothing bounds them once the program is gone.
    ~CommandRunner();
    CommandRunner(const CommandRunner&) = delete;
    CommandRunner& operator=(const CommandRunner&) = delete;

    // Starts commandLine (or queues it) with the program's own environment plus variables.
    // A command line that is empty or only blanks runs nothing.
    void run(const std::string& commandLine,
             const std::vector<std::pair<std::string, std::string>>& variables);

    int running() const;
    std::size_t waiting() const;

    // Runs each time a started command has ended with its group, whether it exited, was
    // ended or could not start.
    std::function<void()> onEnded;

private:
    struct Impl;
    std::unique_ptr<Impl> m;
};

}  // namespace tw::platform
