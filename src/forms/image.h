#pragma once
// An image control: shows a picture, possibly none. Stretched, the picture fills the
// control; otherwise the control takes the picture's size. A click runs onClick.

#include <string>

#include "forms/control.h"
#include "forms/picture.h"

namespace tw::forms {

class Image : public Control {
public:
    Image(Container& owner, std::string name, int index = -1);

    const Picture& picture() const { return m_picture; }
    void setPicture(const Picture& picture);
    bool stretch() const { return m_stretch; }
    void setStretch(bool stretch);

    void copyFrom(const Image& source);

private:
    void fitToPicture();

    Picture m_picture;
    bool m_stretch = false;
};

}  // namespace tw::forms
