#include "forms/button.h"

#include <QPushButton>

#include "forms/form.h"
#include "forms/qt/native_control.h"
#include "platform/qt/text_codec.h"

namespace tw::forms {

Button::Button(Container& owner, std::string name, int index)
    : Control(owner, std::move(name), index, qt::nativeControl(new QPushButton(qt::surfaceOf(owner))),
              1215, 375) {
    QObject::connect(static_cast<QPushButton*>(qt::widgetOf(*this)), &QPushButton::clicked,
                     qt::signalContextOf(*this), [this] { click(); });
}

Button::~Button() {
    // A form must not keep answering Esc or Enter with a button that is gone.
    Form& form = owner().parentForm();
    if (form.cancelButton() == this) form.setCancelButton(nullptr);
    if (form.defaultButton() == this) form.setDefaultButton(nullptr);
}

void Button::setCaption(const std::string& caption) {
    m_caption = caption;
    if (auto* button = static_cast<QPushButton*>(qt::widgetOf(*this)))
        button->setText(platform::toQString(caption));
}

void Button::setDefault(bool isDefault) {
    m_default = isDefault;
    Form& form = owner().parentForm();
    // One default button per form, as one cancel button.
    if (isDefault) {
        if (Button* previous = form.defaultButton(); previous && previous != this)
            previous->setDefault(false);
        form.setDefaultButton(this);
    } else if (form.defaultButton() == this) {
        form.setDefaultButton(nullptr);
    }
    if (auto* button = static_cast<QPushButton*>(qt::widgetOf(*this))) button->setDefault(isDefault);
}

void Button::setCancel(bool isCancel) {
    m_cancel = isCancel;
    Form& form = owner().parentForm();
    if (isCancel) {
        if (Button* previous = form.cancelButton(); previous && previous != this)
            previous->m_cancel = false;
        form.setCancelButton(this);
    } else if (form.cancelButton() == this) {
        form.setCancelButton(nullptr);
    }
}

void Button::copyFrom(const Button& source) {
    copyCommonFrom(source);
    setCaption(source.m_caption);
}

}  // namespace tw::forms
