#pragma once
// MSocketSupport: the process-wide socket service under every CSocket. It starts and stops
// the socket layer, owns the one hidden window that receives every socket notification and
// name-resolution completion, maps socket handles and resolution tasks to the objects that
// own them, and turns Windows Sockets error codes into English text. GUI thread only.
//
// RegisterSocket and ResolveHost never raise: they return false / 0 and leave the reason in
// LastError() for the caller to raise under its own source.

#include <cstdint>
#include <string>

#include "platform/message_window.h"
#include "platform/winsock.h"
#include "runtime/runtime_error.h"

namespace tw {

// What the service calls on the object that owns a socket or a resolution.
class SocketEventSink {
public:
    virtual ~SocketEventSink() = default;
    virtual void PostSocketEvent(std::int32_t eventCode, std::int32_t errorCode) = 0;
    virtual void PostGetHostEvent(std::uint32_t taskHandle, std::uint32_t hostAddress,
                                  const std::string& hostName, std::int32_t errorCode) = 0;
};

namespace MSocketSupport {

// Starts the service when it is not started and counts one more live socket object.
// Returns the maximum datagram size. Raises with source
// "MSocketSupport.InitWinsockService" when the socket layer cannot start.
std::int32_t InitWinsockService();

// Counts one live socket object less; shuts the service down when no object is left and no
// socket is registered.
void CleanupWinsock();

// Puts the socket in the registry (creating the hidden window with the first one) and asks
// for its read, write, accept, connect and close notifications.
bool RegisterSocket(platform::Socket socket, SocketEventSink* owner);

// Stops the socket's notifications and removes it; the last removal destroys the window.
// A resolution its owner still waits for is dropped. False for -1 or an empty registry.
bool UnregisterSocket(platform::Socket socket);

// Starts resolving the name for the owner; the task handle, or 0. A resolution the owner
// was still waiting for is dropped: only the newest one completes.
std::uint32_t ResolveHost(const std::string& hostName, SocketEventSink* owner);

// Forgets every resolution the owner waits for; called when the owner goes away.
void ForgetOwner(SocketEventSink* owner);

// Queues a write notification for the socket, delivered from the message loop.
bool PostWriteNotification(platform::Socket socket);

// The English text of a Windows Sockets error code, "Unknown error." for other codes.
std::string GetErrorDescription(std::int32_t code);

// The window procedure of the hidden window. Always 0; nothing leaves it.
std::int32_t WindowProc(platform::WindowHandle window, std::uint32_t message,
                        platform::WParam wParam, platform::LParam lParam);

// The error left by the last failing RegisterSocket or ResolveHost.
RuntimeError LastError();

// 16-bit conversions: an unsigned 16-bit value held in a signed one, widened (-1 gives
// 65535); a port to its 16-bit wire form (32768..65535 wrap to negative; outside 0..65535
// raises overflow, error 6).
std::int32_t UnsignedToLong(std::int16_t value);
std::int16_t LongToUnsigned(std::int32_t value);
std::uint16_t LoWord(std::int32_t value);
std::uint16_t HiWord(std::int32_t value);

// Facts for tests and diagnostics.
bool IsStarted();
platform::WindowHandle NotificationWindow();
int RegisteredSockets();
int PendingResolutions();

}  // namespace MSocketSupport
}  // namespace tw
