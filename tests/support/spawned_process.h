#pragma once
// A child program for test peers, without Qt: started with fork and exec, its output sent to
// a file, and killed and reaped when the object goes. Plain POSIX, so Qt-free tests use it.

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <vector>

namespace tw::testing {

class SpawnedProcess {
public:
    // Runs argv[0] with argv, stdout and stderr appended to outputFile. running() is false
    // when the program could not be started.
    SpawnedProcess(const std::vector<std::string>& argv, const std::string& outputFile) {
        std::vector<char*> args;
        for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        m_pid = ::fork();
        if (m_pid == 0) {
            // Only async-signal-safe calls between fork and exec: the test may run threads.
            const int out = ::open(outputFile.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
            if (out >= 0) {
                ::dup2(out, 1);
                ::dup2(out, 2);
            }
            ::execv(args[0], args.data());
            ::_exit(127);
        }
    }
    ~SpawnedProcess() {
        if (m_pid <= 0) return;
        ::kill(m_pid, SIGKILL);
        int status = 0;
        while (::waitpid(m_pid, &status, 0) < 0 && errno == EINTR) {}
    }
    SpawnedProcess(const SpawnedProcess&) = delete;
    SpawnedProcess& operator=(const SpawnedProcess&) = delete;

    // False once the program has ended (it is reaped here) or never started.
    bool running() {
        if (m_pid <= 0) return false;
        int status = 0;
        if (::waitpid(m_pid, &status, WNOHANG) == m_pid) m_pid = -1;
        return m_pid > 0;
    }

private:
    pid_t m_pid = -1;
};

}  // namespace tw::testing
