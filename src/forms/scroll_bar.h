#pragma once
// A vertical scroll bar. onChange runs whenever the value changes: set by the program,
// pulled into range by a new minimum or maximum, or moved by the user.

#include <functional>
#include <string>

#include "forms/control.h"

namespace tw::forms {

class ScrollBar : public Control {
public:
    ScrollBar(Container& owner, std::string name, int index = -1);

    int min() const;
    void setMin(int min);
    int max() const;
    void setMax(int max);
    int value() const;
    // Values outside min..max are pulled into range.
    void setValue(int value);
    int smallChange() const;
    void setSmallChange(int step);
    int largeChange() const;
    void setLargeChange(int step);

    std::function<void()> onChange;
    void change();

    void copyFrom(const ScrollBar& source);
};

}  // namespace tw::forms
