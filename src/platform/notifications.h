#pragma once
// Desktop notifications: a summary, a body and a picture, shown by the desktop's notification
// service. Showing never waits on the service: its answer comes back through the event loop,
// and a notification it does not take (no service, an error, no answer in time) is handed to
// `fallback` instead. GUI thread only.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tw::platform {

struct DesktopNotification {
    std::string summary;
    std::string body;  // plain text, lines separated by "\n"
    bool critical = false;
    uintptr_t icon = 0;  // a picture handle (iconHandle), 0 for none
    std::string sound;   // a sound theme name to play with it; empty: silent
};

// A plain-text body as the notification service takes it: services that understand markup
// read the body as such, and names from the document may hold "&", "<" or ">", so those are
// escaped. ASCII only changes, so the text stays UTF-8 or Windows-1252 as it was.
std::string notificationBodyMarkup(std::string_view plain);

class DesktopNotifier {
public:
    virtual ~DesktopNotifier();
    virtual void notify(const DesktopNotification& notification) = 0;

    // The user activated one of ours: clicked it, or chose its "Open history" action.
    std::function<void()> onActivated;
    // Gets what the service did not take.
    std::function<void(const DesktopNotification&)> fallback;

protected:
    void handOn(const DesktopNotification& notification) const;
};

// The desktop's own notification service, as the window system reaches it.
std::unique_ptr<DesktopNotifier> makeSystemNotifier();

// Keeps every notification, for tests; the fallback is never used.
class NotifierRecorder : public DesktopNotifier {
public:
    void notify(const DesktopNotification& notification) override { shown.push_back(notification); }
    std::vector<DesktopNotification> shown;
};

}  // namespace tw::platform
