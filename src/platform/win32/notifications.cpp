#include "platform/notifications.h"

namespace tw::platform {
namespace {

// The tray comes with the windows; until then every notification goes to the fallback.
class NoNotifier : public DesktopNotifier {
public:
    void notify(const DesktopNotification& notification) override { handOn(notification); }
};

}  // namespace

std::unique_ptr<DesktopNotifier> makeSystemNotifier() { return std::make_unique<NoNotifier>(); }

}  // namespace tw::platform
