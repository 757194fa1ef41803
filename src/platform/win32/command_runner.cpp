#include "platform/command_runner.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <deque>
#include <set>
#include <string_view>

#include "platform/event_loop.h"

namespace tw::platform {

namespace {

std::wstring wide(std::string_view text) {
    if (text.empty()) return {};
    const int size = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring result(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), result.data(), size);
    return result;
}

std::string narrow(std::wstring_view text) {
    if (text.empty()) return {};
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                         nullptr, nullptr);
    std::string result(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), result.data(), size, nullptr,
                        nullptr);
    return result;
}

std::string systemMessage(DWORD error) {
    wchar_t* text = nullptr;
    const DWORD length =
        FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring message(text, length);
    LocalFree(text);
    while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r' || message.back() == L' '))
        message.pop_back();
    return message.empty() ? "error " + std::to_string(error) : narrow(message);
}

void toStandardError(const std::string& line) {
    std::fprintf(stderr, "%s\n", line.c_str());
    std::fflush(stderr);
}

std::wstring_view nameOf(std::wstring_view entry) {
    // "=C:=C:\x" entries keep the current folder per drive; their name starts after the '='.
    return entry.substr(0, entry.find(L'=', 1));
}

// The program's environment with the variables set, as the block CreateProcessW takes:
// sorted by name without regard to case, as Windows keeps it.
std::wstring environmentBlock(const std::vector<std::pair<std::string, std::string>>& variables) {
    std::vector<std::wstring> entries;
    if (wchar_t* block = GetEnvironmentStringsW()) {
        for (const wchar_t* entry = block; *entry; entry += wcslen(entry) + 1) entries.emplace_back(entry);
        FreeEnvironmentStringsW(block);
    }
    auto sameName = [](std::wstring_view a, std::wstring_view b) {
        return CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()),
                                    TRUE) == CSTR_EQUAL;
    };
    for (const auto& [name, value] : variables) {
        const std::wstring wideName = wide(name);
        std::erase_if(entries, [&](const std::wstring& entry) { return sameName(nameOf(entry), wideName); });
        entries.push_back(wideName + L'=' + wide(value));
    }
    std::stable_sort(entries.begin(), entries.end(), [](const std::wstring& a, const std::wstring& b) {
        const std::wstring_view x = nameOf(a), y = nameOf(b);
        return CompareStringOrdinal(x.data(), static_cast<int>(x.size()), y.data(), static_cast<int>(y.size()),
                                    TRUE) == CSTR_LESS_THAN;
    });
    std::wstring result;
    for (const std::wstring& entry : entries) result += entry + L'\0';
    result += L'\0';
    return result;
}

// A job gives no sign here when its last process goes, so a running one is looked at this often.
constexpr int kJobPollMs = 100;

struct Pending {
    std::string commandLine;
    std::wstring environment;
};

// One started command: the job that holds it and everything it starts.
struct Command {
    HANDLE job = nullptr;
    std::unique_ptr<OneShotTimer> limit;
    std::unique_ptr<OneShotTimer> poll;
    bool terminated = false;
    ~Command() {
        if (job) CloseHandle(job);  // ends what is left: the job kills its processes on close
    }
};

bool jobEmpty(HANDLE job) {
    JOBOBJECT_BASIC_ACCOUNTING_INFORMATION accounting{};
    if (!job || !QueryInformationJobObject(job, JobObjectBasicAccountingInformation, &accounting,
                                           sizeof accounting, nullptr))
        return true;
    return accounting.ActiveProcesses == 0;
}

}  // namespace

struct CommandRunner::Impl {
    Impl(CommandRunner& runner, CommandLimits given, Report sink)
        : owner(runner), limits(given), report(std::move(sink)) {}

    CommandRunner& owner;
    CommandLimits limits;
    Report report;
    std::deque<Pending> queue;
    // A command counts as running until its whole job is empty, so what commands leave
    // behind is bounded like the commands themselves.
    std::vector<std::shared_ptr<Command>> running;
    std::set<std::string> reportedCommands;
    bool reportedOverflow = false;
    bool pumping = false;

