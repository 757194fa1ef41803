#include "event_loop_wait.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <algorithm>

#include "platform/win32/message_filter.h"

namespace tw::testing {

bool runUntil(const std::function<bool()>& done, int deadlineMs) {
    if (done()) return true;
    const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(deadlineMs);
    for (;;) {
        MSG msg;
        // As the program's own loop does: the forms see keys first.
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (platform::win32::filterMessage(msg)) continue;
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (done()) return true;
        const ULONGLONG now = GetTickCount64();
        if (now >= deadline) return false;
        // Wakes for the next message, or after a millisecond for conditions no message
        // announces (a peer's bytes, a worker's result).
        MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(std::min<ULONGLONG>(deadline - now, 1)),
                                    QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    }
}

}  // namespace tw::testing
