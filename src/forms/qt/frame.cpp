#include "forms/frame.h"

#include <QGroupBox>

#include "forms/qt/native_control.h"
#include "forms/qt/qt_values.h"
#include "platform/qt/text_codec.h"

namespace tw::forms {

Frame::Frame(Container& owner, std::string name, int index)
    : Control(owner, std::move(name), index, qt::nativeControl(new QGroupBox(qt::surfaceOf(owner))),
              2415, 1215) {
    setBackColor(m_backColor);
}

void Frame::setCaption(const std::string& caption) {
    m_caption = caption;
    if (auto* box = static_cast<QGroupBox*>(qt::widgetOf(*this))) box->setTitle(platform::toQString(caption));
}

void Frame::setBackColor(Colour colour) {
    m_backColor = colour;
    QWidget* box = qt::widgetOf(*this);
    if (!box) return;
    QPalette palette = box->palette();
    setSurfaceColour(palette, colour);
    box->setPalette(palette);
    box->setAutoFillBackground(true);
}

void Frame::copyFrom(const Frame& source) {
    copyCommonFrom(source);
    setCaption(source.m_caption);
    setBackColor(source.m_backColor);
}

}  // namespace tw::forms
