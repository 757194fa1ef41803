#include "event_loop_wait.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <algorithm>

namespace tw::testing {

bool runUntil(const std::function<bool()>& done, int deadlineMs) {
    if (done()) return true;
    const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(deadlineMs);
    for (;;) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
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
