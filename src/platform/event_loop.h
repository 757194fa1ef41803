#pragma once
// The one place where the socket layer meets the window system's event loop: running a task
// later on the GUI thread, watching a socket descriptor for readiness, and time limits. The
// socket layer never owns the loop; without an application object nothing is posted, watched
// or timed.

#include <functional>
#include <memory>

namespace tw::platform {

// True when an application object exists to run posted tasks.
bool eventLoopAvailable();

// Runs `task` on the GUI thread from the event loop (also inside a modal dialog's loop), in
// posting order. Callable from any thread. False, with the task dropped, without a loop.
bool postToEventLoop(std::function<void()> task);

// Runs the GUI thread's event loop until quitEventLoop; returns the code given there, or -1
// at once without a loop. For programs without windows (the window system runs its own).
int runEventLoop();
void quitEventLoop(int code);

// Calls onReadable / onWritable from the event loop while the descriptor is ready in that
// direction and the direction is enabled (both start disabled). Made and used on the GUI
// thread; destroy it before the descriptor is closed.
class SocketWatch {
public:
    SocketWatch(int fd, std::function<void()> onReadable, std::function<void()> onWritable);
    ~SocketWatch();
    SocketWatch(const SocketWatch&) = delete;
    SocketWatch& operator=(const SocketWatch&) = delete;

    void setReadEnabled(bool enabled);
    void setWriteEnabled(bool enabled);

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

// Calls onExpired once from the event loop when `start`'s time has passed without another
// start or a stop. Made and used on the GUI thread; without a loop it never expires.
class OneShotTimer {
public:
    explicit OneShotTimer(std::function<void()> onExpired);
    ~OneShotTimer();
    OneShotTimer(const OneShotTimer&) = delete;
    OneShotTimer& operator=(const OneShotTimer&) = delete;

    // Counts afresh from now.
    void start(int ms);
    void stop();

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

}  // namespace tw::platform
