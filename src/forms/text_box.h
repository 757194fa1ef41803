#pragma once
// A one-line field the user types into. The text is kept as the bytes last set or typed
// (typed text arrives as UTF-8), so a stored value shown and saved again is unchanged.

#include <string>

#include "forms/control.h"

namespace tw::forms {

class TextBox : public Control {
public:
    TextBox(Container& owner, std::string name, int index = -1);

    const std::string& text() const { return m_text; }
    void setText(const std::string& text);

private:
    std::string m_text;
    bool m_setting = false;  // the widget echoing our own setText
};

}  // namespace tw::forms
