#pragma once
// The one conversion between a window's HWND and the interface's 32-bit handle. Windows
// keeps window handles within 32 bits and widens them by sign extension.

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <cstdint>

#include "platform/message_window.h"

namespace tw::platform {

inline WindowHandle toWindowHandle(HWND hwnd) {
    return static_cast<WindowHandle>(reinterpret_cast<std::uintptr_t>(hwnd));
}

inline HWND toHwnd(WindowHandle handle) {
    return reinterpret_cast<HWND>(static_cast<std::intptr_t>(static_cast<std::int32_t>(handle)));
}

}  // namespace tw::platform
