#include "platform/notifications.h"

namespace tw::platform {

std::string notificationBodyMarkup(std::string_view plain) {
    std::string markup;
    markup.reserve(plain.size() + 16);
    for (const char c : plain) {
        switch (c) {
        case '&': markup.append("&amp;"); break;
        case '<': markup.append("&lt;"); break;
        case '>': markup.append("&gt;"); break;
        default: markup.push_back(c);
        }
    }
    return markup;
}

DesktopNotifier::~DesktopNotifier() = default;

void DesktopNotifier::handOn(const DesktopNotification& notification) const {
    if (fallback) fallback(notification);
}

}  // namespace tw::platform
