#include "forms/drawn_picture.h"

#include <algorithm>
#include <cmath>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPixmap>

#include "forms/qt/drawing_surface.h"
#include "forms/qt/picture_data.h"

namespace tw::forms {

namespace {

// The only two places this file meets the picture's insides.
Picture pictureFromPixmap(const QPixmap& pixmap) { return qt::pictureFrom(pixmap); }
QPixmap pixmapFromPicture(const Picture& picture) { return qt::pixmapOf(picture); }

}  // namespace

Picture drawPicture(int width, int height, const std::function<void(DrawingSurface&)>& draw) {
    if (width <= 0 || height <= 0) return Picture();
    // Drawn on an image rather than a pixmap: the same pixels whatever the window system
    // keeps pixmaps in. On a scaled screen (150 %, 200 %) at its own resolution, so the
    // drawing stays sharp; the picture keeps its size in logical pixels.
    const qreal ratio = std::max<qreal>(1.0, qGuiApp ? qGuiApp->devicePixelRatio() : 1.0);
    QImage image(static_cast<int>(std::ceil(width * ratio)), static_cast<int>(std::ceil(height * ratio)),
                 QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        qt::PainterSurface surface(painter);
        draw(surface);
    }
    return pictureFromPixmap(QPixmap::fromImage(image));
}

Picture mapPixels(const Picture& picture, const std::function<Rgba(Rgba)>& recolour) {
    const QPixmap pixmap = pixmapFromPicture(picture);
    if (pixmap.isNull()) return picture;
    QImage image = pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const Rgba c = recolour({qRed(line[x]), qGreen(line[x]), qBlue(line[x]), qAlpha(line[x])});
            line[x] = qRgba(c.red, c.green, c.blue, c.alpha);
        }
    }
    return pictureFromPixmap(QPixmap::fromImage(image));
}

}  // namespace tw::forms
