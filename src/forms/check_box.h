#pragma once
// A check box with value 0 (clear) or 1 (ticked). onClick runs whenever the value changes,
// whether the user toggled it or the program set it.

#include <string>

#include "forms/control.h"

namespace tw::forms {

class CheckBox : public Control {
public:
    CheckBox(Container& owner, std::string name, int index = -1);

    const std::string& caption() const { return m_caption; }
    void setCaption(const std::string& caption);
    int value() const { return m_value; }
    // 0 or 1; anything else is RuntimeError 380.
    void setValue(int value);

    void copyFrom(const CheckBox& source);

private:
    std::string m_caption;
    int m_value = 0;
};

}  // namespace tw::forms
