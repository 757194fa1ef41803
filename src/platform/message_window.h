#pragma once
// Hidden message windows: a window is a handle with a procedure; messages registered by
// name get numbers of their own; posted messages reach the window's procedure later from
// the Qt event loop on the GUI thread, also while a modal dialog is open. A message posted
// to a window that is destroyed before delivery is dropped.

#include <cstdint>
#include <functional>
#include <string>

namespace tw::platform {

using WindowHandle = std::uint32_t;
using WParam = std::uint32_t;
using LParam = std::int32_t;
using WindowProcedure = std::function<std::int32_t(WindowHandle, std::uint32_t, WParam, LParam)>;

// A new hidden window whose procedure answers 0 to everything; 0 when there is no event
// loop to deliver its messages. GUI thread only, as are setWindowProcedure and destroyWindow.
WindowHandle createWindow(const std::string& className, const std::string& windowName);
// Installs a procedure and returns the one it replaces (empty for an unknown window).
WindowProcedure setWindowProcedure(WindowHandle window, WindowProcedure procedure);
bool destroyWindow(WindowHandle window);
bool windowExists(WindowHandle window);
int windowCount();

// The same number for the same name for the whole run, in 0xC000..0xFFFF; 0 for an empty name.
std::uint32_t registerWindowMessage(const std::string& name);

// Queues the message for the window's procedure. Any thread. False when the window does
// not exist or there is no event loop.
bool postMessage(WindowHandle window, std::uint32_t message, WParam wParam, LParam lParam);
// Calls the window's procedure now; 0 for a window that does not exist.
std::int32_t sendMessage(WindowHandle window, std::uint32_t message, WParam wParam, LParam lParam);

constexpr LParam makeLParam(std::uint16_t low, std::uint16_t high) {
    return static_cast<LParam>((static_cast<std::uint32_t>(high) << 16) | low);
}
constexpr std::uint16_t lowWord(LParam value) { return static_cast<std::uint16_t>(static_cast<std::uint32_t>(value) & 0xFFFFu); }
constexpr std::uint16_t highWord(LParam value) { return static_cast<std::uint16_t>(static_cast<std::uint32_t>(value) >> 16); }

}  // namespace tw::platform
