#include "forms/check_box.h"

#include <QCheckBox>

#include "forms/qt/native_control.h"
#include "platform/qt/text_codec.h"
#include "runtime/runtime_error.h"

namespace tw::forms {

CheckBox::CheckBox(Container& owner, std::string name, int index)
    : Control(owner, std::move(name), index, qt::nativeControl(new QCheckBox(qt::surfaceOf(owner))),
              1215, 255) {
    QObject::connect(static_cast<QCheckBox*>(qt::widgetOf(*this)), &QCheckBox::toggled,
                     qt::signalContextOf(*this), [this](bool checked) {
                         m_value = checked ? 1 : 0;
                         click();
                     });
}

void CheckBox::setCaption(const std::string& caption) {
    m_caption = caption;
    if (auto* box = static_cast<QCheckBox*>(qt::widgetOf(*this))) box->setText(platform::toQString(caption));
}

void CheckBox::setValue(int value) {
    if (value != 0 && value != 1) throw RuntimeError(kErrInvalidPropertyValue);
    // The toggled signal updates the value and runs onClick, only when it changes.
    if (auto* box = static_cast<QCheckBox*>(qt::widgetOf(*this))) box->setChecked(value == 1);
}

void CheckBox::copyFrom(const CheckBox& source) {
    copyCommonFrom(source);
    setCaption(source.m_caption);
    setValue(source.m_value);
}

}  // namespace tw::forms
