#include "forms/qt/wayland_activation.h"

#include <cstring>
#include <functional>

#include <QGuiApplication>
#include <QPointer>
#include <QTimer>
#include <QWindow>
#include <qpa/qplatformnativeinterface.h>
#include <wayland-client.h>

#include "forms/application.h"
#include "xdg-activation-v1-client-protocol.h"

namespace tw::forms::qt {

namespace {

// Our registry and the compositor's activation object. Both live on Qt's connection and its
// default queue, which Qt dispatches on the GUI thread: no round trip waits here.
struct Activation {
    wl_display* display = nullptr;
    wl_registry* registry = nullptr;
    xdg_activation_v1* activation = nullptr;
    // The last request made before the compositor named its activation global.
    std::function<void()> waiting;
};

Activation& state();

void onGlobal(void*, wl_registry* registry, uint32_t name, const char* interface, uint32_t /*version*/) {
    Activation& s = state();
    if (s.activation || std::strcmp(interface, xdg_activation_v1_interface.name) != 0) return;
    s.activation = static_cast<xdg_activation_v1*>(wl_registry_bind(registry, name, &xdg_activation_v1_interface, 1));
    if (auto waiting = std::move(s.waiting)) waiting();
}

void onGlobalRemove(void*, wl_registry*, uint32_t) {}

const wl_registry_listener kRegistryListener = {onGlobal, onGlobalRemove};

wl_display* qtDisplay() {
    QPlatformNativeInterface* native = QGuiApplication::platformNativeInterface();
    return native ? static_cast<wl_display*>(native->nativeResourceForIntegration("wl_display")) : nullptr;
}

wl_surface* surfaceOf(QWindow& window) {
    QPlatformNativeInterface* native = QGuiApplication::platformNativeInterface();
    return native ? static_cast<wl_surface*>(native->nativeResourceForWindow("surface", &window)) : nullptr;
}

Activation& state() {
    static Activation s;
    if (!s.display && (s.display = qtDisplay())) {
        s.registry = wl_display_get_registry(s.display);
        wl_registry_add_listener(s.registry, &kRegistryListener, nullptr);
        wl_display_flush(s.display);
        // Gone before Qt closes its connection.
        whenQuitting([] {
            Activation& s = state();
            if (s.activation) xdg_activation_v1_destroy(s.activation);
            if (s.registry) wl_registry_destroy(s.registry);
            s.activation = nullptr;
            s.registry = nullptr;
        });
    }
    return s;
}

using Request = std::function<void(xdg_activation_v1*, wl_surface*)>;

// Runs `request` with the activation object once the window is on screen (a compositor
// activates only a mapped surface): mapping takes a configure from the compositor, so it is
// looked at again every 25 ms for two seconds.
void whenReady(QPointer<QWindow> target, Request request, int triesLeft = 80) {
    Activation& s = state();
    if (!s.registry || !target || !target->isVisible()) return;
    if (!s.activation) {
        s.waiting = [target, request, triesLeft] { whenReady(target, request, triesLeft); };
        return;
    }
    wl_surface* surface = surfaceOf(*target);
    if (!surface || !target->isExposed()) {
        if (triesLeft > 1)
            QTimer::singleShot(25, [target, request, triesLeft] { whenReady(target, request, triesLeft - 1); });
        return;
    }
    request(s.activation, surface);
    wl_display_flush(s.display);
}

struct TokenRequest {
    QPointer<QWindow> window;
};

void onTokenDone(void* data, xdg_activation_token_v1* token, const char* text) {
    auto* request = static_cast<TokenRequest*>(data);
    xdg_activation_token_v1_destroy(token);
    if (request->window) activateWithToken(*request->window, text);
    delete request;
}

const xdg_activation_token_v1_listener kTokenListener = {onTokenDone};

}  // namespace

void activateWithToken(QWindow& window, const std::string& token) {
    whenReady(&window, [token](xdg_activation_v1* activation, wl_surface* surface) {
        xdg_activation_v1_activate(activation, token.c_str(), surface);
    });
}

void requestAttention(QWindow& window) {
    QPointer<QWindow> target(&window);
    whenReady(target, [target](xdg_activation_v1* activation, wl_surface* surface) {
        xdg_activation_token_v1* token = xdg_activation_v1_get_activation_token(activation);
        xdg_activation_token_v1_add_listener(token, &kTokenListener, new TokenRequest{target});
        xdg_activation_token_v1_set_surface(token, surface);
        const QByteArray appId = QGuiApplication::desktopFileName().toUtf8();
        if (!appId.isEmpty()) xdg_activation_token_v1_set_app_id(token, appId.constData());
        xdg_activation_token_v1_commit(token);
    });
}

}  // namespace tw::forms::qt
