#pragma once
// Raising a form's window. On X11 the window asks for the focus itself. On Wayland it cannot:
// the compositor activates it when handed a token from the launcher (xdg-activation), and
// otherwise shows that it wants attention.

class QWidget;

namespace tw::forms::qt {

bool waylandSession();

// Raises the shown window and asks for the focus, spending the request of
// activateNextShownForm on Wayland.
void bringForward(QWidget& window);

}  // namespace tw::forms::qt