    void pump() {
        if (pumping) return;
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
        auto command = std::make_shared<Command>();
        Command* raw = command.get();
        running.push_back(command);
        raw->limit = std::make_unique<OneShotTimer>([this, raw] { limitReached(raw); });
        raw->poll = std::make_unique<OneShotTimer>([this, raw] { look(raw); });
        const DWORD error = launch(*raw, pending);
        if (error != ERROR_SUCCESS) {
            if (reportedCommands.insert(pending.commandLine).second)
                report("towerwatch: the command \"" + pending.commandLine + "\" could not start: " +
                       systemMessage(error));
            raw->poll->start(0);  // ends it from the loop, as a command that ran would
            return;
        }
        raw->limit->start(static_cast<int>(limits.timeLimit.count()));
        raw->poll->start(kJobPollMs);
    }

    // Starts the command suspended inside a job of its own, so nothing it starts escapes the
    // job before it runs. ERROR_SUCCESS or why it could not start.
    static DWORD launch(Command& command, Pending& pending) {
        command.job = CreateJobObjectW(nullptr, nullptr);
        if (!command.job) return GetLastError();
        JOBOBJECT_EXTENDED_LIMIT_INFORMATION kill{};
        kill.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
        SetInformationJobObject(command.job, JobObjectExtendedLimitInformation, &kill, sizeof kill);

        SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
        HANDLE nul = CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                 &inheritable, OPEN_EXISTING, 0, nullptr);
        if (nul == INVALID_HANDLE_VALUE) return GetLastError();
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = startup.hStdOutput = startup.hStdError = nul;
        PROCESS_INFORMATION process{};
        // No shell: the text is the command line as the started program reads it.
        std::wstring commandLine = wide(pending.commandLine);
        const BOOL started = CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE,
                                            CREATE_SUSPENDED | CREATE_NO_WINDOW | CREATE_UNICODE_ENVIRONMENT,
                                            pending.environment.data(), nullptr, &startup, &process);
        const DWORD error = started ? ERROR_SUCCESS : GetLastError();
        CloseHandle(nul);
        if (!started) return error;
        DWORD result = ERROR_SUCCESS;
        if (!AssignProcessToJobObject(command.job, process.hProcess)) {
            result = GetLastError();
            TerminateProcess(process.hProcess, 1);
        } else {
            ResumeThread(process.hThread);
        }
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        return result;
    }

    // Windows has no polite request a console-less program hears: the job is ended at once.
    void limitReached(Command* command) {
        command->terminated = true;
        TerminateJobObject(command->job, 1);
        look(command);
    }

    void look(Command* command) {
        if (jobEmpty(command->job)) ended(command);
        else command->poll->start(kJobPollMs);
    }

    void ended(Command* command) {
        const auto found = std::find_if(running.begin(), running.end(),
                                        [command](const auto& each) { return each.get() == command; });
        if (found == running.end()) return;
        std::shared_ptr<Command> gone = std::move(*found);
        running.erase(found);
        gone->limit->stop();
        gone->poll->stop();
        // Freed after the timer call that brought us here has returned.
        postToEventLoop([gone] {});
        pump();
        if (owner.onEnded) owner.onEnded();
    }
};

CommandRunner::CommandRunner(CommandLimits limits, Report report)
    : m(std::make_unique<Impl>(*this, limits, report ? std::move(report) : Report(toStandardError))) {}

CommandRunner::~CommandRunner() {
    for (const auto& command : m->running) TerminateJobObject(command->job, 1);
}

void CommandRunner::run(const std::string& commandLine,
                        const std::vector<std::pair<std::string, std::string>>& variables) {
    if (commandLine.find_first_not_of(" \t\r\n") == std::string::npos) return;
    if (m->queue.size() >= m->limits.maxWaiting) {
        if (!m->reportedOverflow)
            m->report("towerwatch: too many commands waiting; \"" + commandLine + "\" and later ones are dropped");
        m->reportedOverflow = true;
        return;
    }
    m->queue.push_back({commandLine, environmentBlock(variables)});
    m->pump();
}

int CommandRunner::running() const { return static_cast<int>(m->running.size()); }

std::size_t CommandRunner::waiting() const { return m->queue.size(); }

}  // namespace tw::platform
