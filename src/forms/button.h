#pragma once
// A push button. The caption's "&" marks the Alt accelerator. A default button answers
// Enter on its form, a cancel button answers Esc.

#include <string>

#include "forms/control.h"

namespace tw::forms {

class Button : public Control {
public:
    Button(Container& owner, std::string name, int index = -1);
    ~Button() override;

    const std::string& caption() const { return m_caption; }
    void setCaption(const std::string& caption);
    bool isDefault() const { return m_default; }
    void setDefault(bool isDefault);
    bool isCancel() const { return m_cancel; }
    void setCancel(bool isCancel);

    void copyFrom(const Button& source);

private:
    std::string m_caption;
    bool m_default = false;
    bool m_cancel = false;
};

}  // namespace tw::forms
