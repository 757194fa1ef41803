#pragma once
// The one conversion between Windows Sockets' SOCKET and the interface's 32-bit handle:
// Windows hands out socket handles that are small kernel handle values.

#define WIN32_LEAN_AND_MEAN
#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>

#include "platform/winsock.h"

namespace tw::platform {

inline SOCKET toSocket(Socket s) { return s == kInvalidSocket ? INVALID_SOCKET : static_cast<SOCKET>(static_cast<std::uint32_t>(s)); }
inline Socket fromSocket(SOCKET s) { return s == INVALID_SOCKET ? kInvalidSocket : static_cast<Socket>(s); }

}  // namespace tw::platform
