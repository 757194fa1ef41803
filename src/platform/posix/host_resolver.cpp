#include "platform/host_resolver.h"

#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <thread>

#include "platform/winsock.h"

namespace tw::platform {
namespace {

struct Task {
    bool done = false;
    bool cancelled = false;
    std::optional<HostEntry> entry;
};

struct Tasks {
    std::mutex mutex;
    std::uint32_t next = 1;
    std::map<std::uint32_t, Task> byHandle;
};

// Never destroyed: worker threads may still finish while the program exits.
Tasks& tasks() {
    static Tasks* instance = new Tasks;
    return *instance;
}

// Runs on the worker thread.
std::pair<int, std::optional<HostEntry>> resolve(const std::string& name) {
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_CANONNAME;
    addrinfo* found = nullptr;
    const int gai = ::getaddrinfo(name.c_str(), nullptr, &hints, &found);
    if (gai != 0) return {wsaErrorFromResolver(gai), std::nullopt};
    std::unique_ptr<addrinfo, decltype(&::freeaddrinfo)> hold(found, ::freeaddrinfo);
    for (addrinfo* a = found; a; a = a->ai_next) {
        if (a->ai_family != AF_INET || !a->ai_addr) continue;
        HostEntry entry;
        entry.address = reinterpret_cast<const sockaddr_in*>(a->ai_addr)->sin_addr.s_addr;
        entry.officialName = found->ai_canonname ? found->ai_canonname : name;
        return {0, entry};
    }
    return {kWsaNoData, std::nullopt};
}

}  // namespace

int wsaErrorFromResolver(int gaiError) {
    switch (gaiError) {
    case 0: return 0;
    case EAI_NONAME: return kWsaHostNotFound;
    case EAI_AGAIN: return kWsaTryAgain;
#ifdef EAI_NODATA
    case EAI_NODATA: return kWsaNoData;
#endif
#ifdef EAI_ADDRFAMILY
    case EAI_ADDRFAMILY: return kWsaNoData;
#endif
    default: return kWsaNoRecovery;
    }
}

std::uint32_t wsaAsyncGetHostByName(WindowHandle window, std::uint32_t message, const std::string& name) {
    if (!wsaStarted()) {
        wsaSetLastError(kWsaNotinitialised);
        return 0;
    }
    if (!windowExists(window)) {
        wsaSetLastError(kWsaEinval);
        return 0;
    }
    std::uint32_t handle;
    {
        Tasks& t = tasks();
        std::lock_guard lock(t.mutex);
        do {
            handle = t.next++;
        } while (handle == 0 || t.byHandle.count(handle));
        t.byHandle[handle] = Task{};
    }
    // A name with a NUL is cut there, as the C call would see it.
    const std::string cName(name.c_str());
    std::thread([handle, window, message, cName] {
        auto [error, entry] = resolve(cName);
        {
            Tasks& t = tasks();
            std::lock_guard lock(t.mutex);
            auto it = t.byHandle.find(handle);
            if (it == t.byHandle.end()) return;
            if (it->second.cancelled) {
                t.byHandle.erase(it);
                return;
            }
            it->second.done = true;
            it->second.entry = entry;
        }
        const auto length = static_cast<std::uint16_t>(entry ? 1024 : 0);
        if (!postMessage(window, message, handle, makeLParam(length, static_cast<std::uint16_t>(error)))) {
            // Nobody will take it: the window went away while the name was looked up.
            std::lock_guard lock(tasks().mutex);
            tasks().byHandle.erase(handle);
        }
    }).detach();
    return handle;
}

std::optional<HostEntry> takeHostEntry(std::uint32_t task) {
    Tasks& t = tasks();
    std::lock_guard lock(t.mutex);
    auto it = t.byHandle.find(task);
    if (it == t.byHandle.end() || !it->second.done) return std::nullopt;
    std::optional<HostEntry> entry = std::move(it->second.entry);
    t.byHandle.erase(it);
    return entry;
}

int wsaCancelAsyncRequest(std::uint32_t task) {
    Tasks& t = tasks();
    std::lock_guard lock(t.mutex);
    auto it = t.byHandle.find(task);
    if (it == t.byHandle.end() || it->second.cancelled) {
        wsaSetLastError(kWsaEinval);
        return kSocketError;
    }
    // A finished lookup has already posted its completion, which will come whatever happens
    // here; saying it was cancelled would let the caller count on silence.
    if (it->second.done) {
        wsaSetLastError(kWsaEalready);
        return kSocketError;
    }
    it->second.cancelled = true;
    return 0;
}

int pendingHostTasks() {
    Tasks& t = tasks();
    std::lock_guard lock(t.mutex);
    int count = 0;
    for (const auto& [handle, task] : t.byHandle)
        if (!task.cancelled) ++count;
    return count;
}

}  // namespace tw::platform
