#pragma once
// Something controls are placed on: a form or a frame. Positions of the controls are
// relative to it.

namespace tw::forms {

struct Font;
class Form;
struct NativeControl;

class Container {
public:
    virtual ~Container() = default;

    // The native control the controls' own ones sit on.
    virtual NativeControl& surface() const = 0;
    // The font a control placed here starts with.
    virtual const Font& childFont() const = 0;
    // The top-level form this container belongs to.
    virtual Form& parentForm() = 0;
};

}  // namespace tw::forms
