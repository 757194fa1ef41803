#include "forms/application.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <vector>

#include "forms/form.h"
#include "forms/win32/application_loop.h"
#include "forms/win32/native_form.h"
#include "forms/win32/picture_data.h"
#include "forms/win32/win32_values.h"
#include "platform/event_loop.h"
#include "runtime/message_box.h"

namespace tw::forms {

namespace {

class WindowsMessageBoxSink : public MessageBoxSink {
public:
    int show(const MessageBoxCall& call) override {
        // Over the form the user is in, which waits until the box is answered.
        HWND owner = GetActiveWindow();
        const UINT style = MB_OK | static_cast<UINT>(call.style & 0x70) | (owner ? 0u : MB_TASKMODAL);
        return MessageBoxW(owner, win32::screenText(call.text).c_str(), win32::screenText(call.title).c_str(),
                           style) != 0
                   ? 1
                   : 0;
    }
};

struct Quitting {
    std::vector<std::function<void()>> tasks;
    bool ended = false;
};

Quitting& quitting() {
    static Quitting state;
    return state;
}

}  // namespace

// Tahoma is one of Windows' own faces; nothing to add.
void registerBundledFonts() {}

void setCustomPointerPicture(const Picture& picture, int hotX, int hotY) {
    static HCURSOR made = nullptr;
    HCURSOR cursor = static_cast<HCURSOR>(win32::cursorFrom(picture, hotX, hotY));
    win32::setCustomCursor(cursor);
    if (made) DestroyCursor(made);
    made = cursor;
    // The pointer is looked up on every mouse move; one over a control now changes at once.
    POINT point;
    if (GetCursorPos(&point)) SetCursorPos(point.x, point.y);
}

void installMessageBoxSink() {
    static WindowsMessageBoxSink sink;
    setMessageBoxSink(&sink);
}

void runSoon(std::function<void()> task) { platform::postToEventLoop(std::move(task)); }

bool applicationRunning() { return !quitting().ended; }

void whenQuitting(std::function<void()> task) { quitting().tasks.push_back(std::move(task)); }

// The copy that was started lends its right to the foreground (see the one-copy window), so
// showing the form is enough.
void activateNextShownForm(const std::string& /*activationToken*/) {}

namespace win32 {

int runApplication() {
    const int code = platform::runEventLoop();
    Quitting& state = quitting();
    const auto tasks = std::move(state.tasks);
    for (const auto& task : tasks) task();
    state.ended = true;
    return code;
}

}  // namespace win32

}  // namespace tw::forms
