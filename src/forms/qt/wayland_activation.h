#pragma once
// The xdg-activation protocol on the connection Qt's Wayland platform holds: a window is
// activated with a token the compositor gave out, and one without a token asks for the
// user's attention with a token of its own (requested without an input event, so the
// compositor will not simply hand over the focus). A compositor without the protocol is
// left alone. Requests made before the compositor has listed its globals wait for them.

#include <string>

class QWindow;

namespace tw::forms::qt {

void activateWithToken(QWindow& window, const std::string& token);
void requestAttention(QWindow& window);

}  // namespace tw::forms::qt
