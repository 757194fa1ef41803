#pragma once
// A control its form draws on: onPaint runs whenever the window system wants the control's
// pixels, with a surface the size of the control (pixels; the form draws every one of them).
// The mouse moving over it, and leaving it, are told in pixels from its top left.

#include <functional>
#include <string>

#include "forms/control.h"
#include "forms/drawing_surface.h"

namespace tw::forms {

class PaintBox : public Control {
public:
    PaintBox(Container& owner, std::string name, int width = 480, int height = 480);

    std::function<void(DrawingSurface&)> onPaint;
    std::function<void(int x, int y)> onMouseMove;
    std::function<void()> onMouseLeave;

    // Asks for onPaint soon (not inside this call).
    void refresh();
};

}  // namespace tw::forms
