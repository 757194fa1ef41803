// Pictures made by drawing, and the paint box a form draws on: the pixels land where they
// were drawn, in the colour drawn, and the mouse arrives in the box's own pixels.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QMouseEvent>

#include "forms/drawn_picture.h"
#include "forms/form.h"
#include "forms/paint_box.h"
#include "forms/qt/native_control.h"
#include "forms/qt/picture_data.h"

namespace tw::forms {
namespace {

QRgb pixelAt(const Picture& picture, int x, int y) {
    return qt::pixmapOf(picture).toImage().convertToFormat(QImage::Format_ARGB32).pixel(x, y);
}

TEST(DrawnPicture, IsTheSizeAskedClearWhereNothingWasDrawnAndScaledWhereAsked) {
    const Picture picture = drawPicture(20, 10, [](DrawingSurface& s) {
        s.drawRect({2, 3, 4, 5}, solidFill(rgb(200, 40, 10)), std::nullopt);
        s.setScale(2);
        s.drawRect({8, 1, 1, 1}, solidFill(rgb(0, 0, 255)), std::nullopt);  // pixels 16..17, 2..3
    });
    ASSERT_EQ(qt::pixmapOf(picture).width(), 20);
    ASSERT_EQ(qt::pixmapOf(picture).height(), 10);
    EXPECT_EQ(pixelAt(picture, 2, 3), qRgba(200, 40, 10, 255));  // red in the low byte became red
    EXPECT_EQ(pixelAt(picture, 5, 7), qRgba(200, 40, 10, 255));
    EXPECT_EQ(qAlpha(pixelAt(picture, 6, 3)), 0);  // a rectangle ends before left + width
    EXPECT_EQ(qAlpha(pixelAt(picture, 0, 0)), 0);
    EXPECT_EQ(pixelAt(picture, 17, 3), qRgba(0, 0, 255, 255));
    EXPECT_EQ(qAlpha(pixelAt(picture, 8, 1)), 0);

    const Picture grey = mapPixels(picture, [](Rgba c) { return Rgba{c.alpha, c.alpha, c.alpha, c.alpha / 2}; });
    EXPECT_EQ(pixelAt(grey, 2, 3), qRgba(255, 255, 255, 127));
    EXPECT_EQ(qAlpha(pixelAt(grey, 0, 0)), 0);
    EXPECT_EQ(pixelAt(picture, 2, 3), qRgba(200, 40, 10, 255)) << "the original stays as drawn";
}

TEST(PaintBox, ShowsWhatOnPaintDrawsAndHearsTheMouseInItsOwnPixels) {
    Form form("frmPaint");
    PaintBox box(form, "picBox");
    box.move(150, 300, 600, 450);  // 10, 20, 40 x 30 pixels
    int paints = 0;
    box.onPaint = [&](DrawingSurface& s) {
        ++paints;
        s.drawRect({0, 0, 40, 30}, solidFill(kWhite), std::nullopt);
        s.drawLine({0, 29}, {39, 29}, Pen{rgb(0, 128, 0)});
    };
    const QImage shown = qt::widgetOf(box)->grab().toImage();
    EXPECT_GT(paints, 0);
    ASSERT_EQ(shown.size(), QSize(40, 30));
    EXPECT_EQ(shown.pixel(20, 29), qRgb(0, 128, 0));
    EXPECT_EQ(shown.pixel(20, 28), qRgb(255, 255, 255));

    int movedX = -1, movedY = -1, left = 0;
    box.onMouseMove = [&](int x, int y) { movedX = x, movedY = y; };
    box.onMouseLeave = [&] { ++left; };
    QMouseEvent move(QEvent::MouseMove, QPointF(7, 9), QPointF(7, 9), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(qt::widgetOf(box), &move);
    EXPECT_EQ(movedX, 7);
    EXPECT_EQ(movedY, 9);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(qt::widgetOf(box), &leave);
    EXPECT_EQ(left, 1);
}

}  // namespace
}  // namespace tw::forms
