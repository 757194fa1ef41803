#include "platform/command_runner.h"

#include <csignal>
#include <cstdio>
#include <deque>
#include <set>

#include <unistd.h>

#include <QProcess>
#include <QProcessEnvironment>
#include <QTimer>

#include "platform/text_codec.h"

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
// (a script's curl, not only the script).
void signalGroup(const QProcess& process, int signal) {
    const qint64 pid = process.processId();
    if (pid > 0) ::kill(static_cast<pid_t>(-pid), signal);
}

}  // namespace

struct CommandRunner::Impl {
    Impl(CommandRunner& runner, CommandLimits given, Report sink)
        : owner(runner), limits(given), report(std::move(sink)) {}

    CommandRunner& owner;
    CommandLimits limits;
    Report report;
    std::deque<Pending> queue;
    std::vector<QProcess*> running;
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
        auto* process = new QProcess;
        running.push_back(process);
        process->setProgram(pending.words.takeFirst());
        process->setArguments(pending.words);
        process->setProcessEnvironment(pending.environment);
        process->setStandardInputFile(QProcess::nullDevice());
        process->setStandardOutputFile(QProcess::nullDevice());
        process->setStandardErrorFile(QProcess::nullDevice());
        process->setChildProcessModifier([] { ::setsid(); });

        auto* clock = new QTimer(process);
        clock->setSingleShot(true);
        QObject::connect(clock, &QTimer::timeout, process,
                         [this, process, clock, terminated = false]() mutable {
                             signalGroup(*process, terminated ? SIGKILL : SIGTERM);
                             if (terminated) return;
                             terminated = true;
                             clock->start(limits.killAfterTerminate);
                         });
        QObject::connect(process, &QProcess::finished, process,
                         [this, process, clock] { ended(process, clock); });
        QObject::connect(
            process, &QProcess::errorOccurred, process,
            [this, process, clock, commandLine = pending.commandLine](QProcess::ProcessError error) {
                if (error != QProcess::FailedToStart) return;
                if (reportedCommands.insert(commandLine).second)
                    report("towerwatch: the command \"" + commandLine +
                           "\" could not start: " + fromQString(process->errorString()));
                ended(process, clock);
            });
        process->start();
        if (process->state() != QProcess::NotRunning) clock->start(limits.timeLimit);
    }

    void ended(QProcess* process, QTimer* clock) {
        // Reaped: its number may belong to another process from now on.
        clock->stop();
        std::erase(running, process);
        process->disconnect();
        process->deleteLater();
        pump();
        if (owner.onEnded) owner.onEnded();
    }
};

CommandRunner::CommandRunner(CommandLimits limits, Report report)
    : m(std::make_unique<Impl>(*this, limits, report ? std::move(report) : Report(toStandardError))) {}

CommandRunner::~CommandRunner() {
    for (QProcess* process : m->running) {
        process->disconnect();
        signalGroup(*process, SIGKILL);
        // Killed, it is gone in a moment; this only collects its exit so no zombie stays.
        process->waitForFinished(1000);
        delete process;
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
