#include "platform/command_runner.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <algorithm>
#include <chrono>
#include <deque>
#include <set>

#include <unistd.h>

#include <QProcess>
#include <QProcessEnvironment>
#include <QTimer>

#include "platform/qt/text_codec.h"

namespace tw::platform {

namespace {

struct Pending {
    std::string commandLine;
    QStringList words;
    QProcessEnvironment environment;
};

void toStandardError(const std::string& line) {
    std::fprintf(stderr, "%s\n", line.c_str());
    std::fflush(stderr);
}

// The command starts a session of its own, so ending it reaches whatever it started too
// (a script's curl, not only the script). The group keeps its number while any member
// lives, even after its first process has been reaped, so it can be signalled until empty.
void signalGroup(pid_t group, int signal) {
    if (group > 0) ::kill(-group, signal);
}

bool groupAlive(pid_t group) { return group > 0 && (::kill(-group, 0) == 0 || errno == EPERM); }

// A group gives no sign when its last member goes, so one that outlived its first process is
// looked for this often.
constexpr std::chrono::milliseconds kGroupPoll{100};

// One started command: its first process and the group it leads.
struct Command {
    QProcess* process = nullptr;
    pid_t group = 0;
    QTimer* limit = nullptr;  // the time limit, then the grace between SIGTERM and SIGKILL
    QTimer* poll = nullptr;   // looks for the group once the first process is reaped
    bool reaped = false;
    bool terminated = false;  // SIGTERM sent
    bool killed = false;      // SIGKILL sent
};

}  // namespace

struct CommandRunner::Impl {
    Impl(CommandRunner& runner, CommandLimits given, Report sink)
        : owner(runner), limits(given), report(std::move(sink)) {}

    CommandRunner& owner;
    CommandLimits limits;
    Report report;
    std::deque<Pending> queue;
    // A command counts as running until its whole group is gone or killed, so what commands
    // leave behind in the background is bounded like the commands themselves.
    std::vector<Command*> running;
    std::set<std::string> reportedCommands;
    bool reportedOverflow = false;
    bool pumping = false;

    void pump() {
        if (pumping) return;  // a start that fails at once comes back here
        pumping = true;
        while (!queue.empty() && static_cast<int>(running.size()) < limits.maxRunning) {
            Pending next = std::move(queue.front());
            queue.pop_front();
            start(std::move(next));
        }
        if (queue.empty()) reportedOverflow = false;
        pumping = false;
    }

    void start(Pending pending) {
        auto* command = new Command;
        auto* process = new QProcess;
        command->process = process;
        running.push_back(command);
        process->setProgram(pending.words.takeFirst());
        process->setArguments(pending.words);
        process->setProcessEnvironment(pending.environment);
        process->setStandardInputFile(QProcess::nullDevice());
        process->setStandardOutputFile(QProcess::nullDevice());
        process->setStandardErrorFile(QProcess::nullDevice());
        process->setChildProcessModifier([] { ::setsid(); });

        command->limit = new QTimer(process);
        command->limit->setSingleShot(true);
        QObject::connect(command->limit, &QTimer::timeout, process, [this, command] { limitReached(command); });
        command->poll = new QTimer(process);
        QObject::connect(command->poll, &QTimer::timeout, process, [this, command] {
            if (!groupAlive(command->group)) ended(command);
        });
        QObject::connect(process, &QProcess::finished, process, [this, command] { firstProcessReaped(command); });
        QObject::connect(
            process, &QProcess::errorOccurred, process,
            [this, command, commandLine = pending.commandLine](QProcess::ProcessError error) {
                if (error != QProcess::FailedToStart) return;
                if (reportedCommands.insert(commandLine).second)
                    report("towerwatch: the command \"" + commandLine +
                           "\" could not start: " + fromQString(command->process->errorString()));
                ended(command);
            });
        process->start();
        if (process->state() == QProcess::NotRunning) return;
        command->group = static_cast<pid_t>(process->processId());
        // QTimer runs on the monotonic clock: setting the wall clock does not move the limit.
        command->limit->start(limits.timeLimit);
    }

    void limitReached(Command* command) {
        if (!command->terminated) {
            command->terminated = true;
            signalGroup(command->group, SIGTERM);
            command->limit->start(limits.killAfterTerminate);
            return;
        }
        command->killed = true;
        signalGroup(command->group, SIGKILL);
        // Nothing is left to wait for once the first process is reaped: the rest goes with
        // the kill.
        if (command->reaped) ended(command);
    }

    void firstProcessReaped(Command* command) {
        command->reaped = true;
        if (command->killed || !groupAlive(command->group)) return ended(command);
        command->poll->start(kGroupPoll);
    }

    void ended(Command* command) {
        const auto found = std::find(running.begin(), running.end(), command);
        if (found == running.end()) return;
        running.erase(found);
        command->process->disconnect();
        command->limit->stop();
        command->poll->stop();
        command->process->deleteLater();  // owns the timers
        delete command;
        pump();
        if (owner.onEnded) owner.onEnded();
    }
};

CommandRunner::CommandRunner(CommandLimits limits, Report report)
    : m(std::make_unique<Impl>(*this, limits, report ? std::move(report) : Report(toStandardError))) {}

CommandRunner::~CommandRunner() {
    for (Command* command : m->running) {
        command->process->disconnect();
        signalGroup(command->group, SIGKILL);
        // Killed, it is gone in a moment; this only collects its exit so no zombie stays.
        if (!command->reaped) command->process->waitForFinished(1000);
        delete command->process;
        delete command;
    }
}

void CommandRunner::run(const std::string& commandLine,
                        const std::vector<std::pair<std::string, std::string>>& variables) {
    QStringList words = QProcess::splitCommand(toQString(commandLine));
    if (words.isEmpty()) return;
    if (m->queue.size() >= m->limits.maxWaiting) {
        if (!m->reportedOverflow)
            m->report("towerwatch: too many commands waiting; \"" + commandLine +
                      "\" and later ones are dropped");
        m->reportedOverflow = true;
        return;
    }
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const auto& [name, value] : variables) environment.insert(toQString(name), toQString(value));
    m->queue.push_back({commandLine, std::move(words), std::move(environment)});
    m->pump();
}

int CommandRunner::running() const { return static_cast<int>(m->running.size()); }

std::size_t CommandRunner::waiting() const { return m->queue.size(); }

}  // namespace tw::platform
