#include "platform/event_loop.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <map>
#include <mutex>

#include "platform/win32/message_filter.h"

namespace tw::platform {
namespace {

constexpr UINT kRunTask = WM_APP + 1;

// Timers by their id, each id used once, so a timer killed after its WM_TIMER was queued
// finds nobody.
struct Timers {
    std::mutex mutex;
    UINT_PTR nextId = 1;
    std::map<UINT_PTR, const std::function<void()>*> byId;
};

Timers& timers() {
    static Timers instance;
    return instance;
}

void expire(UINT_PTR id);

LRESULT CALLBACK loopProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kRunTask) {
        std::unique_ptr<std::function<void()>> task(reinterpret_cast<std::function<void()>*>(lParam));
        (*task)();
        return 0;
    }
    if (message == WM_TIMER) {
        KillTimer(hwnd, wParam);
        expire(wParam);
        return 0;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

// A message-only window of the thread that first asks, the GUI thread: tasks posted to it
// run in whichever message loop that thread is in, a modal dialog's too.
HWND loopWindow() {
    static HWND window = [] {
        HWND hwnd = CreateWindowExA(0, "STATIC", "Towerwatch.Tasks", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                    GetModuleHandleA(nullptr), nullptr);
        if (hwnd) SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&loopProcedure));
        return hwnd;
    }();
    return window;
}

}  // namespace

bool eventLoopAvailable() { return loopWindow() != nullptr; }

bool postToEventLoop(std::function<void()> task) {
    HWND hwnd = loopWindow();
    if (!hwnd) return false;
    auto held = std::make_unique<std::function<void()>>(std::move(task));
    if (!PostMessageA(hwnd, kRunTask, 0, reinterpret_cast<LPARAM>(held.get()))) return false;
    held.release();  // the loop's procedure owns it now
    return true;
}

struct OneShotTimer::Impl {
    std::function<void()> onExpired;
    UINT_PTR id = 0;
};

namespace {

void expire(UINT_PTR id) {
    std::function<void()> onExpired;
    {
        std::lock_guard lock(timers().mutex);
        auto it = timers().byId.find(id);
        if (it == timers().byId.end()) return;
        onExpired = *it->second;  // a copy: the callback may destroy its timer
        timers().byId.erase(it);
    }
    onExpired();
}

}  // namespace

OneShotTimer::OneShotTimer(std::function<void()> onExpired) : m_impl(std::make_unique<Impl>()) {
    m_impl->onExpired = std::move(onExpired);
}

OneShotTimer::~OneShotTimer() { stop(); }

void OneShotTimer::start(int ms) {
    stop();
    HWND hwnd = loopWindow();
    if (!hwnd) return;
    {
        std::lock_guard lock(timers().mutex);
        m_impl->id = timers().nextId++;
        timers().byId[m_impl->id] = &m_impl->onExpired;
    }
    SetTimer(hwnd, m_impl->id, static_cast<UINT>(ms < USER_TIMER_MINIMUM ? USER_TIMER_MINIMUM : ms), nullptr);
}

void OneShotTimer::stop() {
    if (m_impl->id == 0) return;
    KillTimer(loopWindow(), m_impl->id);
    std::lock_guard lock(timers().mutex);
    timers().byId.erase(m_impl->id);
    m_impl->id = 0;
}

namespace win32 {
namespace {
MessageFilter messageFilter = nullptr;
}  // namespace

void setMessageFilter(MessageFilter filter) { messageFilter = filter; }
bool filterMessage(MSG& message) { return messageFilter && messageFilter(message); }
}  // namespace win32

int runEventLoop() {
    if (!loopWindow()) return -1;
    MSG msg;
    BOOL got;
    while ((got = GetMessageW(&msg, nullptr, 0, 0)) != 0) {
        if (got == -1) return -1;
        if (win32::filterMessage(msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}

void quitEventLoop(int code) { PostQuitMessage(code); }

}  // namespace tw::platform
