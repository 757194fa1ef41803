#pragma once
// Small pieces the main window's design code shares: its link colour, bold fonts and the
// placing of auto-sized labels.

#include <string>

#include "forms/forms.h"

namespace tw::main_design {

inline constexpr forms::Colour kLinkBlue = forms::rgb(0, 0, 255);

inline forms::Font boldFont(double size) {
    forms::Font font;
    font.size = size;
    font.bold = true;
    return font;
}

// A label at its designed place that sizes itself to the caption.
inline void placeLabel(forms::Label& label, const std::string& caption, int left, int top, int width,
                       int height, bool visible = true) {
    label.move(left, top, width, height);
    label.setAutoSize(true);
    label.setCaption(caption);
    label.setVisible(visible);
}

}  // namespace tw::main_design
