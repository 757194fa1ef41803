#pragma once
// Something controls are placed on: a form or a frame. Positions of the controls are
// relative to it.

class QWidget;

namespace tw::forms {

struct Font;
class Form;

class Container {
public:
    virtual ~Container() = default;

    // The widget the controls' widgets are children of.
    virtual QWidget* surface() const = 0;
    // The font a control placed here starts with.
    virtual const Font& childFont() const = 0;
    // The top-level form this container belongs to.
    virtual Form& parentForm() = 0;
};

}  // namespace tw::forms
