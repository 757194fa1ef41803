#pragma once
// The placing of auto-sized labels, shared by the main window's design code.

#include <string>

#include "forms/forms.h"

namespace tw::main_design {

// A label at its designed place that sizes itself to the caption.
inline void placeLabel(forms::Label& label, const std::string& caption, int left, int top, int width,
                       int height, bool visible = true) {
    label.move(left, top, width, height);
    label.setAutoSize(true);
    label.setCaption(caption);
    label.setVisible(visible);
}

}  // namespace tw::main_design
