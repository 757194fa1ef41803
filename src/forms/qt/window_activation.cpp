#include "forms/qt/window_activation.h"

#include <optional>
#include <string>

#include <QGuiApplication>
#include <QWidget>

#include "forms/application.h"
#include "forms/qt/wayland_activation.h"

namespace tw::forms {

namespace {

// The token for the next window shown: empty asks for attention.
std::optional<std::string>& pendingActivation() {
    static std::optional<std::string> token;
    return token;
}

}  // namespace

void activateNextShownForm(const std::string& activationToken) { pendingActivation() = activationToken; }

namespace qt {

bool waylandSession() { return QGuiApplication::platformName().startsWith(QLatin1String("wayland")); }

void bringForward(QWidget& window) {
    window.raise();
    window.activateWindow();
    std::optional<std::string> request;
    request.swap(pendingActivation());
    if (!request || !waylandSession() || !window.windowHandle()) return;
    if (request->empty()) requestAttention(*window.windowHandle());
    else activateWithToken(*window.windowHandle(), *request);
}

}  // namespace qt
}  // namespace tw::forms
