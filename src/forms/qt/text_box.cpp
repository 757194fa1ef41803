#include "forms/text_box.h"

#include <QLineEdit>

#include "forms/qt/native_control.h"
#include "platform/qt/text_codec.h"

namespace tw::forms {

TextBox::TextBox(Container& owner, std::string name, int index)
    : Control(owner, std::move(name), index, qt::nativeControl(new QLineEdit(qt::surfaceOf(owner))),
              1215, 315) {
    QObject::connect(static_cast<QLineEdit*>(qt::widgetOf(*this)), &QLineEdit::textChanged,
                     qt::signalContextOf(*this), [this](const QString& typed) {
                         if (!m_setting) m_text = platform::fromQString(typed);
                     });
}

void TextBox::setText(const std::string& text) {
    m_text = text;
    if (auto* field = static_cast<QLineEdit*>(qt::widgetOf(*this))) {
        m_setting = true;
        field->setText(platform::toQString(text));
        field->setCursorPosition(0);  // a long command shows its start
        m_setting = false;
    }
}

}  // namespace tw::forms
