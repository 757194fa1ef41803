#include "forms/image.h"

#include <functional>

#include <QMouseEvent>
#include <QPainter>
#include <QWidget>

#include "forms/qt/clickable_widget.h"
#include "forms/qt/focus_frame.h"
#include "forms/qt/native_control.h"
#include "forms/qt/picture_data.h"

namespace tw::forms {

namespace {

class ImageWidget : public ClickableWidget {
public:
    explicit ImageWidget(QWidget* parent) : ClickableWidget(parent) {}

    QPixmap pixmap;
    bool stretch = false;

protected:
    void paintEvent(QPaintEvent*) override {
        if (pixmap.isNull()) return;
        QPainter painter(this);
        if (stretch) {
            painter.setRenderHint(QPainter::SmoothPixmapTransform);
            painter.drawPixmap(rect(), pixmap);
        } else {
            painter.drawPixmap(0, 0, pixmap);
        }
        qt::drawFocusFrame(*this, painter);  // a picture that acts as a button, reached with Tab
    }
};

ImageWidget* imageWidget(QWidget* widget) { return static_cast<ImageWidget*>(widget); }

}  // namespace

Image::Image(Container& owner, std::string name, int index)
    : Control(owner, std::move(name), index, qt::nativeControl(new ImageWidget(qt::surfaceOf(owner))),
              480, 480) {
    imageWidget(qt::widgetOf(*this))->clicked = [this] { click(); };
}

void Image::setPicture(const Picture& picture) {
    m_picture = picture;
    if (QWidget* image = qt::widgetOf(*this)) {
        imageWidget(image)->pixmap = qt::pixmapOf(picture);
        image->update();
    }
    fitToPicture();
}

void Image::setStretch(bool stretch) {
    m_stretch = stretch;
    if (QWidget* image = qt::widgetOf(*this)) {
        imageWidget(image)->stretch = stretch;
        image->update();
    }
    fitToPicture();
}

void Image::fitToPicture() {
    if (m_stretch || m_picture.isNull()) return;
    move(left(), top(), pixelsToTwips(m_picture.width()), pixelsToTwips(m_picture.height()));
}

void Image::copyFrom(const Image& source) {
    copyCommonFrom(source);
    setStretch(source.m_stretch);
    setPicture(source.m_picture);
}

}  // namespace tw::forms
