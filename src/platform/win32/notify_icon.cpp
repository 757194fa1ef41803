#include "platform/notify_icon.h"

namespace tw::platform {
namespace {

// The tray comes with the windows; until then there is no notification area to show icons in.
class NoNotifyIcons : public NotifyIconShell {
public:
    bool Shell_NotifyIcon(uint32_t, const NOTIFYICONDATA&) override { return false; }
    bool trayHostAvailable() const override { return false; }
    bool showBalloon(uintptr_t, uint32_t, const std::string&, const std::string&, bool) override { return false; }
};

}  // namespace

std::unique_ptr<NotifyIconShell> makeSystemNotifyIconShell() { return std::make_unique<NoNotifyIcons>(); }

}  // namespace tw::platform
