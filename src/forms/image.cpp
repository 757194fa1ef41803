#include "forms/image.h"

#include <functional>

#include <QMouseEvent>
#include <QPainter>
#include <QWidget>

#include "forms/clickable_widget.h"
#include "forms/container.h"

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
    }
};

ImageWidget* imageWidget(QWidget* widget) { return static_cast<ImageWidget*>(widget); }

}  // namespace

Image::Image(Container& owner, std::string name, int index)
    : Control(owner, std::move(name), index, new ImageWidget(owner.surface()), 480, 480) {
    imageWidget(widget())->clicked = [this] { click(); };
}

void Image::setPicture(const Picture& picture) {
    m_picture = picture;
    if (QWidget* image = widget()) {
        imageWidget(image)->pixmap = picture.pixmap();
        image->update();
    }
    fitToPicture();
}

void Image::setStretch(bool stretch) {
    m_stretch = stretch;
    if (QWidget* image = widget()) {
        imageWidget(image)->stretch = stretch;
        image->update();
    }
    fitToPicture();
}

void Image::fitToPicture() {
    if (m_stretch || m_picture.isNull()) return;
    const QSizeF size = m_picture.pixmap().deviceIndependentSize();
    move(left(), top(), pixelsToTwips(static_cast<int>(size.width())),
         pixelsToTwips(static_cast<int>(size.height())));
}

void Image::copyFrom(const Image& source) {
    copyCommonFrom(source);
    setStretch(source.m_stretch);
    setPicture(source.m_picture);
}

}  // namespace tw::forms
