#pragma once
// Asynchronous host-name resolution: getaddrinfo runs on a worker thread, never on the GUI
// thread, and the completion is posted to a message window as (message, wParam = task
// handle, lParam high word = 0 or the error 11001..11004). The resolved entry waits here,
// one per task, until it is taken or the task is cancelled.

#include <cstdint>
#include <optional>
#include <string>

#include "platform/message_window.h"

namespace tw::platform {

struct HostEntry {
    std::uint32_t address = 0;  // the first IPv4 address, network byte order
    std::string officialName;
};

// The task handle (never 0), or 0 with the last error set: 10093 before start-up, 10022
// for a window that does not exist.
std::uint32_t wsaAsyncGetHostByName(WindowHandle window, std::uint32_t message, const std::string& name);

// The entry of a completed successful task, removed by this call; nothing for a failed,
// pending, cancelled or unknown task.
std::optional<HostEntry> takeHostEntry(std::uint32_t task);

// No completion is posted for the task after this: 0. A task whose completion is already
// posted cannot be called back: -1 with 10037, and the posted completion still takes its
// entry. -1 with 10022 for an unknown task.
int wsaCancelAsyncRequest(std::uint32_t task);

// Tasks started and not yet taken or cancelled; for tests of leaks.
int pendingHostTasks();

// The Windows Sockets code for a getaddrinfo result.
int wsaErrorFromResolver(int gaiError);

}  // namespace tw::platform
