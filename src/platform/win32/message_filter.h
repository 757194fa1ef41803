#pragma once
// The window system's say over the messages of the GUI thread's loops: the forms give Tab,
// Esc, Enter and accelerators their meaning before a message is dispatched.

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace tw::platform::win32 {

// True when the filter has handled the message and it must not be dispatched.
using MessageFilter = bool (*)(MSG& message);
void setMessageFilter(MessageFilter filter);
bool filterMessage(MSG& message);

}  // namespace tw::platform::win32
