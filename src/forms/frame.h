#pragma once
// A frame (group box) with a caption; controls built with the frame as their owner sit on
// it, their positions relative to the frame's top-left corner.

#include <string>

#include "forms/container.h"
#include "forms/control.h"

namespace tw::forms {

class Frame : public Control, public Container {
public:
    Frame(Container& owner, std::string name, int index = -1);

    const std::string& caption() const { return m_caption; }
    void setCaption(const std::string& caption);
    Colour backColor() const { return m_backColor; }
    void setBackColor(Colour colour);

    void copyFrom(const Frame& source);

    // Container
    NativeControl& surface() const override { return native(); }
    const Font& childFont() const override { return font(); }
    Form& parentForm() override { return owner().parentForm(); }

private:
    std::string m_caption;
    Colour m_backColor = kButtonFace;
};

}  // namespace tw::forms
